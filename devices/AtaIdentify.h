// Decoder of ATA IDENTIFY DEVICE data; it reads only the bytes returned.
#pragma once
#include <cstddef>
#include <cstdint>
#include "devices/DeviceTexts.h"

// ATA IDENTIFY DEVICE data (512 bytes): serial, vendor (first 8 model characters),
// product (the rest of the model) and revision.
int DecodeIdentify(const uint8_t* data, size_t size, C_DeviceTexts* texts);
