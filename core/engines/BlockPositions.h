// Where a raw block run goes: the access pattern, the range and stride the page's check
// left, and the positions each pattern visits. Pure arithmetic, shared by the block engine
// and the page that plans its runs.
#pragma once
#include <cstdint>

enum BlockPattern : uint32_t { kPatternLinear = 0, kPatternRandom = 1, kPatternSeek = 2 };

// The run parameters as the last check left them. A fresh page starts with these.
struct C_BlockValues {
    uint64_t start = 0;
    uint64_t end = 0;
    uint64_t blocks = 1000;
    uint64_t skip = 0;
    uint64_t repeats = 1;
    uint32_t calcEvery = 1;
};

// Bytes of one access's buffer; 0 when it is 4 GiB or more, which no transfer can move and
// no 32-bit size can hold.
uint32_t BufferBytes(uint64_t blocks, uint32_t blockSize);

// Accesses of a run. Linear: whole strides of blocks plus skipped blocks within the range.
// Random and seek: the repeats, none when the range is shorter than one access.
uint64_t BlockLoopCount(BlockPattern pattern, const C_BlockValues& values);

// The highest position an access may start at so that it ends inside [start, end).
inline uint64_t LastAccessStart(const C_BlockValues& v)
{
    return v.end - v.start >= v.blocks ? v.end - v.blocks : v.start;
}
// The random position for r (0..0x7FFF): start for 0, the last access start for 0x7FFF,
// evenly between them, without overflowing on any range.
uint64_t RandomBlockPosition(const C_BlockValues& values, uint32_t r);
// The access after one at position: the next stride, a new random position, or the
// other end of a seek.
uint64_t NextBlockPosition(BlockPattern pattern, const C_BlockValues& values, uint64_t position, uint32_t r);

// Whether every block an access of the run can touch (below the end block, or below start
// plus one access for a range shorter than that) has a byte offset and an end that 64 bits
// can hold. A range past that would wrap to the start of the device.
int RangeAddressable(const C_BlockValues& values, uint32_t blockSize);

// Accesses per graph point, so that a run gives at most about 5000 points.
inline uint64_t GraphScale(uint64_t loopMax) { return loopMax > 5000 ? loopMax / 5000 : 1; }
