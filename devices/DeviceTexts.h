// The identity texts a device gives about itself, whichever answer they came from (INQUIRY,
// ATA IDENTIFY, the storage device descriptor).
#pragma once
#include <string>

struct C_DeviceTexts {
    std::string vendor, product, revision, serial;
};
