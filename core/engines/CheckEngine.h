// The capacity check: fills a folder's free space with stamped test files in a folder of their
// own, reads all of it back with the cache bypassed and sorts every sector it reads, so a drive
// that keeps less than it claims is caught; the rate of every chunk of both passes comes along.
#pragma once
#include <cstdint>
#include <vector>
#include "core/check/CheckPlan.h"
#include "core/check/CheckVerdict.h"
#include "core/engines/Engine.h"

// What a check found beyond the result's figures. The caller owns it and points the job at it;
// the events run on the engine's thread, so they may read it as it grows.
struct C_CheckOutcome {
    uint64_t runId = 0;
    C_FillPlan plan;
    int reading = 0;                      // the read pass has begun
    int diskFull = 0;                     // the volume was full before the plan's end (not a failure)
    uint64_t writtenBytes = 0;            // what the read pass checks
    C_CheckTally tally;                   // of what was read back so far
    std::vector<C_ChunkTime> writeChunks; // whole chunks, in the fill's order
    std::vector<C_ChunkTime> readChunks;
};

// Begin comes once per pass: with the plan's bytes for the write pass, with the bytes written for
// the read pass. Progress and RatePoint count bytes of the pass under way, one RatePoint per
// chunk. The result is complete when every byte written was read back and sorted, a full disk
// included; its bytes and microseconds cover the timed transfers of both passes. Stop ends the
// run before the read pass, and the files go unless the job keeps them.
C_EngineResult RunCheckEngine(const C_EngineJob& job, I_EngineEvents& events);
