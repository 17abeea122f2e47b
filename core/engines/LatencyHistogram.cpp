#include "core/engines/LatencyHistogram.h"

void C_LatencyHistogram::Merge(const C_LatencyHistogram& other)
{
    for (uint32_t i = 0; i < kBuckets; ++i)
        m_counts[i] += other.m_counts[i];
    m_count += other.m_count;
    m_minimum = other.m_minimum < m_minimum ? other.m_minimum : m_minimum;
    m_maximum = other.m_maximum > m_maximum ? other.m_maximum : m_maximum;
}

void C_LatencyHistogram::Clear() { *this = C_LatencyHistogram(); }

uint64_t C_LatencyHistogram::BucketMiddle(uint32_t bucket)
{
    const uint32_t octave = (bucket >> kSubBits) + kFirstOctave;
    const uint64_t sub = bucket & ((1u << kSubBits) - 1);
    const uint32_t shift = octave - kSubBits;
    const uint64_t low = ((uint64_t(1) << kSubBits) | sub) << shift;
    return low + ((uint64_t(1) << shift) >> 1);
}

uint64_t C_LatencyHistogram::Quantile(uint32_t tenThousandths) const
{
    if (!m_count)
        return 0;
    // The rank of the value sought, 1 for the smallest, by the nearest-rank rule: the smallest
    // value with at least the given share of all values at or below it. In whole numbers, so
    // 99.9% of 1000 values is the 999th exactly.
    uint64_t rank = (m_count * tenThousandths + 9999) / 10000;
    rank = rank < 1 ? 1 : rank > m_count ? m_count : rank;
    uint64_t seen = 0;
    uint32_t bucket = 0;
    for (; bucket < kBuckets - 1; ++bucket) {
        seen += m_counts[bucket];
        if (seen >= rank)
            break;
    }
    const uint64_t middle = BucketMiddle(bucket);
    if (middle < m_minimum)
        return m_minimum;
    return middle > m_maximum ? m_maximum : middle;
}

C_LatencyPercentiles C_LatencyHistogram::Percentiles() const
{
    C_LatencyPercentiles p;
    if (!m_count)
        return p;
    p.count = m_count;
    p.minimum = m_minimum;
    p.p50 = Quantile(5000);
    p.p90 = Quantile(9000);
    p.p99 = Quantile(9900);
    p.p999 = Quantile(9990);
    p.maximum = m_maximum;
    return p;
}
