#include "app/pages/block/model/UdmaCrc.h"

namespace {
inline uint16_t Word(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
} // namespace

uint16_t UdmaCrcBitwise(const void* buffer, size_t bytes)
{
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    uint16_t crc = 0x4ABA;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const uint16_t w = Word(p + i);
        for (int bit = 0; bit < 16; ++bit) {
            const int feedback = ((crc >> 15) ^ (w >> bit)) & 1;
            crc = uint16_t(crc << 1);
            if (feedback)
                crc ^= 0x1021;
        }
    }
    return crc;
}

uint16_t UdmaCrc(const void* buffer, size_t bytes)
{
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    uint16_t b = 0x5D52; // 0x4ABA mirrored
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        uint16_t x = uint16_t(Word(p + i) ^ b);
        x ^= uint16_t((x & 0xF) << 4);
        x ^= uint16_t(((x & 0xF0) << 4) ^ ((x & 0x1) << 11));
        x ^= uint16_t(((x & 0xF00) << 4) ^ ((x & 0x1E) << 11));
        b = uint16_t(x ^ (x >> 5) ^ (x >> 12));
    }
    uint16_t mirrored = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (b & (1u << bit))
            mirrored |= uint16_t(0x8000u >> bit);
    return mirrored;
}
