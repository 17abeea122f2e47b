// Decoder of the device parameters a DOS drive reports; it reads only the bytes returned.
#pragma once
#include <cstddef>
#include <cstdint>

// Device parameters of a DOS drive (special functions, device type, attributes, cylinders,
// media type, then the BIOS parameter block from byte 7): bytes per sector and the total
// sectors, the 16-bit count or, when that is 0, the 32-bit one. 0 when unusable.
int DecodeDosDeviceParams(const uint8_t* data, size_t size, uint32_t* bytesPerSector, uint64_t* sectors);
