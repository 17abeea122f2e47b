#include "core/engines/BlockPositions.h"

uint32_t BufferBytes(uint64_t blocks, uint32_t blockSize)
{
    if (blockSize == 0 || blocks > UINT32_MAX / blockSize)
        return 0;
    return uint32_t(blocks * blockSize);
}

uint64_t BlockLoopCount(BlockPattern pattern, const C_BlockValues& v)
{
    if (v.end <= v.start)
        return 0;
    if (pattern == kPatternLinear) {
        const uint64_t stride = v.blocks + v.skip;
        return stride < v.blocks ? 0 : (v.end - v.start) / stride; // a stride past 64 bits fits nothing
    }
    return v.end - v.start >= v.blocks ? v.repeats : 0;
}

uint64_t RandomBlockPosition(const C_BlockValues& v, uint32_t r)
{
    const uint64_t span = LastAccessStart(v) - v.start;
    r &= 0x7FFF;
    // span * r / 0x7FFF, split so that no product exceeds 64 bits.
    return v.start + (span / 0x7FFF) * r + (span % 0x7FFF) * r / 0x7FFF;
}

uint64_t NextBlockPosition(BlockPattern pattern, const C_BlockValues& v, uint64_t position, uint32_t r)
{
    switch (pattern) {
    case kPatternLinear:
        return position + v.blocks + v.skip;
    case kPatternRandom:
        return RandomBlockPosition(v, r);
    default:
        return position == v.start ? LastAccessStart(v) : v.start;
    }
}

int RangeAddressable(const C_BlockValues& v, uint32_t blockSize)
{
    const uint64_t kMax = ~uint64_t(0);
    if (v.blocks > kMax - v.start)
        return 0;
    const uint64_t lastEnd = v.end > v.start + v.blocks ? v.end : v.start + v.blocks;
    return blockSize == 0 || lastEnd <= kMax / blockSize;
}
