#include "core/engines/NullEngine.h"
#include "core/Thread.h"
#include "core/engines/LatencyHistogram.h"

namespace {
// The plan in the unit of the job's engine and the bytes one unit stands for.
struct C_NullPlan {
    uint64_t units = 0;
    uint64_t bytesPerUnit = 0;
};

C_NullPlan PlanOf(const C_EngineJob& job, const C_NullScript& script)
{
    C_NullPlan plan;
    switch (job.kind) {
    case kEngineRandom:
        plan.units = job.rounds;
        plan.bytesPerUnit = uint64_t(script.iops * job.roundMs / 1000.0) * 4096;
        break;
    case kEngineBlock: {
        plan.units = BlockLoopCount(job.pattern, job.values);
        plan.bytesPerUnit = job.values.blocks * job.blockSize; // the device's block size
        break;
    }
    default:
        plan.units = job.blockSize ? job.size / job.blockSize : 0;
        plan.bytesPerUnit = job.blockSize;
        break;
    }
    return plan;
}

uint64_t MicrosecondsFor(uint64_t bytes, double bytesPerSecond)
{
    return bytesPerSecond > 0 ? uint64_t(double(bytes) * 1e6 / bytesPerSecond) : 0;
}
} // namespace

C_EngineResult RunNullEngine(const C_EngineJob& job, const C_NullScript& script, I_EngineEvents& events)
{
    C_EngineResult result;
    const C_NullPlan plan = PlanOf(job, script);
    const bool fails = script.failure.op != kOpNone;
    // Sequential positions are bytes; the others count accesses or rounds.
    const bool bytesAreUnits = job.kind == kEngineSequential;
    events.Begin(bytesAreUnits ? plan.units * plan.bytesPerUnit : plan.units);
    uint64_t done = 0;
    for (; done < plan.units; ++done) {
        if (fails && done == script.failAfter)
            break;
        if (events.IsStopRequested()) {
            result.stopped = 1;
            break;
        }
        const uint64_t position = bytesAreUnits ? (done + 1) * plan.bytesPerUnit : done + 1;
        result.bytes += plan.bytesPerUnit;
        events.Progress(position);
        // A random round lasts its length whatever it moved, as the result says below.
        if (job.kind == kEngineRandom)
            events.RatePoint(position, plan.bytesPerUnit, uint64_t(job.roundMs) * 1000);
        else if (job.kind == kEngineBlock && job.ratePoints)
            events.RatePoint(position, plan.bytesPerUnit,
                             MicrosecondsFor(plan.bytesPerUnit, script.bytesPerSecond));
        if (script.stepDelayMs)
            SleepMs(script.stepDelayMs);
    }
    if (job.kind == kEngineRandom) {
        result.accesses = result.bytes / 4096;
        result.microseconds = done * job.roundMs * 1000;
        if (job.latency) {
            job.latency->Clear();
            for (uint64_t i = 0; script.latencyNanoseconds && i < result.accesses; ++i)
                job.latency->Add(script.latencyNanoseconds);
        }
    } else {
        result.accesses =
            job.kind == kEngineBlock ? done : (job.blockSize ? result.bytes / job.blockSize : 0);
        result.microseconds = MicrosecondsFor(result.bytes, script.bytesPerSecond);
    }
    if (fails && done == script.failAfter) {
        result.failure = script.failure;
        events.Failure(result.failure);
    } else if (!result.stopped) {
        result.complete = 1;
    }
    FinishRates(result);
    return result;
}
