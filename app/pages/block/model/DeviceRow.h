// The texts and picture of a device's row in the block device list.
#pragma once
#include <cstdint>
#include <string>
#include "devices/Device.h"

// Index into the list's seven pictures (optical, removable, fixed, network, RAM disk,
// tape, iSCSI) for a record's medium type and bus bits.
int DeviceImageIndex(uint32_t type, uint32_t bus);
// Only records that can be read or written get a row.
inline bool DeviceHasRow(const C_Device& d) { return (d.dwCaps & (kCapRead | kCapWrite)) != 0; }
// "vendor product revision".
std::string DeviceRowName(const C_Device& d);
// Bytes of the blocks from the first block on, formatted with binary units.
std::string DeviceRowSize(const C_Device& d);
// USB and IEEE 1394 identity, serial, location, then " - " and the record's name.
std::string DeviceRowInfo(C_Device& d);
