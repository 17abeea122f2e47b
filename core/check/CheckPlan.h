// The plan of a capacity check: how much of a volume's free space it fills, in which files, and
// the chunks its speed curve is measured in.
#pragma once
#include <cstdint>

constexpr uint64_t kFillFileMaxBytes = 1ull << 30; // FAT32 takes no file over 4 GiB
constexpr uint64_t kChunkMaxBytes = 256ull << 20;
constexpr uint64_t kChunksPerFill = 200;

// Every size of a fill is a multiple of this: whole sectors and whole transfer blocks.
uint64_t FillUnit(uint32_t blockBytes);

// The chunk of the curve for a fill of totalBytes: about a 200th of it, at most 256 MiB, a
// whole number of units (at least one).
uint64_t PlanChunkBytes(uint64_t totalBytes, uint32_t blockBytes);
uint64_t ChunkCount(uint64_t totalBytes, uint64_t chunkBytes);

// Free space left unwritten so the volume is never full.
uint64_t FillMargin(uint64_t freeBytes);

struct C_FillPlan {
    uint64_t marginBytes = 0;
    uint64_t totalBytes = 0; // written in all
    uint64_t chunkBytes = 0;
    uint64_t fileBytes = 0; // every file but the last, a whole number of chunks
    uint32_t files = 0;
};
// limitBytes: 0 for the whole free space less the margin; otherwise at most that much.
C_FillPlan PlanFill(uint64_t freeBytes, uint64_t limitBytes, uint32_t blockBytes);
// Size of file index (from 0) of the plan; 0 past the last.
uint64_t FillFileBytes(const C_FillPlan& plan, uint32_t index);
