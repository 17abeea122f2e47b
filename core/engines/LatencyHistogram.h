// Latencies of one access thread in fixed logarithmic buckets, so the random engine can time
// every access without allocating or sorting inside its timed loop: each thread fills its own
// histogram, and after the pass they are merged into one and read as percentiles.
//
// Values are nanoseconds. Each power of two from 512 ns up is split into 128 equal buckets, so
// a bucket is at most 1/128 of its lower edge wide and its middle lies within 0.4% of every
// value in it. Values below kMinNanoseconds (1 µs) count in the first bucket and values above
// kMaxNanoseconds (about 17 s) in the last; the smallest and largest values seen are kept exactly.
// One histogram is 25 KiB: make the threads' histograms before the timed part, not on their
// stacks inside it.
#pragma once
#include <cstddef>
#include <cstdint>

struct C_LatencyPercentiles {
    uint64_t count = 0; // values added; every figure below is 0 when there were none
    uint64_t minimum = 0;
    uint64_t p50 = 0;
    uint64_t p90 = 0;
    uint64_t p99 = 0;
    uint64_t p999 = 0; // 99.9th percentile
    uint64_t maximum = 0;
};

class C_LatencyHistogram {
public:
    enum : uint32_t {
        kSubBits = 7, // 128 buckets per power of two
        kFirstOctave = 9,
        kLastOctave = 33,
        kBuckets = (kLastOctave - kFirstOctave + 1) << kSubBits
    };
    static constexpr uint64_t kMinNanoseconds = 1000;
    static constexpr uint64_t kMaxNanoseconds = (uint64_t(1) << (kLastOctave + 1)) - 1;

    // One value. No allocation and no data-dependent branch: it runs once per timed access.
    void Add(uint64_t nanoseconds)
    {
        const uint64_t v = Clamp(nanoseconds);
        ++m_counts[BucketOf(v)];
        ++m_count;
        m_minimum = nanoseconds < m_minimum ? nanoseconds : m_minimum;
        m_maximum = nanoseconds > m_maximum ? nanoseconds : m_maximum;
    }
    // Adds every value of another histogram, as if each had been added here.
    void Merge(const C_LatencyHistogram& other);
    void Clear();

    uint64_t Count() const { return m_count; }
    uint64_t BucketCount(uint32_t bucket) const { return m_counts[bucket]; }
    C_LatencyPercentiles Percentiles() const;
    // The value below which the given ten-thousandths of the values lie (5000: the median),
    // within the bucket error, clamped to the observed minimum and maximum; 0 when empty.
    uint64_t Quantile(uint32_t tenThousandths) const;

    // Which bucket a value falls in (after clamping), and the middle of a bucket.
    static uint32_t BucketOf(uint64_t clampedNanoseconds)
    {
        const uint32_t octave = 63 - (uint32_t)__builtin_clzll(clampedNanoseconds);
        const uint32_t sub = (uint32_t)(clampedNanoseconds >> (octave - kSubBits)) & ((1u << kSubBits) - 1);
        return ((octave - kFirstOctave) << kSubBits) | sub;
    }
    static uint64_t BucketMiddle(uint32_t bucket);
    static uint64_t Clamp(uint64_t nanoseconds)
    {
        const uint64_t low = nanoseconds < kMinNanoseconds ? kMinNanoseconds : nanoseconds;
        return low > kMaxNanoseconds ? kMaxNanoseconds : low;
    }

private:
    uint64_t m_counts[kBuckets] = {};
    uint64_t m_count = 0;
    uint64_t m_minimum = ~uint64_t(0);
    uint64_t m_maximum = 0;
};
