// The Ultra DMA CRC of the ATA standard over a buffer of little-endian 16-bit words:
// polynomial x^16 + x^12 + x^5 + 1, initial value 0x4ABA, no final inversion, each word
// entered bit 0 first. A trailing odd byte is not part of any word.
#pragma once
#include <cstddef>
#include <cstdint>

// One bit at a time, as the standard describes the shift register.
uint16_t UdmaCrcBitwise(const void* buffer, size_t bytes);
// A word at a time on the mirrored register; the same result, for the run's buffers.
uint16_t UdmaCrc(const void* buffer, size_t bytes);
