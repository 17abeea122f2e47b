// Block address arithmetic of the record types. Every product and sum is checked, so no
// address wraps to the start of a disk.
#pragma once
#include <cstdint>

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
