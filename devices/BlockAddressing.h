// Block address arithmetic of the record types, and the choice of how a handle record
// carries one transfer: a 10-byte SCSI command at an address on the whole disk, a transfer at
// a byte offset of the path it opened (inside the volume for a logical drive), or not at all.
// Every product and sum is checked, so no address wraps to the start of a disk.
#pragma once
#include <cstdint>
#include "devices/Device.h"

// Byte offsets are signed 64-bit numbers wherever files and devices are positioned.
constexpr uint64_t kByteAddressLimit = 0x8000000000000000ull;

// 1 when blockCount blocks of blockSize bytes lie below kByteAddressLimit.
int CapacityAddressable(uint64_t blockCount, uint32_t blockSize);

// Bytes of count blocks and the byte offset of block: 0, with *error set, when the length
// exceeds 32 bits (ERROR_INVALID_PARAMETER) or the transfer ends beyond kByteAddressLimit
// (ERROR_ARITHMETIC_OVERFLOW).
int BlockByteRange(uint64_t block, uint32_t count, uint32_t blockSize, uint64_t* offset, uint32_t* bytes,
                   uint32_t* error);

// The disk address of a 10-byte command for block + offset: 0, with *error set, when the sum
// wraps (ERROR_ARITHMETIC_OVERFLOW), or the command cannot carry it: an end beyond the 32-bit
// address, more than 0xFFFF blocks or 4 GiB (ERROR_INVALID_PARAMETER).
int TenByteAddress(uint64_t block, uint64_t offset, uint32_t count, uint32_t blockSize, uint32_t* lba,
                   uint32_t* error);

// 1 for a volume whose place on its disk no partition query told: its blocks may only be
// reached through the volume itself, never by a disk address.
int VolumeOffsetUnknown(const C_Device& device);

enum : uint32_t { kRouteRefused = 0, kRouteCommand10 = 1, kRouteFile = 2 };

struct C_BlockRoute {
    uint32_t path = kRouteRefused;
    uint64_t address = 0; // kRouteCommand10: the command's block address; kRouteFile: byte offset
    uint32_t bytes = 0;
    uint32_t error = 0; // the error a refusal leaves
};

// How a handle record (not a tape) reads or writes count blocks at block. Windows 9x and
// optical media take the 10-byte commands; other writes take them while block + count stays
// below 0xFFFFFFFF and count within the record's transfer limit, the file transfer otherwise;
// other reads take the file transfer. A volume whose offset is unknown is written through the
// volume only; on Windows 9x, which has no such transfer, that write is refused.
C_BlockRoute RouteBlockTransfer(const C_Device& device, int write, int windows9x, uint64_t block,
                                uint32_t count);
