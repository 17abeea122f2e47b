#include "core/UsbHint.h"

void AppendUsbHint(std::string& hint, int speedClass, int direction, float bytesPerSecond)
{
    if (speedClass < kUsbHighSpeed || speedClass > kUsbSuperSpeed)
        return;
    const bool usb3 = speedClass >= kUsb3AtHighSpeed;
    const float threshold =
        direction == 1 ? (usb3 ? 52428800.0f : 15728640.0f) : (usb3 ? 62914560.0f : 20971520.0f);
    if (bytesPerSecond < threshold)
        hint = usb3 ? "This is pretty slow for an USB3 device." : "This is pretty slow for an USB2 device.";
    const char* extra = speedClass == kUsb3OnUsb2        ? "USB3 device on USB2 controller!"
                        : speedClass == kUsb3AtHighSpeed ? "USB3 device on USB3 controller in USB2 speed!"
                                                         : nullptr;
    if (extra) {
        if (!hint.empty())
            hint += " ";
        hint += extra;
    }
}
