// The raw block engine: the accesses of a pattern inside a block range of a target, timed
// in groups, with the data file of a linear run (a write's source, a read's copy).
#pragma once
#include "core/engines/BlockTarget.h"
#include "core/engines/Engine.h"

// Runs job on job.target, whose blocks are job.blockSize bytes. Begin and Progress count
// accesses; RatePoint follows every timed group of job.values.calcEvery accesses when
// job.ratePoints is set; AccessData follows every access of a linear run with checkData.
C_EngineResult RunBlockEngine(const C_EngineJob& job, I_EngineEvents& events);

// One read access of blocks at position. A range that fails with a CRC error is read again
// block by block; blocks that fail with a CRC or device error become zeros. 1 on success,
// else 0 with the device error left.
int ReadBlocksRetryingCrc(I_BlockTarget& target, uint32_t blockSize, uint64_t position, uint32_t blocks,
                          uint8_t* buffer);
