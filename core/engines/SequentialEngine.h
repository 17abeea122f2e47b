// The sequential engine: one file written or read from its first byte in equal blocks, up
// to the last whole block of the job's size. A write sizes the file first and is flushed to
// the medium before it counts as complete; the rate comes from the bytes actually moved.
#pragma once
#include "core/engines/Engine.h"

// Opens job.path with job.openFlags (shared for reading and writing); Begin(job.size) as
// the clock starts, Progress(bytes) after every block, the stop request between blocks.
// A read hands every block to job.sink when there is one.
C_EngineResult RunSequentialEngine(const C_EngineJob& job, I_EngineEvents& events);
