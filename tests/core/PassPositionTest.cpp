// Where random accesses land, and the progress of a pass.
#include <gtest/gtest.h>
#include <set>
#include "core/PassPosition.h"

namespace {

const uint64_t kMiB = 1048576;

TEST(RandomAccessPosition, ThousandMibFileReachesFirstAndLastBlock)
{
    const uint64_t size = 1000 * kMiB; // 256000 blocks
    EXPECT_EQ(0u, RandomAccessPosition(size, 0));
    EXPECT_EQ(size - 4096, RandomAccessPosition(size, 32767));
    EXPECT_EQ(7u * 4096, RandomAccessPosition(size, 1)); // 255999 / 32767 = 7.8
    EXPECT_EQ(128003u * 4096, RandomAccessPosition(size, 16384));
    EXPECT_EQ(395046912u, RandomAccessPosition(size, 12345));

    // Every value lands on a block boundary inside the file, and with more blocks than values
    // each value has a block of its own.
    uint64_t previous = 0;
    for (uint32_t r = 0; r <= 32767; ++r) {
        const uint64_t p = RandomAccessPosition(size, r);
        ASSERT_EQ(0u, p % 4096) << r;
        ASSERT_LE(p + 4096, size) << r;
        if (r) {
            ASSERT_GT(p, previous) << r;
        }
        previous = p;
    }
}

TEST(RandomAccessPosition, SmallFileHasEveryBlockReachable)
{
    const uint64_t size = 8 * kMiB; // 2048 blocks, fewer than random values
    std::set<uint64_t> blocks;
    for (uint32_t r = 0; r <= 32767; ++r) {
        const uint64_t p = RandomAccessPosition(size, r);
        ASSERT_EQ(0u, p % 4096);
        ASSERT_LT(p, size);
        blocks.insert(p / 4096);
    }
    EXPECT_EQ(2048u, blocks.size());
}

TEST(RandomAccessPosition, NeedsSixtyFourBitProducts)
{
    // r × (blocks − 1) exceeds 32 bits long before the file does.
    const uint64_t size = 1ull << 40; // 1 TiB
    EXPECT_EQ(size - 4096, RandomAccessPosition(size, 32767));
    EXPECT_EQ(8192u * 4096, RandomAccessPosition(size, 1)); // 268435455 / 32767 = 8192.2
    const uint64_t middle = RandomAccessPosition(size, 16384);
    EXPECT_GT(middle, size / 2 - 4096 * 16384ull);
    EXPECT_LT(middle, size / 2 + 4096 * 16384ull);
    // 5 GiB: the last block lies beyond 4 GiB.
    EXPECT_EQ(5 * 1024 * kMiB - 4096, RandomAccessPosition(5 * 1024 * kMiB, 32767));
}

TEST(RandomAccessPosition, FilesOfOneBlockOrLessStayAtTheStart)
{
    EXPECT_EQ(0u, RandomAccessPosition(0, 32767));
    EXPECT_EQ(0u, RandomAccessPosition(4095, 32767));
    EXPECT_EQ(0u, RandomAccessPosition(4096, 32767));
    EXPECT_EQ(0u, RandomAccessPosition(8191, 32767));
    EXPECT_EQ(4096u, RandomAccessPosition(8192, 32767));
}

TEST(ProgressPercent, WholeStepsOfAHundredthCappedAtTheEnd)
{
    EXPECT_EQ(ProgressPercent(0, 100ull << 20), 0u);
    EXPECT_EQ(ProgressPercent(50ull << 20, 100ull << 20), 50u);
    EXPECT_EQ(ProgressPercent(100ull << 20, 100ull << 20), 100u);
    EXPECT_EQ(ProgressPercent(5, 99), 0u); // a total below 100 bytes has no steps
    EXPECT_EQ(ProgressPercent(300, 200), 100u);
}

} // namespace
