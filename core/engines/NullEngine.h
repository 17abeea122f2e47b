// An engine that moves nothing: it walks a job's plan at once, with the figures and the
// failure its script gives, through the same events and result as the real engines. Pages,
// the console and the bench are tested end to end with it without a disk.
#pragma once
#include "core/check/CheckStamp.h"
#include "core/engines/Engine.h"

struct C_NullScript {
    double bytesPerSecond = 100e6; // the rate every timed group shows
    double iops = 1000;            // random jobs
    C_EngineFailure failure;       // op kOpNone: the job completes
    uint64_t failAfter = 0;        // units (as in Begin) done before the failure
    uint32_t stepDelayMs = 0;      // pause after each step, for tests that stop a run midway

    // Check jobs: the free space the fill is planned on, and what comes back. From lossAt (bytes
    // into the fill) on, every sector read back is of lossKind; kStampIntact: all of it is.
    uint64_t freeBytes = 1ull << 30;
    StampKind lossKind = kStampIntact;
    uint64_t lossAt = 0;
    // The latency of every access of a random job that times them; 0 times none.
    uint64_t latencyNanoseconds = 0;
};

// A check job fills the caller's C_CheckOutcome as the check engine does: the plan, both passes
// chunk by chunk, and the tally of the script's loss. failAfter counts blocks of the write pass.
C_EngineResult RunNullEngine(const C_EngineJob& job, const C_NullScript& script, I_EngineEvents& events);
