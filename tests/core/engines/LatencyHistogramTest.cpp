// The random engine's latency histogram: its figures against known latencies, merging, the
// edges of its range, and that adding a value never allocates.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>
#include "core/engines/LatencyHistogram.h"

// Every allocation of this test program is counted, so a test can prove that a stretch of
// code allocated nothing.
namespace {
std::atomic<uint64_t> g_allocations{0};
void* CountedAllocation(size_t size)
{
    ++g_allocations;
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}
} // namespace

void* operator new(size_t size) { return CountedAllocation(size); }
void* operator new[](size_t size) { return CountedAllocation(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {
// Within the bucket error: under 1% of the true value.
void ExpectNear(uint64_t expected, uint64_t actual)
{
    EXPECT_NEAR((double)expected, (double)actual, (double)expected * 0.01) << "expected about " << expected;
}
} // namespace

TEST(LatencyHistogram, KnownLatenciesGiveKnownPercentiles)
{
    C_LatencyHistogram h;
    // 1 µs, 2 µs, ... 10 ms in a shuffled order: percentiles do not depend on the order.
    std::vector<uint64_t> values;
    for (uint64_t i = 1; i <= 10000; ++i)
        values.push_back(i * 1000);
    std::shuffle(values.begin(), values.end(), std::mt19937(7));
    for (uint64_t v : values)
        h.Add(v);
    const C_LatencyPercentiles p = h.Percentiles();
    EXPECT_EQ(10000u, p.count);
    EXPECT_EQ(1000u, p.minimum);
    EXPECT_EQ(10000000u, p.maximum);
    ExpectNear(5000000, p.p50);
    ExpectNear(9000000, p.p90);
    ExpectNear(9900000, p.p99);
    ExpectNear(9990000, p.p999);

    // Mostly fast with a slow tail: 990 at 100 µs, 9 at 5 ms, 1 at 2 s.
    C_LatencyHistogram tail;
    for (int i = 0; i < 990; ++i)
        tail.Add(100000);
    for (int i = 0; i < 9; ++i)
        tail.Add(5000000);
    tail.Add(2000000000);
    const C_LatencyPercentiles t = tail.Percentiles();
    ExpectNear(100000, t.p50);
    ExpectNear(100000, t.p90);
    ExpectNear(100000, t.p99);
    ExpectNear(5000000, t.p999);
    EXPECT_EQ(2000000000u, t.maximum);
}

TEST(LatencyHistogram, EveryValueOfTheRangeIsWithinOnePercentOfItsBucket)
{
    for (uint64_t v = C_LatencyHistogram::kMinNanoseconds; v <= C_LatencyHistogram::kMaxNanoseconds;
         v += v / 997 + 1) {
        const uint64_t middle = C_LatencyHistogram::BucketMiddle(C_LatencyHistogram::BucketOf(v));
        ASSERT_LT(std::abs((double)middle - (double)v), (double)v * 0.01) << v;
    }
    // From 1 µs to beyond 10 s, in buckets that rise with the value.
    EXPECT_GE(C_LatencyHistogram::kMaxNanoseconds, 10000000000u);
    EXPECT_LT(C_LatencyHistogram::BucketOf(1000000), C_LatencyHistogram::BucketOf(1010000));
    EXPECT_EQ(C_LatencyHistogram::kBuckets - 1,
              C_LatencyHistogram::BucketOf(C_LatencyHistogram::kMaxNanoseconds));
}

TEST(LatencyHistogram, ValuesOutsideTheRangeFallIntoTheEdgeBucketsAndKeepTheirExtremes)
{
    C_LatencyHistogram h;
    h.Add(0);
    h.Add(1);
    h.Add(999);
    h.Add(60000000000ull); // a minute
    h.Add(1ull << 40);
    const uint32_t first = C_LatencyHistogram::BucketOf(C_LatencyHistogram::kMinNanoseconds);
    EXPECT_EQ(3u, h.BucketCount(first));
    EXPECT_EQ(2u, h.BucketCount(C_LatencyHistogram::kBuckets - 1));
    const C_LatencyPercentiles p = h.Percentiles();
    EXPECT_EQ(0u, p.minimum);
    EXPECT_EQ(1ull << 40, p.maximum);
    ExpectNear(1000, p.p50); // the first bucket's middle, above every value in it
    // The slowest land in the last bucket, whose middle lies below the minute and 2^40 ns.
    EXPECT_EQ(C_LatencyHistogram::BucketMiddle(C_LatencyHistogram::kBuckets - 1), p.p999);

    // Figures never leave what was seen: one value gives it exactly, at either edge.
    for (uint64_t only : {uint64_t(5), uint64_t(123457), uint64_t(1) << 40}) {
        C_LatencyHistogram one;
        one.Add(only);
        const C_LatencyPercentiles o = one.Percentiles();
        EXPECT_EQ(only, o.p50);
        EXPECT_EQ(only, o.p999);
        EXPECT_EQ(only, o.minimum);
        EXPECT_EQ(only, o.maximum);
    }
    const C_LatencyPercentiles none = C_LatencyHistogram().Percentiles();
    EXPECT_EQ(0u, none.count);
    EXPECT_EQ(0u, none.minimum);
    EXPECT_EQ(0u, none.p50);
    EXPECT_EQ(0u, none.maximum);
}

TEST(LatencyHistogram, MergingEqualsOneHistogramOfAllValues)
{
    std::mt19937_64 random(11);
    std::lognormal_distribution<double> latency(12.0, 1.5); // around 160 µs, with a long tail
    std::vector<C_LatencyHistogram> threads(4);
    C_LatencyHistogram all;
    threads[3].Add(7); // an extreme held by one thread alone
    all.Add(7);
    for (int i = 0; i < 40000; ++i) {
        const uint64_t v = (uint64_t)latency(random);
        threads[i % 3].Add(v);
        all.Add(v);
    }
    C_LatencyHistogram merged;
    for (const C_LatencyHistogram& t : threads)
        merged.Merge(t);
    ASSERT_EQ(all.Count(), merged.Count());
    for (uint32_t b = 0; b < C_LatencyHistogram::kBuckets; ++b)
        ASSERT_EQ(all.BucketCount(b), merged.BucketCount(b)) << b;
    const C_LatencyPercentiles a = all.Percentiles(), m = merged.Percentiles();
    EXPECT_EQ(7u, m.minimum);
    EXPECT_EQ(a.maximum, m.maximum);
    EXPECT_EQ(a.p50, m.p50);
    EXPECT_EQ(a.p90, m.p90);
    EXPECT_EQ(a.p99, m.p99);
    EXPECT_EQ(a.p999, m.p999);
}

// Where the timed histogram is shown to the world, so the compiler cannot move its additions
// past the clock readings around them.
C_LatencyHistogram* volatile g_timedHistogram = nullptr;

TEST(LatencyHistogram, AddingAllocatesNothing)
{
    C_LatencyHistogram h;
    g_timedHistogram = &h;
    const uint64_t before = g_allocations.load();
    std::vector<int> probe(1); // the counter sees this program's allocations at all
    EXPECT_EQ(before + 1, g_allocations.load());

    const uint64_t start = g_allocations.load();
    uint64_t v = 1;
    const int kAdds = 4000000;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kAdds; ++i) {
        v = v * 6364136223846793005ull + 1442695040888963407ull;
        h.Add(v >> 30); // up to about 17 s
    }
    const auto t1 = std::chrono::steady_clock::now();
    EXPECT_EQ(start, g_allocations.load());
    EXPECT_EQ((uint64_t)kAdds, h.Count());
    // The cost of one call, for the record (this build carries the sanitizers).
    const double ns = std::chrono::duration<double, std::nano>(t1 - t0).count() / kAdds;
    std::printf("C_LatencyHistogram::Add: %.1f ns per call, with the generator\n", ns);
}
