// The random access engine: job.threads threads share one file opened without buffering and
// each moves one 4096-byte block at a random 4096-byte boundary below job.size, again and
// again, for job.rounds rounds of job.roundMs. A write first gives the file its length and
// writes its last block, so no timed write extends it; a read deletes its file afterwards.
//
// Events, all on the calling thread: Begin(rounds) as the timing starts, Progress(rounds
// done) after each round, and a RatePoint(rounds done, bytes, microseconds) each time the
// engine looks at the stop request (every 50 ms): the accesses finished since the point
// before and the time they took, so a display that adds them up shows the running count and
// clock without reading the engine's objects or adding work to the access threads. The
// points add up to the result's bytes and microseconds. The first failure (of any thread) is
// the result's and is reported once, at the end; the other threads run on to the end of the
// timing. An access that ends after the timing does not count. With job.latency, each
// counted access is timed on the fine clock into its thread's histogram, and the threads'
// histograms are merged into job.latency once all of them have ended.
#pragma once
#include "core/Thread.h"
#include "core/engines/Engine.h"

C_EngineResult RunRandomEngine(const C_EngineJob& job, I_EngineEvents& events);

#ifdef QM_TEST_HOOKS
// Test seam: while set, each access thread is started by the hook instead, which either
// fails (the system error set, returning 0) or starts it with thread.Start(function, run,
// index), perhaps wrapped, and returns what Start returned.
typedef int (*C_AccessThreadStartHook)(C_Thread& thread, ThreadFunction function, void* run, uint32_t index,
                                       void* context);
void SetAccessThreadStartHook(C_AccessThreadStartHook hook, void* context);
#endif
