// Records of the USB hub walk and the matching of a device to the port it sits on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct C_UsbPortRecord {
    std::string hubPath;
    uint32_t hubIndex = 0;        // order of the hub in the walk
    uint32_t portsBeforeHub = 0;  // ports of the hubs walked before this one
    uint32_t port = 0;            // connection index
    int isHub = 0;
    std::string driverKey;
    uint32_t vendorId = 0, productId = 0, bcdUsb = 0;
    std::string manufacturer, product, serial;
    uint32_t speedClass = 0;
};

// Index of the port whose device has these numbers and, when the device has a serial
// text, that serial (case-insensitive); -1 when none. A port matched by numbers alone is
// taken only when exactly one port carries them.
int MatchUsbPort(const std::vector<C_UsbPortRecord>& ports, uint32_t vendorId,
                 uint32_t productId, const std::string& serial);
