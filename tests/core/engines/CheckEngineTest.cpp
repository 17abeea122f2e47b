// The capacity check on a plain folder through the class library (natively under the sanitizers,
// and under Wine): what it writes and reads back, the curve it reports, the files it leaves
// behind (none unless kept), Stop, and failures as data.
#include <gtest/gtest.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>
#include "core/ErrorCodes.h"
#include "core/FileHook.h"
#include "core/engines/CheckEngine.h"
#include "core/engines/EngineTable.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"

namespace {
const uint64_t kMiB = 1 << 20;

struct Events : I_EngineEvents {
    std::vector<uint64_t> begins;
    std::vector<uint64_t> points; // positions of the rate points
    uint64_t pointBytes = 0;
    uint64_t lastProgress = 0;
    std::vector<C_EngineFailure> failures;
    uint64_t stopAfterPoints = UINT64_MAX;
    std::chrono::steady_clock::time_point stopAt;
    bool stopping = false;

    int IsStopRequested() override
    {
        if (!stopping && points.size() >= stopAfterPoints) {
            stopping = true;
            stopAt = std::chrono::steady_clock::now();
        }
        return stopping;
    }
    void Begin(uint64_t planned) override { begins.push_back(planned); }
    void Progress(uint64_t done) override { lastProgress = done; }
    void RatePoint(uint64_t position, uint64_t bytes, uint64_t) override
    {
        points.push_back(position);
        pointBytes += bytes;
    }
    void Failure(const C_EngineFailure& failure) override { failures.push_back(failure); }
};

class CheckEngine : public ::testing::Test {
protected:
    void TearDown() override { SetFileHook(nullptr, nullptr); }
    C_EngineJob Job(uint64_t limit)
    {
        C_EngineJob job;
        job.kind = kEngineCheck;
        job.path = folder.Path();
        job.size = limit;
        job.blockSize = 1 << 20;
        job.check = &outcome;
        return job;
    }
    std::string CheckFolder() const { return folder.File("QuellmorCheck"); }
    bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

    TestFolder folder{"check"};
    C_CheckOutcome outcome;
    Events events;
};

uint64_t Sum(const std::vector<C_ChunkTime>& chunks)
{
    uint64_t bytes = 0;
    for (const C_ChunkTime& c : chunks)
        bytes += c.bytes;
    return bytes;
}
} // namespace

TEST_F(CheckEngine, AnHonestFolderComesBackIntactWithItsCurveAndNoFilesLeft)
{
    const C_EngineResult result = RunEngine(Job(24 * kMiB), events);
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.failure.op, kOpNone);
    EXPECT_TRUE(events.failures.empty());
    EXPECT_NE(outcome.runId, 0u);
    EXPECT_EQ(outcome.plan.totalBytes, 24 * kMiB);
    EXPECT_EQ(outcome.writtenBytes, 24 * kMiB);
    EXPECT_FALSE(outcome.diskFull);
    EXPECT_EQ(outcome.tally.checkedBytes, 24 * kMiB);
    EXPECT_EQ(outcome.tally.intactBytes, 24 * kMiB);
    EXPECT_EQ(outcome.tally.firstBad, kNoPosition);
    EXPECT_EQ(TrustedCapacity(outcome.tally, outcome.plan.chunkBytes), 24 * kMiB);

    // One rate point per chunk of each pass, positions in bytes of the pass.
    ASSERT_EQ(outcome.plan.chunkBytes, kMiB);
    const uint64_t chunks = 24;
    EXPECT_EQ(outcome.writeChunks.size(), chunks);
    EXPECT_EQ(outcome.readChunks.size(), chunks);
    EXPECT_EQ(Sum(outcome.writeChunks), 24 * kMiB);
    EXPECT_EQ(Sum(outcome.readChunks), 24 * kMiB);
    // A MiB moves well within a millisecond from a cache: every chunk still has its own time, or
    // the curve and its minimum and median would show rates no drive has.
    for (const auto* pass : {&outcome.writeChunks, &outcome.readChunks})
        for (const C_ChunkTime& chunk : *pass)
            EXPECT_GT(chunk.microseconds, 0u);
    ASSERT_EQ(events.points.size(), 2 * chunks);
    EXPECT_EQ(events.points[0], outcome.plan.chunkBytes);
    EXPECT_EQ(events.points[chunks - 1], 24 * kMiB);
    EXPECT_EQ(events.points.back(), 24 * kMiB);
    EXPECT_EQ(events.pointBytes, 48 * kMiB);
    EXPECT_EQ(events.begins, (std::vector<uint64_t>{24 * kMiB, 24 * kMiB}));
    EXPECT_EQ(events.lastProgress, 24 * kMiB);
    EXPECT_EQ(result.bytes, 48 * kMiB);
    EXPECT_TRUE(outcome.reading);

    EXPECT_FALSE(Exists(CheckFolder()));
}

TEST_F(CheckEngine, KeepsItsFilesWhenAskedAndNeverTouchesOnesThatAreThere)
{
    C_EngineJob job = Job(3 * kMiB);
    job.keepFiles = 1;
    EXPECT_TRUE(RunEngine(job, events).complete);
    const std::string kept = CheckFolder() + TestFolder::Separator() + "0001.bin";
    EXPECT_EQ(std::filesystem::file_size(kept), 3 * kMiB);

    // A second check meets the kept file: it fails on it and leaves it as it was.
    ASSERT_TRUE(WriteWholeFile(kept, "not the check's"));
    events = Events();
    const C_EngineResult result = RunEngine(Job(3 * kMiB), events);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.failure.op, kOpOpen);
    EXPECT_EQ(result.failure.detail, kept);
    EXPECT_TRUE(result.failure.error == kErrorAlreadyExists || result.failure.error == kErrorFileExists)
        << result.failure.error;
    ASSERT_EQ(events.failures.size(), 1u);
    EXPECT_EQ(ReadWholeFile(kept), "not the check's");
}

TEST_F(CheckEngine, StopEndsTheCheckAtOnceAndRemovesTheFiles)
{
    // Large enough that the fill would run for a while after the stop.
    events.stopAfterPoints = 3;
    const C_EngineResult result = RunEngine(Job(512 * kMiB), events);
    const auto ended = std::chrono::steady_clock::now();
    ASSERT_TRUE(events.stopping);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(ended - events.stopAt).count(), 1000);
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.failure.op, kOpNone);
    EXPECT_FALSE(outcome.reading);
    EXPECT_LT(outcome.writtenBytes, 512 * kMiB);
    EXPECT_FALSE(Exists(CheckFolder()));
}

namespace {
// Fails the third write of the run with a write fault.
int FailThirdWrite(C_FileHookCall& call, void* context)
{
    int& writes = *static_cast<int*>(context);
    if (call.op != kHookWrite || ++writes != 3)
        return -1;
    SetLastErrorCode(kErrorWriteFault);
    return 0;
}
} // namespace

TEST_F(CheckEngine, AFailedWriteComesBackAsDataAndTheFilesGo)
{
    int writes = 0;
    SetFileHook(FailThirdWrite, &writes);
    const C_EngineResult result = RunEngine(Job(8 * kMiB), events);
    SetFileHook(nullptr, nullptr);
    EXPECT_FALSE(result.complete);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.failure.op, kOpWrite);
    EXPECT_EQ(result.failure.error, kErrorWriteFault);
    EXPECT_EQ(result.failure.position, 2 * kMiB);
    EXPECT_EQ(result.failure.detail, CheckFolder() + TestFolder::Separator() + "0001.bin");
    ASSERT_EQ(events.failures.size(), 1u);
    EXPECT_EQ(events.failures[0].op, kOpWrite);
    EXPECT_FALSE(outcome.reading);
    EXPECT_FALSE(Exists(CheckFolder()));
}

TEST_F(CheckEngine, AFolderThatIsNotThereFailsBeforeAnythingIsWritten)
{
    C_EngineJob job = Job(kMiB);
    job.path = folder.File("missing");
    const C_EngineResult result = RunEngine(job, events);
    EXPECT_EQ(result.failure.op, kOpFreeSpace);
    EXPECT_NE(result.failure.error, 0u);
    EXPECT_TRUE(events.begins.empty());
}
