#include "devices/BlockAddressing.h"
#include "core/ErrorCodes.h"

int CapacityAddressable(uint64_t blockCount, uint32_t blockSize)
{
    return blockSize == 0 || blockCount <= kByteAddressLimit / blockSize;
}

int BlockByteRange(uint64_t block, uint32_t count, uint32_t blockSize, uint64_t* offset, uint32_t* bytes,
                   uint32_t* error)
{
    const uint64_t length = uint64_t(count) * blockSize;
    if (length > 0xFFFFFFFFull) {
        *error = kErrorInvalidParameter;
        return 0;
    }
    // Both checks divide, so neither the offset nor the end is ever computed past the limit.
    if (blockSize &&
        (block > kByteAddressLimit / blockSize || length > kByteAddressLimit - block * blockSize)) {
        *error = kErrorArithmeticOverflow;
        return 0;
    }
    *offset = block * blockSize;
    *bytes = uint32_t(length);
    return 1;
}

int TenByteAddress(uint64_t block, uint64_t offset, uint32_t count, uint32_t blockSize, uint32_t* lba,
                   uint32_t* error)
{
    if (block > ~uint64_t(0) - offset) {
        *error = kErrorArithmeticOverflow;
        return 0;
    }
    const uint64_t first = block + offset;
    if (count > 0xFFFF || first > 0xFFFFFFFFull - count || uint64_t(count) * blockSize > 0xFFFFFFFFull) {
        *error = kErrorInvalidParameter;
        return 0;
    }
    *lba = uint32_t(first);
    return 1;
}

int VolumeOffsetUnknown(const C_Device& device)
{
    return (device.dwKind & kKindLogical) && !device.bOffsetKnown;
}

static C_BlockRoute FileRoute(const C_Device& d, uint64_t block, uint32_t count)
{
    C_BlockRoute r;
    if (BlockByteRange(block, count, d.dwBlockSize, &r.address, &r.bytes, &r.error))
        r.path = kRouteFile;
    return r;
}

static C_BlockRoute CommandRoute(const C_Device& d, uint64_t block, uint32_t count)
{
    C_BlockRoute r;
    uint32_t lba = 0;
    if (TenByteAddress(block, d.ullBlockOffset, count, d.dwBlockSize, &lba, &r.error)) {
        r.path = kRouteCommand10;
        r.address = lba;
        r.bytes = count * d.dwBlockSize;
    }
    return r;
}

C_BlockRoute RouteBlockTransfer(const C_Device& d, int write, int windows9x, uint64_t block, uint32_t count)
{
    if (write && VolumeOffsetUnknown(d)) {
        if (!windows9x)
            return FileRoute(d, block, count);
        C_BlockRoute refused;
        refused.error = kErrorNotSupported;
        return refused;
    }
    int command = windows9x || d.dwType == kTypeOptical;
    if (write && !command)
        command = block < 0xFFFFFFFFull - count && count <= d.dwMaxBlocks;
    return command ? CommandRoute(d, block, count) : FileRoute(d, block, count);
}
