#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "core/check/CheckStamp.h"

namespace {

constexpr uint64_t kRun = 0x0123456789ABCDEFull;

std::vector<uint8_t> Stamped(size_t sectors, uint64_t first, uint64_t run = kRun)
{
    std::vector<uint8_t> data(sectors * kStampSectorBytes);
    FillStamped(data.data(), sectors, first, run);
    return data;
}

uint64_t Word(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

} // namespace

TEST(CheckStamp, SectorsCarryPositionAndRunLittleEndianAndDiffer)
{
    const auto data = Stamped(3, 0x1122334455667788ull);
    EXPECT_EQ(Word(&data[0]), 0x1122334455667788ull);
    EXPECT_EQ(data[0], 0x88);
    EXPECT_EQ(Word(&data[8]), kRun);
    EXPECT_EQ(Word(&data[512]), 0x1122334455667789ull);
    // Payloads differ between positions and between runs, and repeat no word within a sector.
    EXPECT_NE(memcmp(&data[16], &data[512 + 16], 496), 0);
    const auto other = Stamped(1, 0x1122334455667788ull, kRun + 1);
    EXPECT_NE(memcmp(&data[16], &other[16], 496), 0);
    for (int i = 2; i < 64; ++i)
        for (int j = i + 1; j < 64; ++j)
            EXPECT_NE(Word(&data[8 * i]), Word(&data[8 * j])) << i << " " << j;
}

TEST(CheckStamp, EachKindIsRecognised)
{
    const uint64_t at = 1000;
    const auto mine = Stamped(1, at);
    const auto later = Stamped(1, at + 3);
    const auto wrapped = Stamped(1, 3);
    const auto otherRun = Stamped(1, at, kRun ^ 1);
    std::vector<uint8_t> zeros(512, 0), ones(512, 0xFF), garbledPayload = mine, movedFlipped = later;
    for (int i = 16; i < 512; ++i)
        garbledPayload[i] = (uint8_t)i;
    movedFlipped[300] ^= 0x10;
    struct Case {
        const char* name;
        const std::vector<uint8_t>& sector;
        StampKind kind;
        uint64_t held;
    } cases[] = {
        {"intact", mine, kStampIntact, kNoPosition},
        {"a later position's sector", later, kStampMoved, at + 3},
        {"an earlier position's sector", wrapped, kStampMoved, 3},
        {"zeros", zeros, kStampLost, kNoPosition},
        {"0xFF", ones, kStampLost, kNoPosition},
        {"another run's data", otherRun, kStampLost, kNoPosition},
        {"the right stamp over other bytes", garbledPayload, kStampChanged, kNoPosition},
        // Not a clean copy of the other position, nor this position's data.
        {"another position's sector with a flipped bit", movedFlipped, kStampLost, kNoPosition},
    };
    for (const Case& c : cases) {
        uint64_t held = 42;
        EXPECT_EQ(ClassifySector(c.sector.data(), at, kRun, &held), c.kind) << c.name;
        EXPECT_EQ(held, c.held) << c.name;
    }
}

TEST(CheckStamp, AnyFlippedBitIsChangedAtItsPosition)
{
    const uint64_t at = 77;
    const auto mine = Stamped(1, at);
    for (int bit = 0; bit < 512 * 8; ++bit) {
        auto sector = mine;
        sector[bit / 8] ^= (uint8_t)(1u << (bit % 8));
        uint64_t held = 0;
        ASSERT_EQ(ClassifySector(sector.data(), at, kRun, &held), kStampChanged) << "bit " << bit;
        ASSERT_EQ(held, kNoPosition);
    }
}

TEST(CheckStamp, CheckCountsKindsAndFirstBadAcrossBuffers)
{
    // Sectors 2 and 3 hold what was written at 6 and 7 (moved), sector 5 reads zeros (lost) and
    // sector 6 has a flipped bit (changed); the second half is checked first.
    auto data = Stamped(8, 0);
    const auto late = Stamped(2, 6);
    memcpy(&data[2 * 512], late.data(), late.size());
    memset(&data[5 * 512], 0, 512);
    data[6 * 512 + 9] ^= 1;
    C_StampCounts counts;
    CheckStamped(&data[4 * 512], 4, 4, kRun, &counts);
    EXPECT_EQ(counts.firstBad, 5u);
    CheckStamped(data.data(), 4, 0, kRun, &counts);
    EXPECT_EQ(counts.sectors[kStampIntact], 4u); // 0, 1, 4 and 7
    EXPECT_EQ(counts.sectors[kStampMoved], 2u);
    EXPECT_EQ(counts.sectors[kStampLost], 1u);
    EXPECT_EQ(counts.sectors[kStampChanged], 1u);
    EXPECT_EQ(counts.firstBad, 2u);
}
