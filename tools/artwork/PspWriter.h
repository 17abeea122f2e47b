// Writer of single-layer Paint Shop Pro images: makes the splash picture from the artwork
// generator and, with its knobs turned, the good and the malformed files the decoder's
// tests need. Plain C++, no Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct PspWriterOptions {
    uint16_t major = 5;
    uint16_t minor = 0;
    uint16_t compression = 1; // 0 raw, 1 run-length; other values only for tests
    uint16_t bitDepth = 24;
    uint16_t planeCount = 1;
    uint16_t layerCount = 1;
    uint16_t declaredChannels = 4; // the count written into the layer bitmap chunk
    uint32_t canvasWidth = 0;      // 0: the layer's own width
    uint32_t canvasHeight = 0;
    int32_t left = 0; // layer position on the canvas
    int32_t top = 0;
    bool creatorBlock = true;  // an unrelated block before the layer, to be skipped
    bool separator128 = false; // put no-op control bytes 128 into run-length data
    // Channel types in file order: 0 transparency mask, 1 red, 2 green, 3 blue.
    std::vector<uint16_t> channels = {0, 1, 2, 3};
    const char* layerName = "Splash";
};

// rgba: width * height pixels, top row first, 4 bytes each (red, green, blue, alpha).
std::vector<uint8_t> WritePsp(const uint8_t* rgba, uint32_t width, uint32_t height,
                              const PspWriterOptions& options);

// The run-length coding of the format: c > 128 repeats the next byte c - 128 times,
// c < 128 copies c bytes, 128 does nothing.
std::vector<uint8_t> PackRunLength(const uint8_t* bytes, size_t count, bool separator128);
