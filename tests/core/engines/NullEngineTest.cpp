// The null engine stands in for every engine in page, console and bench tests, so what it
// reports must follow the same rules as theirs.
#include <gtest/gtest.h>
#include <vector>
#include "core/engines/CheckEngine.h"
#include "core/engines/EngineTable.h"
#include "core/engines/LatencyHistogram.h"
#include "core/engines/NullEngine.h"

namespace {
struct C_Recorder : I_EngineEvents {
    uint64_t planned = 0;
    std::vector<uint64_t> progress;
    std::vector<C_EngineFailure> failures;
    uint64_t stopAfter = ~uint64_t(0);
    int IsStopRequested() override { return progress.size() >= stopAfter; }
    void Begin(uint64_t p) override { planned = p; }
    void Progress(uint64_t done) override { progress.push_back(done); }
    void Failure(const C_EngineFailure& f) override { failures.push_back(f); }
    uint64_t pointBytes = 0, pointMicroseconds = 0;
    void RatePoint(uint64_t, uint64_t bytes, uint64_t microseconds) override
    {
        pointBytes += bytes;
        pointMicroseconds += microseconds;
    }
};

C_EngineJob SequentialJob()
{
    C_EngineJob job;
    job.kind = kEngineSequential;
    job.blockSize = 1 << 20;
    job.size = 8u << 20;
    return job;
}
} // namespace

TEST(NullEngine, WalksTheWholePlanAtTheScriptedRate)
{
    C_NullScript script;
    script.bytesPerSecond = 50e6;
    C_Recorder events;
    const C_EngineResult r = RunNullEngine(SequentialJob(), script, events);
    EXPECT_EQ(1, r.complete);
    EXPECT_EQ(8u << 20, events.planned);
    ASSERT_EQ(8u, events.progress.size());
    EXPECT_EQ(8u << 20, events.progress.back());
    EXPECT_EQ(8u << 20, r.bytes);
    EXPECT_EQ(8u, r.accesses);
    EXPECT_NEAR(50e6, r.bytesPerSecond, 50e6 * 1e-4);

    C_EngineJob block;
    block.kind = kEngineBlock;
    block.blockSize = 512;
    block.values.end = 1000;
    block.values.blocks = 10;
    block.ratePoints = 1;
    C_Recorder blockEvents;
    const C_EngineResult b = RunNullEngine(block, script, blockEvents);
    EXPECT_EQ(100u, blockEvents.planned);
    EXPECT_EQ(100u, b.accesses);
    EXPECT_EQ(100u * 5120, b.bytes);

    C_EngineJob random;
    random.kind = kEngineRandom;
    script.iops = 2500;
    C_Recorder randomEvents;
    const C_EngineResult q = RunNullEngine(random, script, randomEvents);
    EXPECT_EQ(6u * 2500, q.accesses);
    EXPECT_NEAR(2500, q.iops, 0.01);
    EXPECT_EQ(6000000u, q.microseconds);
    // A live display adds the random points up: they must come to the result's figures.
    EXPECT_EQ(q.bytes, randomEvents.pointBytes);
    EXPECT_EQ(q.microseconds, randomEvents.pointMicroseconds);
    // Timed, every access takes the scripted latency, in place of what the histogram held.
    C_LatencyHistogram latency;
    latency.Add(1);
    random.latency = &latency;
    script.latencyNanoseconds = 12800000;
    RunNullEngine(random, script, randomEvents);
    const C_LatencyPercentiles l = latency.Percentiles();
    EXPECT_EQ(q.accesses, l.count);
    EXPECT_EQ(12800000u, l.minimum);
    EXPECT_EQ(12800000u, l.p50);
    EXPECT_EQ(12800000u, l.maximum);
}

TEST(NullEngine, FailsWhereTheScriptSaysAndStopsWhenAsked)
{
    C_NullScript script;
    script.failure.op = kOpWrite;
    script.failure.position = 3u << 20;
    script.failure.error = 112;
    script.failAfter = 3;
    C_Recorder events;
    const C_EngineResult r = RunNullEngine(SequentialJob(), script, events);
    EXPECT_EQ(0, r.complete);
    EXPECT_EQ(3u, events.progress.size());
    ASSERT_EQ(1u, events.failures.size());
    EXPECT_EQ(kOpWrite, r.failure.op);
    EXPECT_EQ(112u, r.failure.error);
    EXPECT_EQ(3u << 20, r.failure.position);

    C_Recorder stopping;
    stopping.stopAfter = 2;
    const C_EngineResult s = RunNullEngine(SequentialJob(), C_NullScript(), stopping);
    EXPECT_EQ(1, s.stopped);
    EXPECT_EQ(0, s.complete);
    EXPECT_EQ(2u << 20, s.bytes);
    EXPECT_EQ(kOpNone, s.failure.op);
}

TEST(NullEngine, TakesEveryJobWhileATestSetsItsScript)
{
    C_NullScript script;
    script.bytesPerSecond = 7e6;
    SetNullEngineScript(&script);
    C_Recorder events;
    const C_EngineResult r = RunEngine(SequentialJob(), events);
    SetNullEngineScript(nullptr);
    EXPECT_EQ(1, r.complete);
    EXPECT_NEAR(7e6, r.bytesPerSecond, 7e6 * 1e-4);
}

TEST(NullEngine, ACheckJobFillsTheOutcomeWithTheScriptedLoss)
{
    const uint64_t MiB = 1 << 20;
    C_NullScript script;
    script.freeBytes = 2048 * MiB;
    script.lossKind = kStampMoved;
    script.lossAt = 256 * MiB;
    C_EngineJob job;
    job.kind = kEngineCheck;
    job.blockSize = 1 << 20;
    job.size = 1024 * MiB;
    C_CheckOutcome outcome;
    job.check = &outcome;
    C_Recorder events;
    const C_EngineResult r = RunNullEngine(job, script, events);
    EXPECT_EQ(1, r.complete);
    EXPECT_EQ(1, outcome.reading);
    EXPECT_EQ(1024 * MiB, outcome.writtenBytes);
    EXPECT_EQ(2 * 1024 * MiB, r.bytes);
    EXPECT_EQ(r.bytes, events.pointBytes);
    EXPECT_EQ(outcome.writeChunks.size(), ChunkCount(1024 * MiB, outcome.plan.chunkBytes));
    EXPECT_EQ(outcome.readChunks.size(), outcome.writeChunks.size());
    EXPECT_EQ(FormatConsoleVerify(outcome.tally),
              "verify: FAILED, 256 of 1024 MiB intact, first bad at 256 MiB (moved 768 MiB)\n");

    // Without a limit the fill is the scripted free space less the margin; all of it intact.
    job.size = 0;
    script.lossKind = kStampIntact;
    RunNullEngine(job, script, events);
    EXPECT_EQ(outcome.plan.totalBytes, (script.freeBytes - FillMargin(script.freeBytes)) / MiB * MiB);
    EXPECT_EQ(outcome.plan.files, 2u);
    EXPECT_EQ(outcome.tally.intactBytes, outcome.plan.totalBytes);
    EXPECT_EQ(outcome.tally.firstBad, kNoPosition);

    // A write failure after two blocks ends it before the read pass; so does a stop.
    script.failure.op = kOpWrite;
    script.failAfter = 2;
    C_Recorder failing;
    const C_EngineResult f = RunNullEngine(job, script, failing);
    EXPECT_EQ(0, f.complete);
    EXPECT_EQ(2 * MiB, outcome.writtenBytes);
    EXPECT_EQ(0, outcome.reading);
    ASSERT_EQ(1u, failing.failures.size());
    C_Recorder stopping;
    stopping.stopAfter = 3;
    const C_EngineResult s = RunNullEngine(job, C_NullScript(), stopping);
    EXPECT_EQ(1, s.stopped);
    EXPECT_EQ(3 * MiB, outcome.writtenBytes);
}
