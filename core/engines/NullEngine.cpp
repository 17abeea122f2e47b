#include "core/engines/NullEngine.h"
#include "core/ErrorCodes.h"
#include "core/Thread.h"
#include "core/check/CheckPlan.h"
#include "core/engines/CheckEngine.h"
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
// The tally of a fill of writtenBytes that came back as the script says.
C_CheckTally ScriptedTally(const C_NullScript& script, uint64_t writtenBytes)
{
    C_CheckTally tally;
    tally.checkedBytes = writtenBytes;
    const uint64_t bad =
        script.lossKind != kStampIntact && script.lossAt < writtenBytes ? writtenBytes - script.lossAt : 0;
    tally.intactBytes = writtenBytes - bad;
    if (!bad)
        return tally;
    tally.firstBad = script.lossAt;
    uint64_t* kinds[] = {nullptr, &tally.movedBytes, &tally.lostBytes, &tally.changedBytes};
    *kinds[script.lossKind] = bad;
    return tally;
}

C_EngineResult RunNullCheck(const C_EngineJob& job, const C_NullScript& script, I_EngineEvents& events)
{
    C_EngineResult result;
    C_CheckOutcome own;
    C_CheckOutcome& out = job.check ? *job.check : own;
    out = C_CheckOutcome();
    out.runId = job.runId ? job.runId : 1;
    const uint32_t block = job.blockSize ? job.blockSize : 1u << 20;
    out.plan = PlanFill(script.freeBytes, job.size, block);
    if (out.plan.totalBytes == 0)
        return EndRunWithFailure(result, events, kOpFreeSpace, 0, kErrorDiskFull, job.path);
    const bool fails = script.failure.op != kOpNone;
    // One pass over bytes in blocks, a chunk time at every chunk's end; false when it ended early.
    auto pass = [&](uint64_t bytes, std::vector<C_ChunkTime>& chunks, bool writing) {
        events.Begin(bytes);
        uint64_t done = 0;
        uint64_t blocks = 0;
        C_ChunkTime chunk;
        while (done < bytes) {
            if (writing && fails && blocks == script.failAfter) {
                result.failure = script.failure;
                events.Failure(result.failure);
                return false;
            }
            if (events.IsStopRequested()) {
                result.stopped = 1;
                return false;
            }
            const uint64_t step = bytes - done < block ? bytes - done : block;
            done += step;
            ++blocks;
            chunk.bytes += step;
            chunk.microseconds += MicrosecondsFor(step, script.bytesPerSecond);
            if (writing)
                out.writtenBytes = done;
            events.Progress(done);
            if (chunk.bytes == out.plan.chunkBytes || done == bytes) {
                chunks.push_back(chunk);
                result.bytes += chunk.bytes;
                result.microseconds += chunk.microseconds;
                events.RatePoint(done, chunk.bytes, chunk.microseconds);
                chunk = C_ChunkTime();
            }
            if (script.stepDelayMs)
                SleepMs(script.stepDelayMs);
        }
        return true;
    };
    if (pass(out.plan.totalBytes, out.writeChunks, true)) {
        out.reading = 1;
        if (pass(out.writtenBytes, out.readChunks, false)) {
            out.tally = ScriptedTally(script, out.writtenBytes);
            result.complete = 1;
        }
    }
    result.accesses = result.bytes / block;
    FinishRates(result);
    return result;
}
} // namespace

C_EngineResult RunNullEngine(const C_EngineJob& job, const C_NullScript& script, I_EngineEvents& events)
{
    if (job.kind == kEngineCheck)
        return RunNullCheck(job, script, events);
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
