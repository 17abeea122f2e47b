// Positions and result line of the random access test.
#include <gtest/gtest.h>
#include <set>
#include "core/SpeedMath.h"
#include "core/engines/Engine.h"

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

TEST(FormatAccessResult, WholeLine)
{
    // 18901 accesses in 6.001 s.
    EXPECT_EQ("12.3 MByte/sec, 3149.6 IOPS, 0.32 ms", FormatAccessResult(18901, 6001000));
    EXPECT_EQ("400.0 kByte/sec, 100.0 IOPS, 10.00 ms", FormatAccessResult(600, 6000000));
    EXPECT_EQ("1953.1 MByte/sec, 500000.0 IOPS, 0.00 ms", FormatAccessResult(3000000, 6000000));
}

TEST(FormatAccessResult, RateIsTruncatedBeforeFormatting)
{
    // 1365.33 bytes per second show as whole bytes.
    EXPECT_EQ("1365 Byte/sec, 0.3 IOPS, 3000.00 ms", FormatAccessResult(1, 3000000));
}

TEST(FormatAccessResult, TimePerAccessIsMeasuringTimeOverAllAccesses)
{
    // 32 threads, 6 s, 192 accesses: 31.25 ms each, although every thread waited ~1 s.
    EXPECT_EQ("128.0 kByte/sec, 32.0 IOPS, 31.25 ms", FormatAccessResult(192, 6000000));
}

TEST(FormatAccessResult, NoAccessNoText)
{
    EXPECT_EQ("", FormatAccessResult(0, 6000000));
    EXPECT_EQ("", FormatAccessResult(5, 0));
}

TEST(FormatAccessResult, EngineResultGivesTheLineUnlessStopped)
{
    C_EngineResult result;
    result.accesses = 18901;
    result.microseconds = 6001000;
    result.failure.op = kOpRead; // one thread failed: the others' figure still stands
    EXPECT_EQ("12.3 MByte/sec, 3149.6 IOPS, 0.32 ms", FormatAccessResult(result));
    result.stopped = 1;
    EXPECT_EQ("", FormatAccessResult(result));
}

} // namespace
