#include "devices/DosParams.h"
#include "devices/ByteFields.h"

int DecodeDosDeviceParams(const uint8_t* data, size_t size, uint32_t* bytesPerSector, uint64_t* sectors)
{
    // BIOS parameter block: bytes per sector at 0, total sectors (16 bits) at 8, total
    // sectors (32 bits) at 21.
    const size_t bpb = 7;
    if (!data || size < bpb + 25)
        return 0;
    const uint32_t bps = ReadLe16(data + bpb);
    const uint32_t small = ReadLe16(data + bpb + 8);
    const uint32_t large = ReadLe32(data + bpb + 21);
    if (bps == 0)
        return 0;
    *bytesPerSector = bps;
    *sectors = small ? small : large;
    return 1;
}
