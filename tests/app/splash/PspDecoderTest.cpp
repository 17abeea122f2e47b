#include <gtest/gtest.h>

#include <vector>

#include "app/splash/PspDecoder.h"
#include "tools/artwork/PspWriter.h"

namespace {

struct Picture {
    uint32_t width, height;
    std::vector<uint8_t> rgba; // top row first
};

// Every pixel differs from its neighbours in each channel, so a misplaced row, column or
// channel shows; the first row carries the alpha cases 0, 128 and 255.
Picture MakePicture(uint32_t width, uint32_t height)
{
    Picture p{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* px = &p.rgba[(size_t(y) * width + x) * 4];
            px[0] = uint8_t(200 + x);
            px[1] = uint8_t(10 + 7 * y);
            px[2] = uint8_t(x * 13 + y * 3);
            px[3] = uint8_t(255 - 9 * y - x);
        }
    }
    const uint8_t cases[3][4] = {{200, 90, 40, 0}, {200, 100, 255, 128}, {200, 17, 3, 255}};
    for (int i = 0; i < 3 && uint32_t(i) < width; ++i)
        for (int c = 0; c < 4; ++c)
            p.rgba[size_t(i) * 4 + c] = cases[i][c];
    return p;
}

std::vector<uint8_t> Write(const Picture& p, const PspWriterOptions& o = PspWriterOptions())
{
    return WritePsp(p.rgba.data(), p.width, p.height, o);
}

int Parse(const std::vector<uint8_t>& file, PspLayout* layout = nullptr)
{
    PspLayout scratch;
    return ParsePsp(file.data(), file.size(), layout ? layout : &scratch);
}

// Decodes and checks every pixel against the source: bottom-up rows, blue-green-red-alpha,
// colours scaled by alpha and rounded down.
void ExpectDecodesTo(const std::vector<uint8_t>& file, const Picture& p)
{
    PspLayout layout;
    ASSERT_EQ(1, Parse(file, &layout));
    ASSERT_EQ(p.width, layout.width);
    ASSERT_EQ(p.height, layout.height);
    std::vector<uint8_t> bits(size_t(p.width) * p.height * 4, 0xEE);
    ASSERT_EQ(1, DecodePsp(file.data(), file.size(), layout, bits.data(), bits.size()));
    for (uint32_t y = 0; y < p.height; ++y) {
        for (uint32_t x = 0; x < p.width; ++x) {
            const uint8_t* src = &p.rgba[(size_t(y) * p.width + x) * 4];
            const uint8_t* dst = &bits[(size_t(p.height - 1 - y) * p.width + x) * 4];
            const unsigned a = src[3];
            ASSERT_EQ(src[2] * a / 255, dst[0]) << x << "," << y;
            ASSERT_EQ(src[1] * a / 255, dst[1]) << x << "," << y;
            ASSERT_EQ(src[0] * a / 255, dst[2]) << x << "," << y;
            ASSERT_EQ(a, dst[3]) << x << "," << y;
        }
    }
}

} // namespace

TEST(PspDecoder, RawAndRunLengthGiveTheSamePixels)
{
    const Picture p = MakePicture(37, 11);
    PspWriterOptions raw;
    raw.compression = 0;
    ExpectDecodesTo(Write(p, raw), p);
    ExpectDecodesTo(Write(p), p);
    PspWriterOptions noCreator;
    noCreator.creatorBlock = false;
    ExpectDecodesTo(Write(p, noCreator), p);
}

TEST(PspDecoder, PremultipliesAlphaZeroHalfAndFull)
{
    const Picture p = MakePicture(3, 1);
    const std::vector<uint8_t> file = Write(p);
    PspLayout layout;
    ASSERT_EQ(1, Parse(file, &layout));
    std::vector<uint8_t> bits(12);
    ASSERT_EQ(1, DecodePsp(file.data(), file.size(), layout, bits.data(), bits.size()));
    const std::vector<uint8_t> expected = {0,   0,  0,   0,    // alpha 0 clears the colour
                                           128, 50, 100, 128,  // red 200 at half is 100, rounded down
                                           3,   17, 200, 255}; // full alpha keeps it
    EXPECT_EQ(expected, bits);
}

TEST(PspDecoder, ChannelsMayComeInAnyFileOrder)
{
    const Picture p = MakePicture(9, 5);
    PspWriterOptions o;
    o.channels = {3, 0, 2, 1};
    ExpectDecodesTo(Write(p, o), p);
}

TEST(PspDecoder, ControlByte128ProducesNothing)
{
    const Picture p = MakePicture(40, 6);
    PspWriterOptions o;
    o.separator128 = true;
    const std::vector<uint8_t> file = Write(p, o);
    ASSERT_GT(file.size(), Write(p).size()); // the separators really are in the file
    ExpectDecodesTo(file, p);
}

TEST(PspDecoder, SizeIsTheLayerRectangleNotTheCanvas)
{
    const Picture p = MakePicture(494, 375);
    PspWriterOptions o;
    o.canvasWidth = 512;
    o.canvasHeight = 384;
    o.left = 9;
    o.top = 4;
    PspLayout layout;
    ASSERT_EQ(1, Parse(Write(p, o), &layout));
    EXPECT_EQ(494u, layout.width);
    EXPECT_EQ(375u, layout.height);
    o.left = -20; // a layer hanging off the canvas keeps its own size
    o.top = -3;
    ExpectDecodesTo(Write(p, o), p);
}

TEST(PspDecoder, VersionMustBeFourOrLater)
{
    const Picture p = MakePicture(4, 4);
    PspWriterOptions o;
    o.major = 4;
    o.minor = 0;
    EXPECT_EQ(1, Parse(Write(p, o)));
    o.major = 3;
    EXPECT_EQ(0, Parse(Write(p, o)));
    // A minor number must not lift an old major version over the limit.
    o.minor = 1;
    EXPECT_EQ(0, Parse(Write(p, o)));
}

TEST(PspDecoder, RefusesEveryOtherShape)
{
    const Picture p = MakePicture(6, 4);
    struct Case {
        const char* name;
        void (*change)(PspWriterOptions&);
    } cases[] = {
        {"two layers", [](PspWriterOptions& o) { o.layerCount = 2; }},
        {"32-bit", [](PspWriterOptions& o) { o.bitDepth = 32; }},
        {"8-bit", [](PspWriterOptions& o) { o.bitDepth = 8; }},
        {"two planes", [](PspWriterOptions& o) { o.planeCount = 2; }},
        {"compression 2", [](PspWriterOptions& o) { o.compression = 2; }},
        {"three channels declared", [](PspWriterOptions& o) { o.declaredChannels = 3; }},
        {"three channels written",
         [](PspWriterOptions& o) {
             o.channels = {0, 1, 2};
         }},
        {"channel type 7",
         [](PspWriterOptions& o) {
             o.channels = {0, 1, 2, 7};
         }},
        {"red twice, no blue",
         [](PspWriterOptions& o) {
             o.channels = {0, 1, 2, 1};
         }},
    };
    for (const Case& c : cases) {
        PspWriterOptions o;
        c.change(o);
        EXPECT_EQ(0, Parse(Write(p, o))) << c.name;
    }
}

TEST(PspDecoder, RefusesDamagedHeadersAndBlocks)
{
    const Picture p = MakePicture(6, 4);
    PspWriterOptions o;
    o.creatorBlock = false;
    const std::vector<uint8_t> good = Write(p, o);
    ASSERT_EQ(1, Parse(good));
    // Offsets follow from the writer's layout: attributes block at 36 with 46 bytes of
    // content, so the layer start block is at 92 and the layer block at 102.
    const size_t layerStart = 92, layer = 102;
    ASSERT_EQ('~', good[layerStart]);
    ASSERT_EQ(4, good[layer + 4]);
    struct Case {
        const char* name;
        size_t offset;
        uint8_t value;
    } cases[] = {
        {"signature", 3, 'x'},
        {"signature end byte", 27, 1},
        {"attributes block identifier", 37, 'X'},
        {"attributes block type", 40, 1},
        {"walk reaches a non-block", layerStart + 1, 'Q'},
        {"layer start without a layer block", layer + 4, 5},
        {"layer rectangle outside its chunk", layer + 10, 20},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        bad[c.offset] = c.value;
        EXPECT_EQ(0, Parse(bad)) << c.name;
    }
    // The first channel block's type is not 5.
    PspLayout layout;
    ASSERT_EQ(1, Parse(good, &layout));
    std::vector<uint8_t> bad = good;
    bad[layout.firstChannel + 4] = 6;
    EXPECT_EQ(0, Parse(bad));
    // An empty or inverted rectangle gives no picture.
    PspWriterOptions flat;
    Picture line = MakePicture(5, 1);
    line.height = 0;
    line.rgba.clear();
    EXPECT_EQ(0, Parse(WritePsp(line.rgba.data(), 5, 0, flat)));
}

TEST(PspDecoder, EveryTruncationIsRefused)
{
    const Picture p = MakePicture(12, 7);
    for (uint16_t compression : {0, 1}) {
        PspWriterOptions o;
        o.compression = compression;
        const std::vector<uint8_t> file = Write(p, o);
        for (size_t length = 0; length < file.size(); ++length) {
            // A fresh exact-size copy, so the sanitizer sees any read past the end.
            std::vector<uint8_t> cut(file.begin(), file.begin() + length);
            PspLayout layout;
            ASSERT_EQ(0, ParsePsp(cut.data(), cut.size(), &layout)) << length;
        }
    }
}

TEST(PspDecoder, RunOverhangingTheImageIsCutOff)
{
    // One pixel, but every channel is a run of 100: the excess must not be written.
    const Picture p = MakePicture(1, 1);
    std::vector<uint8_t> file = Write(p);
    PspLayout layout;
    ASSERT_EQ(1, Parse(file, &layout));
    size_t pos = layout.firstChannel;
    for (int c = 0; c < 4; ++c) {
        const size_t data = pos + 10 + 16;
        ASSERT_EQ(1, file[data]); // the writer coded the pixel as one literal
        file[data] = 128 + 100;
        pos = data + 2;
    }
    ASSERT_EQ(1, Parse(file, &layout));
    std::vector<uint8_t> bits(4);
    EXPECT_EQ(1, DecodePsp(file.data(), file.size(), layout, bits.data(), bits.size()));
    EXPECT_EQ(0u, bits[3]); // the first test pixel: alpha 0
}

TEST(PspDecoder, RunLengthDataEndingEarlyIsRefused)
{
    const Picture p = MakePicture(30, 3);
    std::vector<uint8_t> file = Write(p);
    PspLayout layout;
    ASSERT_EQ(1, Parse(file, &layout));
    // Shrink the first channel's declared data length by one byte: the decoder must stop at
    // that boundary rather than read into the next block.
    const size_t lengthField = layout.firstChannel + 10 + 4;
    file[lengthField] = uint8_t(file[lengthField] - 1);
    EXPECT_EQ(0, Parse(file));
}

TEST(PspDecoder, DecodeChecksItsOutputSize)
{
    const Picture p = MakePicture(8, 8);
    const std::vector<uint8_t> file = Write(p);
    PspLayout layout;
    ASSERT_EQ(1, Parse(file, &layout));
    std::vector<uint8_t> bits(8 * 8 * 4);
    EXPECT_EQ(0, DecodePsp(file.data(), file.size(), layout, bits.data(), bits.size() - 1));
    EXPECT_EQ(0, DecodePsp(file.data(), file.size(), layout, nullptr, bits.size()));
    PspLayout wide = layout;
    wide.width = kPspMaxSide + 1;
    EXPECT_EQ(0, DecodePsp(file.data(), file.size(), wide, bits.data(), bits.size()));
}
