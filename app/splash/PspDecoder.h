// Decoder of the splash picture: a single-layer 24-bit Paint Shop Pro image with a
// transparency mask, stored raw or run-length compressed. No Windows headers here, so the
// decoder is tested and fuzzed natively. Every length, count and rectangle read from the
// file is treated as hostile.
#pragma once
#include <cstddef>
#include <cstdint>

struct PspLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t compression = 0; // 0 raw, 1 run-length
    size_t firstChannel = 0;  // offset of the first channel block header
};

// Largest side accepted; a splash never comes near it and it keeps width * height * 4
// far below any size_t limit, also on 32-bit builds.
constexpr uint32_t kPspMaxSide = 8192;

// Checks the whole file, including a dry run over the four channels, so that a later
// DecodePsp into freshly made pixels cannot fail half-way. 1 when accepted.
int ParsePsp(const uint8_t* data, size_t size, PspLayout* layout);

// Writes premultiplied blue, green, red, alpha pixels, bottom row first (the order of a
// bottom-up device-independent bitmap), so the file's top row is shown on top.
// pixels must hold width * height * 4 bytes (pixelsSize). 1 on success.
int DecodePsp(const uint8_t* data, size_t size, const PspLayout& layout, uint8_t* pixels, size_t pixelsSize);
