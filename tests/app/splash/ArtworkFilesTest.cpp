// The committed pictures have the shapes the program relies on: the page bar's highlighted
// tab sits on the click area the main window gives its page, icons carry their sizes, the
// splash is a layer smaller than its canvas.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/shell/PageBar.h"
#include "app/splash/PspDecoder.h"
#include "tests/common/WholeFile.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& name)
{
    return ReadFileBytes(std::string(QM_SOURCE_DIR) + "/app/res/" + name);
}

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

struct Bitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> file;
    size_t bits = 0, stride = 0;
    // Red, green, blue of pixel x of row y counted from the top.
    uint32_t Rgb(int x, int y) const
    {
        const size_t at = bits + size_t(height - 1 - y) * stride + size_t(x) * 3;
        return uint32_t(file[at + 2]) << 16 | uint32_t(file[at + 1]) << 8 | file[at];
    }
};

// A bottom-up, uncompressed 24-bit BMP, as BITMAP resources want them.
Bitmap ReadBitmap(const std::string& name)
{
    Bitmap bmp;
    bmp.file = ReadFile(name);
    EXPECT_GE(bmp.file.size(), 54u) << name;
    if (bmp.file.size() < 54)
        return bmp;
    EXPECT_EQ(0x4D42u, U16(bmp.file, 0)) << name;
    EXPECT_EQ(24u, U16(bmp.file, 28)) << name;
    EXPECT_EQ(0u, U32(bmp.file, 30)) << name;
    bmp.width = int(U32(bmp.file, 18));
    bmp.height = int(int32_t(U32(bmp.file, 22)));
    EXPECT_GT(bmp.height, 0) << name;
    bmp.bits = U32(bmp.file, 10);
    bmp.stride = (size_t(bmp.width) * 3 + 3) & ~size_t(3);
    EXPECT_GE(bmp.file.size(), bmp.bits + bmp.stride * size_t(bmp.height)) << name;
    return bmp;
}

struct IconImage {
    int width, height, bitCount, hotX, hotY;
};

// Entries of an .ico (kind 1) or .cur (kind 2) file, each checked to be a DIB of its size.
std::vector<IconImage> ReadIcon(const std::string& name, uint32_t kind)
{
    const std::vector<uint8_t> f = ReadFile(name);
    std::vector<IconImage> images;
    EXPECT_GE(f.size(), 6u) << name;
    if (f.size() < 6)
        return images;
    EXPECT_EQ(kind, U16(f, 2)) << name;
    const uint32_t count = U16(f, 4);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = 6 + 16 * size_t(i);
        const uint32_t w = f[e] ? f[e] : 256, h = f[e + 1] ? f[e + 1] : 256;
        const uint32_t length = U32(f, e + 8), offset = U32(f, e + 12);
        EXPECT_LE(size_t(offset) + length, f.size()) << name;
        EXPECT_EQ(40u, U32(f, offset)) << name;
        EXPECT_EQ(w, U32(f, offset + 4)) << name;
        EXPECT_EQ(2 * h, U32(f, offset + 8)) << name; // colour rows plus mask rows
        const uint32_t bits = U16(f, offset + 14);
        images.push_back({int(w), int(h), int(bits), int(U16(f, e + 4)), int(U16(f, e + 6))});
    }
    return images;
}

const uint32_t kAccent = 0x0099FF;

// Resampling leaves a unit or two of difference at the edges.
bool NearAccent(uint32_t rgb)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = int(kAccent >> shift & 0xFF), b = int(rgb >> shift & 0xFF);
        if (a - b > 6 || b - a > 6)
            return false;
    }
    return true;
}

} // namespace

TEST(Artwork, PageBarHighlightsLieOnTheClickAreas)
{
    struct Bar {
        const char* file;
        int page;
        int from = -1, to = -1; // the page's click area, [from, to), as the main window reads clicks
    } bars[] = {{"pagebar_quick.bmp", kPageQuick},
                {"pagebar_file.bmp", kPageFile},
                {"pagebar_block.bmp", kPageBlock},
                {"pagebar_about.bmp", kPageAbout},
                {"pagebar_check.bmp", kPageCheck}};
    for (Bar& bar : bars) {
        for (int x = 0; x < 816; ++x) {
            if (PageFromBarX(x) != bar.page)
                continue;
            if (bar.from < 0)
                bar.from = x;
            bar.to = x + 1;
        }
        ASSERT_GT(bar.to - bar.from, 40) << bar.file;
    }
    std::set<std::vector<uint8_t>> distinct;
    for (const Bar& bar : bars) {
        const Bitmap bmp = ReadBitmap(bar.file);
        ASSERT_EQ(816, bmp.width) << bar.file;
        ASSERT_EQ(36, bmp.height) << bar.file;
        distinct.insert(bmp.file);
        // Along a row through the upper part of the tabs, accent blue appears only inside
        // the selected page's area and fills most of it.
        int inside = 0;
        for (int x = 0; x < bmp.width; ++x) {
            if (!NearAccent(bmp.Rgb(x, 8)))
                continue;
            EXPECT_TRUE(x >= bar.from && x < bar.to) << bar.file << " x " << x;
            ++inside;
        }
        EXPECT_GT(inside, (bar.to - bar.from) * 8 / 10) << bar.file;
        // The rule along the bottom spans the whole bar in every picture.
        for (int x = 0; x < bmp.width; ++x)
            ASSERT_TRUE(NearAccent(bmp.Rgb(x, 35))) << bar.file << x;
    }
    EXPECT_EQ(5u, distinct.size());
}

TEST(Artwork, ButtonsAndPageIcon)
{
    for (const char* name : {"button_read.bmp", "button_write.bmp", "button_stop.bmp", "button_start.bmp"}) {
        const Bitmap bmp = ReadBitmap(name);
        EXPECT_EQ(88, bmp.width) << name;
        EXPECT_EQ(28, bmp.height) << name;
    }
    const Bitmap icon = ReadBitmap("page_icon.bmp");
    ASSERT_EQ(48, icon.width);
    ASSERT_EQ(48, icon.height);
    // Magenta surrounds the round icon and is keyed out; the middle is drawn.
    EXPECT_EQ(0xFF00FFu, icon.Rgb(0, 0));
    EXPECT_EQ(0xFF00FFu, icon.Rgb(47, 47));
    EXPECT_NE(0xFF00FFu, icon.Rgb(24, 40));
}

TEST(Artwork, IconsAndCursorCarryTheirSizes)
{
    const std::vector<IconImage> program = ReadIcon("quellmor.ico", 1);
    ASSERT_EQ(3u, program.size());
    EXPECT_EQ(16, program[0].width);
    EXPECT_EQ(32, program[1].width);
    EXPECT_EQ(48, program[2].width);
    for (const IconImage& i : program)
        EXPECT_EQ(32, i.bitCount);
    for (const char* name : {"device_optical.ico", "device_removable.ico", "device_fixed.ico",
                             "device_network.ico", "device_ram.ico", "device_tape.ico", "device_iscsi.ico"}) {
        const std::vector<IconImage> icon = ReadIcon(name, 1);
        ASSERT_EQ(2u, icon.size()) << name;
        EXPECT_EQ(16, icon[0].width) << name;
        EXPECT_EQ(32, icon[1].width) << name;
    }
    const std::vector<IconImage> cursor = ReadIcon("hand.cur", 2);
    ASSERT_EQ(1u, cursor.size());
    EXPECT_EQ(32, cursor[0].width);
    EXPECT_GT(cursor[0].hotX, 0); // the fingertip, not the corner
    EXPECT_LT(cursor[0].hotX, 32);
    EXPECT_LT(cursor[0].hotY, 8);
}

TEST(Artwork, SplashIsALayerOnALargerCanvas)
{
    const std::vector<uint8_t> file = ReadFile("splash.psp");
    PspLayout layout;
    ASSERT_EQ(1, ParsePsp(file.data(), file.size(), &layout));
    EXPECT_EQ(494u, layout.width);
    EXPECT_EQ(375u, layout.height);
    EXPECT_EQ(512u, U32(file, 50)); // canvas of the general attributes
    EXPECT_EQ(384u, U32(file, 54));
    EXPECT_EQ(1u, U16(file, 67)); // run-length
}

TEST(Artwork, PagePictures)
{
    const std::vector<uint8_t> diagram = ReadFile("block_access.gif");
    ASSERT_GE(diagram.size(), 10u);
    EXPECT_EQ(0, std::string(diagram.begin(), diagram.begin() + 3).compare("GIF"));
    EXPECT_EQ(455u, U16(diagram, 6));
    EXPECT_EQ(196u, U16(diagram, 8));
    const std::vector<uint8_t> title = ReadFile("info_title.gif");
    ASSERT_GE(title.size(), 10u);
    EXPECT_EQ(0, std::string(title.begin(), title.begin() + 3).compare("GIF"));
}
