#include "core/check/CheckPlan.h"
#include "core/check/CheckStamp.h"

namespace {

uint64_t Gcd(uint64_t a, uint64_t b)
{
    while (b) {
        const uint64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

uint64_t Min(uint64_t a, uint64_t b) { return a < b ? a : b; }

} // namespace

uint64_t FillUnit(uint32_t blockBytes)
{
    if (blockBytes == 0)
        return kStampSectorBytes;
    return (uint64_t)blockBytes / Gcd(blockBytes, kStampSectorBytes) * kStampSectorBytes;
}

uint64_t PlanChunkBytes(uint64_t totalBytes, uint32_t blockBytes)
{
    const uint64_t unit = FillUnit(blockBytes);
    const uint64_t target = totalBytes / kChunksPerFill;
    uint64_t units = (target + unit / 2) / unit;
    units = Min(units, kChunkMaxBytes / unit);
    return (units ? units : 1) * unit;
}

uint64_t ChunkCount(uint64_t totalBytes, uint64_t chunkBytes)
{
    return chunkBytes ? (totalBytes + chunkBytes - 1) / chunkBytes : 0;
}

// A volume written to its last cluster fails the file system and everyone else on it: directory
// entries, NTFS file records and its journal still need room while the test files grow, other
// programs keep writing, and a plan the volume cannot quite take would end each check on a full
// disk. 16 MiB covers that bookkeeping on a small stick; a thousandth of the free space grows
// with the volume, whose bookkeeping grows with it; 256 MiB at most, so little of a large drive
// goes unchecked.
uint64_t FillMargin(uint64_t freeBytes) { return Min((16ull << 20) + freeBytes / 1000, 256ull << 20); }

C_FillPlan PlanFill(uint64_t freeBytes, uint64_t limitBytes, uint32_t blockBytes)
{
    C_FillPlan plan;
    const uint64_t unit = FillUnit(blockBytes);
    plan.marginBytes = FillMargin(freeBytes);
    uint64_t total = freeBytes > plan.marginBytes ? freeBytes - plan.marginBytes : 0;
    if (limitBytes)
        total = Min(total, limitBytes);
    plan.totalBytes = total / unit * unit;
    if (plan.totalBytes == 0)
        return plan;
    plan.chunkBytes = PlanChunkBytes(plan.totalBytes, blockBytes);
    // Files hold whole chunks, so no chunk's time includes closing one file and opening the next.
    const uint64_t chunksPerFile = kFillFileMaxBytes / plan.chunkBytes;
    plan.fileBytes = (chunksPerFile ? chunksPerFile : 1) * plan.chunkBytes;
    plan.files = (uint32_t)ChunkCount(plan.totalBytes, plan.fileBytes);
    return plan;
}

uint64_t FillFileBytes(const C_FillPlan& plan, uint32_t index)
{
    if (index >= plan.files)
        return 0;
    if (index + 1 < plan.files)
        return plan.fileBytes;
    return plan.totalBytes - (uint64_t)index * plan.fileBytes;
}
