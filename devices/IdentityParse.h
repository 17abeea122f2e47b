// Reading what a device is from the system's device identifiers (instance and hardware
// identifiers of the device node and its parents), and the USB port speed rules.
#pragma once
#include <cstdint>
#include <string>
#include "core/UsbSpeed.h"

struct C_IdentityFields {
    std::string vendor, product, revision;
    std::string serialText;
    int hasSerialSuffix = 0;
    uint32_t serialSuffix = 0; // the number after the serial of a storage identifier
    uint32_t vendorId = 0, productId = 0;
    std::string hardwareIds; // blank-separated
    std::string vendor1394, model1394, id1394;
};

// Applies one identifier to the fields: what it tells replaces earlier values, except the
// USB numbers, which the first identifier that has them sets. options: the
// list's option mask (0x8000 keeps the byte order of IEEE 1394 unique identifiers).
// Returns the number of the rule that matched (1..7), 0 for none.
int ParseDeviceIdentifier(const std::string& identifier, uint32_t options, C_IdentityFields* fields);

// Speed class of a hub from its device path: 5 for a USB 3 root hub, 2 for a USB 2 root
// hub, 1 otherwise.
uint32_t HubSpeedClass(const std::string& hubPath);

// Hash of a device path that keeps identity record numbers stable between refreshes.
uint32_t DevicePathHash(const std::string& path);
// Number of an identity record: class value in the high four bits, the path hash plus the
// matched port number in the 28 bits below.
uint32_t IdentityRecordNumber(uint32_t classValue, const std::string& path, uint32_t port);

// Case-insensitive helpers used by the identifier rules.
int StartsWithNoCase(const std::string& text, const char* prefix);
size_t FindNoCase(const std::string& text, const char* what, size_t from = 0);
