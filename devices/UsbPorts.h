// Records of the USB hub walk and the matching of a device to the port it sits on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "devices/IdentityParse.h"

struct C_UsbPortRecord {
    std::string hubPath;
    uint32_t hubIndex = 0;       // order of the hub in the walk
    uint32_t portsBeforeHub = 0; // ports of the hubs walked before this one
    uint32_t port = 0;           // connection index
    int isHub = 0;
    std::string driverKey;
    uint32_t vendorId = 0, productId = 0, bcdUsb = 0;
    std::string manufacturer, product, serial;
    uint32_t speedClass = 0;
};

// Index of the port whose device has these numbers and, when the device has a serial
// text, that serial (case-insensitive); -1 when none. A port matched by numbers alone is
// taken only when exactly one port carries them.
int MatchUsbPort(const std::vector<C_UsbPortRecord>& ports, uint32_t vendorId, uint32_t productId,
                 const std::string& serial);

// What one port of a hub answers.
struct C_UsbConnection {
    int connected = 0;
    int isHub = 0;
    C_UsbPortFacts facts; // hubClass is filled in by the walk
    uint32_t vendorId = 0, productId = 0;
    std::string driverKey;
    std::string childHubPath; // for a hub: the path to open it by
    std::string manufacturer, product, serial;
};

// The system's answers about hubs; the walk itself stays independent of them.
class C_UsbTreeSource {
public:
    virtual ~C_UsbTreeSource() = default;
    // An open hub (null when it cannot be opened) and its number of ports.
    virtual void* OpenHub(const std::string& path, uint32_t* portCount) = 0;
    // 0 when the port does not answer.
    virtual int QueryPort(void* hub, uint32_t port, C_UsbConnection* connection) = 0;
    virtual void CloseHub(void* hub) = 0;
};

// Walks every root hub and the hubs below them (at most 8 levels), appending one record
// per connected port in walk order; returns the number of hubs walked.
uint32_t WalkUsbTree(C_UsbTreeSource& source, const std::vector<std::string>& rootHubs,
                     std::vector<C_UsbPortRecord>* ports);
