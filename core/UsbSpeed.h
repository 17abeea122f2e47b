// The USB speed class of a storage device from what its port and descriptor say: one rule for
// the Windows device list and for the console's look at the system's device tree.
#pragma once
#include <cstdint>

struct C_UsbPortFacts {
    uint32_t hubClass = 1;
    int haveExtended = 0;       // the extended connection query answered
    uint32_t speed = 0;         // its speed: 0 low, 1 full, 2 high, 3 super
    int superSpeedOrHigher = 0; // the version 2 query reported SuperSpeed operation
    int lowSpeed = 0;           // the plain query's low-speed flag
    uint32_t bcdUsb = 0;        // device descriptor
};
// 0 low or unknown, 1 full, 2 high, 3 USB 3 device on a USB 2 hub, 4 USB 3 device at USB 2
// speed on a USB 3 root hub, 5 SuperSpeed.
uint32_t UsbPortSpeedClass(const C_UsbPortFacts& facts);

// The class of a USB device from the Linux device tree: its "speed" file (Mbit/s: "1.5", "12",
// "480", "5000", ...), its "version" file (the descriptor's USB version, " 2.10"), and whether
// its controller is an xHCI (USB 3) one. -1 when the speed says nothing.
int SysfsUsbSpeedClass(const char* speed, const char* version, int usb3Controller);
