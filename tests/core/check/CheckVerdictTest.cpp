#include <gtest/gtest.h>
#include "core/check/CheckVerdict.h"

namespace {

constexpr uint64_t kMiB = 1ull << 20;
constexpr uint64_t kGiB = 1ull << 30;

C_CheckTally Tally(uint64_t intact, uint64_t moved, uint64_t lost, uint64_t changed, uint64_t firstBad)
{
    C_CheckTally t;
    t.intactBytes = intact;
    t.movedBytes = moved;
    t.lostBytes = lost;
    t.changedBytes = changed;
    t.checkedBytes = intact + moved + lost + changed;
    t.firstBad = firstBad;
    return t;
}

// count chunks of 64 MiB at rate MiB per second, each scaled by 1 + wobble * (-1)^i.
void AddChunks(std::vector<C_ChunkTime>& chunks, int count, double mibPerSecond, double wobble = 0.03)
{
    for (int i = 0; i < count; ++i) {
        const double rate = mibPerSecond * (1 + (i % 2 ? wobble : -wobble));
        chunks.push_back({64 * kMiB, (uint64_t)(64.0 / rate * 1e6)});
    }
}

} // namespace

TEST(CheckVerdict, TallyInBytes)
{
    C_StampCounts counts;
    counts.sectors[kStampIntact] = 8;
    counts.sectors[kStampLost] = 2;
    counts.firstBad = 3;
    const C_CheckTally t = TallyFromCounts(counts);
    EXPECT_EQ(std::vector<uint64_t>({t.checkedBytes, t.intactBytes, t.lostBytes, t.firstBad}),
              std::vector<uint64_t>({5120, 4096, 1024, 1536}));
    EXPECT_EQ(TallyFromCounts(C_StampCounts()).firstBad, kNoPosition); // none stays none
}

TEST(CheckVerdict, TrustedCapacityIsTheIntactSpanInWholeChunks)
{
    const uint64_t chunk = 64 * kMiB, total = 10 * chunk + 4096;
    const struct {
        uint64_t firstBad;
        uint64_t trusted;
    } cases[] = {
        {kNoPosition, total},         // all intact: the whole fill, last partial chunk included
        {3 * chunk, 3 * chunk},       // the first bad sector opens a chunk
        {3 * chunk + 512, 3 * chunk}, // one sector into a chunk: that chunk is not trusted
        {3 * chunk - 512, 2 * chunk}, // the last sector of a chunk
        {10 * chunk + 512, 10 * chunk}, {0, 0},
    };
    for (const auto& c : cases) {
        C_CheckTally t;
        t.checkedBytes = total;
        t.firstBad = c.firstBad;
        EXPECT_EQ(TrustedCapacity(t, chunk), c.trusted) << c.firstBad;
    }
}

TEST(CheckVerdict, PassRates)
{
    // 64 MiB at 32, 64, 128 and 16 MiB/s: 2 + 1 + 0.5 + 4 seconds.
    std::vector<C_ChunkTime> chunks = {
        {64 * kMiB, 2000000}, {64 * kMiB, 1000000}, {64 * kMiB, 500000}, {64 * kMiB, 4000000}};
    C_PassRates r = SummarisePass(chunks);
    EXPECT_DOUBLE_EQ(r.minimum, 16.0 * kMiB);
    EXPECT_DOUBLE_EQ(r.median, 48.0 * kMiB);
    EXPECT_DOUBLE_EQ(r.mean, 256.0 * kMiB / 7.5);
    chunks.pop_back();
    EXPECT_DOUBLE_EQ(SummarisePass(chunks).median, 64.0 * kMiB);
    EXPECT_DOUBLE_EQ(SummarisePass({}).mean, 0);
}

TEST(CheckVerdict, CliffWhereTheRateFallsForGood)
{
    std::vector<C_ChunkTime> chunks;
    AddChunks(chunks, 50, 95); // 3200 MiB at a cache's speed
    AddChunks(chunks, 150, 12);
    C_Cliff cliff = FindCliff(chunks);
    ASSERT_TRUE(cliff.found);
    EXPECT_EQ(cliff.position, 50 * 64 * kMiB);
    EXPECT_EQ(FormatCliff("write", cliff),
              "write speed falls from 95 MByte/sec to 12 MByte/sec after 3.1 GByte");

    // The fall is placed where it is, whichever side is longer, under uneven noise.
    for (int fast : {30, 60, 120, 170}) {
        chunks.clear();
        for (int i = 0; i < 200; ++i) {
            const double rate = (i < fast ? 90 : 20) * (1 + 0.01 * ((i * 37) % 11 - 5));
            chunks.push_back({64 * kMiB, (uint64_t)(64.0 / rate * 1e6)});
        }
        cliff = FindCliff(chunks);
        EXPECT_TRUE(cliff.found) << fast;
        EXPECT_EQ(cliff.position, fast * 64 * kMiB) << fast;
    }

    chunks.clear();
    AddChunks(chunks, 20, 40);
    AddChunks(chunks, 20, 2.5);
    EXPECT_EQ(FormatCliff("read", FindCliff(chunks)),
              "read speed falls from 40 MByte/sec to 2.5 MByte/sec after 1280.0 MByte");
}

TEST(CheckVerdict, NoCliffWithoutALastingFallOfHalf)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, double>> segments; // chunks and their rate
    } cases[] = {
        {"a steady drive", {{200, 80}}},
        {"a fall to 60 %", {{100, 80}, {100, 48}}},
        {"a slow zone in the middle", {{90, 80}, {20, 10}, {90, 80}}},
        {"the last 2 % slow", {{196, 80}, {4, 5}}},
        {"a faster end", {{100, 20}, {100, 80}}},
        {"too few chunks", {{2, 80}, {2, 10}}},
    };
    for (const auto& c : cases) {
        std::vector<C_ChunkTime> chunks;
        for (const auto& s : c.segments)
            AddChunks(chunks, s.first, s.second, 0.1);
        const C_Cliff cliff = FindCliff(chunks);
        EXPECT_FALSE(cliff.found) << c.name;
        EXPECT_EQ(FormatCliff("write", cliff), "") << c.name;
    }
}

TEST(CheckVerdict, VerdictTexts)
{
    const uint64_t claimed = 31.9 * kGiB, real = 7.9 * kGiB;
    const uint64_t whole = 14.8 * kGiB / 512 * 512;
    const struct {
        C_CheckTally tally;
        const char* gui;
        const char* console;
    } cases[] = {
        {Tally(whole, 0, 0, 0, kNoPosition), "All 14.8 GByte came back intact.",
         "verify: ok, 15155 MiB intact\n"},
        {Tally(1000 * kMiB, 0, 0, 0, kNoPosition), "All 1000.0 MByte came back intact.",
         "verify: ok, 1000 MiB intact\n"},
        {Tally(real, 0, claimed - real, 0, real),
         "Only 7.9 GByte of 31.9 GByte came back intact; the first lost data lies at 7.9 GByte. "
         "This drive is smaller than it claims.",
         "verify: FAILED, 8089 of 32665 MiB intact, first bad at 8089 MiB (lost 24576 MiB)\n"},
        {Tally(256 * kMiB, 768 * kMiB, 0, 0, 256 * kMiB),
         "Only 256.0 MByte of 1024.0 MByte came back intact; the first lost data lies at 256.0 MByte. "
         "This drive is smaller than it claims.",
         "verify: FAILED, 256 of 1024 MiB intact, first bad at 256 MiB (moved 768 MiB)\n"},
        {Tally(256 * kMiB - 512, 512 * kMiB, 256 * kMiB, 512, 0),
         "Only 256.0 MByte of 1024.0 MByte came back intact; the first lost data lies at 0 Byte. "
         "This drive is smaller than it claims.",
         "verify: FAILED, 255 of 1024 MiB intact, first bad at 0 MiB (moved 512 MiB, lost 256 MiB, changed "
         "512 "
         "bytes)\n"},
        {Tally(4 * kGiB - 1024, 0, 0, 1024, 3 * kGiB),
         "1024 Byte of 4.0 GByte came back changed; the first changed data lies at 3.0 GByte. "
         "This drive alters the data it stores.",
         "verify: FAILED, 4095 of 4096 MiB intact, first bad at 3072 MiB (changed 1024 bytes)\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatCheckVerdict(c.tally), c.gui);
        EXPECT_EQ(FormatConsoleVerify(c.tally), c.console);
    }
}
