#include <gtest/gtest.h>
#include <algorithm>
#include "core/check/CheckPlan.h"

namespace {
constexpr uint64_t kMiB = 1ull << 20;
constexpr uint64_t kGiB = 1ull << 30;
} // namespace

TEST(CheckPlan, UnitsAndMargins)
{
    EXPECT_EQ(FillUnit(1 << 20), kMiB);
    EXPECT_EQ(FillUnit(3 << 20), 3 * kMiB);
    EXPECT_EQ(FillUnit(1000), 64000u); // whole sectors and whole blocks
    EXPECT_EQ(FillUnit(256), 512u);
    EXPECT_EQ(FillMargin(0), 16 * kMiB);
    EXPECT_EQ(FillMargin(64000000000ull), 16 * kMiB + 64000000);
    EXPECT_EQ(FillMargin(2000000000000ull), 256 * kMiB);
}

TEST(CheckPlan, ExactPlans)
{
    // A limit below the free space: 1000 MiB in 5 MiB chunks, one file of whole chunks.
    C_FillPlan p = PlanFill(64 * kGiB, 1000 * kMiB, 1 << 20);
    EXPECT_EQ(p.totalBytes, 1000 * kMiB);
    EXPECT_EQ(p.chunkBytes, 5 * kMiB);
    EXPECT_EQ(p.fileBytes, 1020 * kMiB);
    EXPECT_EQ(p.files, 1u);
    EXPECT_EQ(FillFileBytes(p, 0), 1000 * kMiB);
    EXPECT_EQ(FillFileBytes(p, 1), 0u);
    // A limit above what is free changes nothing.
    p = PlanFill(kGiB, 10 * kGiB, 1 << 20);
    EXPECT_EQ(p.totalBytes, kGiB - 18 * kMiB); // 17 MiB and a bit of margin, in whole blocks
    EXPECT_EQ(p.chunkBytes, 5 * kMiB);
    // Nothing to write where the margin takes all.
    p = PlanFill(16 * kMiB, 0, 1 << 20);
    EXPECT_EQ(p.totalBytes, 0u);
    EXPECT_EQ(p.files, 0u);
}

TEST(CheckPlan, FillsOfAnySizeKeepTheirRules)
{
    const struct {
        uint64_t freeBytes;
        uint32_t block;
    } cases[] = {
        {100 * kMiB, 1 << 20}, {8 * kGiB, 1 << 20},         {31900000000ull, 4 << 20},
        {64 * kGiB, 64 << 10}, {2000000000000ull, 8 << 20}, {5 * kGiB + 12345, 1000},
        {40 * kGiB, 3 << 20},
    };
    for (const auto& c : cases) {
        const C_FillPlan p = PlanFill(c.freeBytes, 0, c.block);
        const uint64_t unit = FillUnit(c.block), room = c.freeBytes - p.marginBytes;
        const uint64_t chunks = ChunkCount(p.totalBytes, p.chunkBytes);
        SCOPED_TRACE(c.freeBytes);
        EXPECT_LE(p.totalBytes, room);
        EXPECT_GT(p.totalBytes + unit, room);
        EXPECT_EQ(p.totalBytes % unit, 0u);
        EXPECT_EQ(p.chunkBytes % unit, 0u);
        EXPECT_LE(p.chunkBytes, 256 * kMiB);
        EXPECT_GE(chunks, std::min<uint64_t>(199, p.totalBytes / unit)); // a small fill: one block each
        if (p.chunkBytes < 256 * kMiB)
            EXPECT_LE(chunks, 202u);
        EXPECT_LE(p.fileBytes, kGiB);
        EXPECT_EQ(p.fileBytes % p.chunkBytes, 0u);
        uint64_t sum = 0;
        for (uint32_t i = 0; i < p.files; ++i) {
            EXPECT_GT(FillFileBytes(p, i), 0u);
            sum += FillFileBytes(p, i);
        }
        EXPECT_EQ(sum, p.totalBytes);
    }
}
