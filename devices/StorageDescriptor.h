// Decoders of the system's storage queries: the storage device descriptor with its serial
// and raw INQUIRY data, its bus type, and the location key of a device number or SCSI
// address. They read only the bytes returned.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "devices/DeviceTexts.h"

// A serial given as groups of four hexadecimal digits, each naming two printable
// characters stored swapped, is decoded; any other text is returned unchanged.
std::string DecodeDescriptorSerial(const std::string& serial);

struct C_StorageDescriptor {
    uint32_t deviceType = 0;
    uint32_t removable = 0;
    uint32_t busType = 0;
    C_DeviceTexts texts;
    std::vector<uint8_t> rawInquiry; // the raw device properties when exactly 36 bytes
};
// The storage device descriptor as returned by the storage property query.
int DecodeStorageDescriptor(const uint8_t* data, size_t size, C_StorageDescriptor* out);
// Bus bits for the descriptor's bus type (SCSI, IEEE 1394, USB, iSCSI); 0 for others.
uint32_t BusBitsFromBusType(uint32_t busType);
// Vendor and product from raw INQUIRY data carried by the descriptor; shifted by four
// bytes for the bridges that set identity bus bits 0x1 or 0x4.
void ApplyRawInquiry(const std::vector<uint8_t>& raw, uint32_t bus, C_DeviceTexts* texts);

// Location key: (device type << 16) | (device number << 8) | partition number.
uint32_t PackLocation(uint32_t deviceType, uint32_t deviceNumber, uint32_t partition);
