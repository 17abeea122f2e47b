#include <gtest/gtest.h>
#include "core/Rate.h"
#include "core/engines/Engine.h"

TEST(ComputeRate, TooFastAtOrBelowTenMicroseconds)
{
    for (uint64_t us : {0ull, 10ull}) {
        C_RateResult r = ComputeRate(1ull << 30, us);
        EXPECT_EQ(r.tooFast, 1);
        EXPECT_EQ(r.text, "[too fast]");
        EXPECT_EQ(r.mibPerSecond, 0u);
    }
    EXPECT_EQ(ComputeRate(1ull << 30, 1000).tooFast, 0);
}

TEST(ComputeRate, BytesOverTime)
{
    // 1000 MiB in 20 s: 50 MiB/s.
    C_RateResult r = ComputeRate(1000ull << 20, 20000000);
    EXPECT_EQ(r.mibPerSecond, 50u);
    EXPECT_EQ(r.text, "50.0 MByte/sec");
    // 9000 KiB in one second: the rate of what moved, not of the nominal file size.
    C_RateResult part = ComputeRate(3ull * 3000 * 1024, 1000000);
    EXPECT_EQ(part.mibPerSecond, 8u);
    EXPECT_EQ(part.text, "8.8 MByte/sec");
    // Slower than one MiB/s truncates to 0 but still has a text.
    C_RateResult slow = ComputeRate(512 * 1024, 1000000);
    EXPECT_EQ(slow.mibPerSecond, 0u);
    EXPECT_EQ(slow.text, "512.0 kByte/sec");
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
