// Whole runs of the random engine on a small file, with the transfer hook watching (and
// sometimes failing or holding) every access of the 32 threads.
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/FileHook.h"
#include "core/Rate.h"
#include "core/Thread.h"
#include "core/Timer.h"
#include "core/engines/EngineTable.h"
#include "core/engines/LatencyHistogram.h"
#include "core/engines/RandomEngine.h"
#include "tests/common/TestFolder.h"

namespace {

const uint64_t kFileSize = 8 * 1048576; // 2048 blocks

struct C_Watch {
    // Observations of every positioned transfer.
    std::atomic<int> transfers{0};
    std::atomic<int> plainWrites{0};
    std::atomic<int> plainReads{0};
    std::atomic<int> misplaced{0};  // not 4096 bytes at a 4096 boundary inside the file
    std::atomic<int> fileClosed{0}; // a transfer on a closed file object
    std::mutex lock;
    std::set<size_t> threads;

    // Injections.
    int failOp = -1; // kHookOpen, kHookSeek, kHookFlush...
    std::atomic<int> failOneTransfer{0};
    std::atomic<size_t> failedThread{0};
    std::atomic<int> failedThreadAgain{0};
    std::set<size_t> threadsAfterFailure;
    uint32_t delayMs = 0;                                       // each transfer takes at least this long
    const std::atomic<uint32_t>* holdUntilSixSeconds = nullptr; // the rounds done
};

int WatchHook(C_FileHookCall& call, void* context)
{
    C_Watch& w = *(C_Watch*)context;
    if (call.op == w.failOp) {
        SetLastErrorCode(kErrorWriteFault);
        return 0;
    }
    if (call.op != kHookRead && call.op != kHookWrite)
        return -1;
    if (!call.positioned) {
        ++(call.op == kHookWrite ? w.plainWrites : w.plainReads);
        return -1;
    }
    ++w.transfers;
    if (call.size != 4096 || call.position % 4096 != 0 || call.position + 4096 > kFileSize)
        ++w.misplaced;
    if (!call.file->IsOpen())
        ++w.fileClosed;
    const size_t me = std::hash<std::thread::id>()(std::this_thread::get_id());
    {
        std::lock_guard<std::mutex> g(w.lock);
        w.threads.insert(me);
        if (w.failedThread.load())
            w.threadsAfterFailure.insert(me);
    }
    if (w.failedThread.load() == me)
        ++w.failedThreadAgain;
    if (w.failOneTransfer.exchange(0)) {
        w.failedThread.store(me);
        SetLastErrorCode(kErrorCrc);
        return 0;
    }
    if (w.holdUntilSixSeconds) {
        const uint32_t begin = C_Timer::Now();
        while (w.holdUntilSixSeconds->load() < 6 && C_Timer::Now() - begin < 15000)
            SleepMs(10);
        SleepMs(300); // past the stop flag
    }
    if (w.delayMs) {
        SleepMs(w.delayMs);
        if (!call.file->IsOpen())
            ++w.fileClosed;
    }
    return -1;
}

// Plays the page: answers the stop request and adds up the rate points as its display does.
class C_TestEvents : public I_EngineEvents {
public:
    int IsStopRequested() override { return stop.load(); }
    void Begin(uint64_t planned) override
    {
        ++begins;
        plannedRounds = planned;
    }
    void Progress(uint64_t done) override
    {
        if (done != seconds.load() + 1)
            ++progressOutOfStep;
        seconds.store((uint32_t)done);
    }
    void RatePoint(uint64_t, uint64_t bytes, uint64_t us) override
    {
        accesses += (uint32_t)(bytes / 4096);
        microseconds += us;
        ++points;
    }
    void Failure(const C_EngineFailure& f) override
    {
        ++failures;
        failure = f;
    }
    void Reset()
    {
        begins = 0;
        plannedRounds = 0;
        seconds = 0;
        accesses = 0;
        microseconds = 0;
        points = 0;
        progressOutOfStep = 0;
        failures = 0;
        failure = C_EngineFailure();
    }

    std::atomic<int> stop{0};
    int begins = 0;
    uint64_t plannedRounds = 0;
    std::atomic<uint32_t> seconds{0};
    std::atomic<uint32_t> accesses{0};
    std::atomic<uint64_t> microseconds{0};
    std::atomic<int> points{0};
    int progressOutOfStep = 0;
    int failures = 0;
    C_EngineFailure failure;
};

// Lets thread creation fail at a chosen index and counts the started threads that ended.
struct C_FailingStart {
    struct C_Slot {
        ThreadFunction function;
        void* run;
        std::atomic<int>* ended;
    };
    uint32_t failAt = 5;
    uint32_t started = 0;
    C_Slot slots[32] = {};
    std::atomic<int> ended{0};
};

uint32_t WrappedAccessThread(void* userData, uintptr_t index)
{
    C_FailingStart::C_Slot& slot = *(C_FailingStart::C_Slot*)userData;
    const uint32_t code = slot.function(slot.run, index);
    ++*slot.ended;
    return code;
}

int FailingStartHook(C_Thread& thread, ThreadFunction function, void* run, uint32_t index, void* context)
{
    C_FailingStart& f = *(C_FailingStart*)context;
    if (index == f.failAt) {
        SetLastErrorCode(kErrorNoSystemResources);
        return 0;
    }
    C_FailingStart::C_Slot& slot = f.slots[f.started++];
    slot = {function, run, &f.ended};
    return thread.Start(&WrappedAccessThread, &slot, index);
}

class RandomEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.File("QuellmorTest.bin");
        ASSERT_TRUE(aligned.Allocate(4096));
        buffer = (uint8_t*)aligned.Get();
        for (int i = 0; i < 4096; ++i)
            buffer[i] = (uint8_t)(i * 7 + 13);
    }
    void TearDown() override
    {
        SetFileHook(nullptr, nullptr);
        SetAccessThreadStartHook(nullptr, nullptr);
    }

    // A file as the sequential test leaves it, but with a byte no access writes.
    void MakeFile(uint64_t size, uint8_t fill)
    {
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        std::vector<uint8_t> block(1048576, fill);
        for (uint64_t done = 0; done < size; done += block.size())
            ASSERT_EQ(block.size(), fwrite(block.data(), 1, block.size(), f));
        fclose(f);
    }

    // One run through the engine table, as the programs start it.
    C_EngineResult RunPass(int write, uint32_t* elapsedMs = nullptr, uint64_t size = kFileSize,
                           C_LatencyHistogram* latency = nullptr)
    {
        C_EngineJob job;
        job.latency = latency;
        job.kind = kEngineRandom;
        job.write = write;
        job.path = path;
        job.buffer = buffer;
        job.size = size;
        events.Reset();
        SetFileHook(&WatchHook, &watch);
        const uint32_t begin = C_Timer::Now();
        const C_EngineResult r = RunEngine(job, events);
        if (elapsedMs)
            *elapsedMs = C_Timer::Now() - begin;
        return r;
    }

    // Nothing may touch the file once the pass has returned.
    void ExpectNoTransferAfterReturn()
    {
        const int before = watch.transfers.load();
        SleepMs(200);
        EXPECT_EQ(before, watch.transfers.load());
    }

    // The events of a run that measured: one Begin, the rounds in order, and rate points
    // that add up to the result.
    void ExpectEventsOfAMeasuredRun(const C_EngineResult& r)
    {
        EXPECT_EQ(1, events.begins);
        EXPECT_EQ(6u, events.plannedRounds);
        EXPECT_EQ(0, events.progressOutOfStep);
        EXPECT_GT(events.points.load(), 60); // one per 50 ms poll at least
        EXPECT_EQ(r.accesses, events.accesses.load());
        EXPECT_EQ(r.microseconds, events.microseconds.load());
        EXPECT_EQ(r.accesses * 4096, r.bytes);
    }

    TestFolder folder{"access"};
    std::string path;
    C_AlignedBuffer aligned;
    uint8_t* buffer = nullptr;
    C_Watch watch;
    C_TestEvents events;
};

const std::regex
    kResultLine(R"(^[0-9]+(\.[0-9])? [kMGTP]?Byte/sec, ([0-9]+\.[0-9]) IOPS, [0-9]+\.[0-9]{2} ms$)");

TEST_F(RandomEngine, WriteThenReadOnSmallFile)
{
    MakeFile(kFileSize / 2, 0xEE); // an older, shorter file is replaced
    uint32_t elapsed = 0;
    C_EngineResult r = RunPass(1, &elapsed);
    ASSERT_EQ(1, r.complete);
    std::string text = FormatAccessResult(r);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, kResultLine)) << text;
    EXPECT_EQ(6u, events.seconds.load());
    EXPECT_GE(elapsed, 5900u);
    EXPECT_LT(elapsed, 9500u); // six seconds, not twelve; slack for a loaded machine
    const uint64_t count = r.accesses;
    EXPECT_GT(count, 0u);
    // The IOPS figure is the counted accesses over about six seconds.
    const double iops = std::stod(m[2].str());
    EXPECT_NEAR(iops * 6.0, (double)count, count * 0.05 + 64);
    EXPECT_NEAR(iops, r.iops, 0.05);
    EXPECT_EQ(32u, watch.threads.size());
    EXPECT_EQ(0, watch.misplaced.load());
    EXPECT_EQ(0, watch.fileClosed.load());
    EXPECT_EQ(1, watch.plainWrites.load()); // the last block, before the timing
    EXPECT_GE(watch.transfers.load(), (int)count);
    EXPECT_EQ(0, events.failures);
    ExpectEventsOfAMeasuredRun(r);
    ExpectNoTransferAfterReturn();
    SetFileHook(nullptr, nullptr);

    // The file keeps its full size; each block is untouched (zero) or one written copy of
    // the buffer, and the last block was written before the timing started.
    uint32_t low = 0, high = 0;
    ASSERT_TRUE(GetFileSizeByName(path.c_str(), &low, &high));
    ASSERT_EQ(kFileSize, ((uint64_t)high << 32) | low);
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, f);
    std::vector<uint8_t> block(4096), zero(4096, 0);
    int written = 0, foreign = 0, lastWritten = 0;
    for (uint64_t b = 0; b < kFileSize / 4096; ++b) {
        ASSERT_EQ(4096u, fread(block.data(), 1, 4096, f));
        if (memcmp(block.data(), buffer, 4096) == 0) {
            ++written;
            lastWritten = b == kFileSize / 4096 - 1;
        } else if (block != zero) {
            ++foreign;
        }
    }
    fclose(f);
    EXPECT_EQ(0, foreign);
    EXPECT_EQ(1, lastWritten);
    EXPECT_GT(written, 100);

    watch.threads.clear();
    watch.transfers = 0;
    r = RunPass(0, &elapsed);
    ASSERT_EQ(1, r.complete);
    text = FormatAccessResult(r);
    EXPECT_TRUE(std::regex_match(text, kResultLine)) << text;
    EXPECT_EQ(32u, watch.threads.size());
    EXPECT_EQ(0, watch.misplaced.load());
    EXPECT_EQ(0, watch.fileClosed.load());
    EXPECT_EQ(0, watch.plainReads.load());
    EXPECT_GT(r.accesses, 0u);
    EXPECT_EQ(0, FileExists(path.c_str()));
    ExpectEventsOfAMeasuredRun(r);
    ExpectNoTransferAfterReturn();
}

TEST_F(RandomEngine, AWriteIntoTheRunsOwnFileLeavesNoBlockUnwritten)
{
    // The file as a sequential write of this run left it: every block written. More blocks
    // than the engine has positions, so some are never written at random.
    const uint64_t size = 160ull << 20;
    MakeFile(size, 0xAB);
    C_EngineJob job;
    job.kind = kEngineRandom;
    job.write = 1;
    job.keepFile = 1;
    job.path = path;
    job.buffer = buffer;
    job.size = size;
    job.rounds = 1;
    events.Reset();
    const C_EngineResult r = RunEngine(job, events);
    ASSERT_EQ(1, r.complete);
    ASSERT_GT(r.accesses, 0u);

    // Each block is the earlier data or a copy of the buffer; none became a hole.
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, f);
    std::vector<uint8_t> block(4096), earlier(4096, 0xAB);
    int written = 0, other = 0;
    uint64_t blocks = 0;
    while (fread(block.data(), 1, 4096, f) == 4096) {
        ++blocks;
        if (memcmp(block.data(), buffer, 4096) == 0)
            ++written;
        else if (block != earlier)
            ++other;
    }
    fclose(f);
    EXPECT_EQ(size / 4096, blocks);
    EXPECT_EQ(0, other);
    EXPECT_GT(written, 0);
}

TEST_F(RandomEngine, StopDuringThirdSecondEndsWithinOneSecond)
{
    watch.delayMs = 20; // transfers in flight when the stop comes
    std::atomic<uint32_t> stopAt{0};
    std::atomic<int> countWentBack{0};
    std::atomic<uint32_t> countAtOneSecond{0}, countAtStop{0};
    // Plays the page: polls the figures of the rate points while the pass runs, then
    // presses stop.
    std::thread user([&] {
        const uint32_t begin = C_Timer::Now();
        uint32_t last = 0;
        while (events.seconds.load() < 2 && C_Timer::Now() - begin < 20000) {
            const uint32_t now = events.accesses.load();
            if (now < last)
                ++countWentBack;
            last = now;
            if (events.seconds.load() == 1 && !countAtOneSecond.load())
                countAtOneSecond = now;
            SleepMs(5);
        }
        SleepMs(500);
        countAtStop = events.accesses.load();
        stopAt = C_Timer::Now();
        events.stop = 1;
    });
    const C_EngineResult r = RunPass(1);
    const uint32_t returnedAt = C_Timer::Now();
    user.join();
    EXPECT_EQ(0, r.complete);
    EXPECT_EQ(1, r.stopped);
    EXPECT_EQ("", FormatAccessResult(r));
    EXPECT_EQ(2u, events.seconds.load());
    EXPECT_LT(returnedAt - stopAt.load(), 1000u);
    RecordProperty("stop_to_return_ms", (int)(returnedAt - stopAt.load()));
    // The count grows while the pass runs, so the page can show progress.
    EXPECT_EQ(0, countWentBack.load());
    EXPECT_GT(countAtOneSecond.load(), 0u);
    EXPECT_GT(countAtStop.load(), countAtOneSecond.load());
    EXPECT_GT(watch.transfers.load(), 32);
    EXPECT_EQ(0, watch.fileClosed.load());
    EXPECT_EQ(0u, r.failure.error);
    EXPECT_EQ(kOpNone, r.failure.op);
    ExpectNoTransferAfterReturn();
    // Only a read pass removes the file.
    EXPECT_EQ(1, FileExists(path.c_str()));
}

TEST_F(RandomEngine, FailingTransferEndsOnlyItsThread)
{
    MakeFile(kFileSize, 0x5A);
    watch.failOneTransfer = 1;
    const C_EngineResult r = RunPass(0);
    EXPECT_EQ(0, r.complete);
    EXPECT_EQ((uint32_t)kErrorCrc, r.failure.error);
    // The failure as data: the read, where it was, reported once.
    EXPECT_EQ(kOpRead, r.failure.op);
    EXPECT_EQ(0u, r.failure.position % 4096);
    EXPECT_LT(r.failure.position, kFileSize);
    EXPECT_EQ(1, events.failures);
    EXPECT_EQ(kErrorCrc, events.failure.error);
    EXPECT_NE(0u, watch.failedThread.load());
    EXPECT_EQ(0, watch.failedThreadAgain.load());
    // The 31 others ran on to the end, so the figure is still formed.
    EXPECT_EQ(31u, watch.threadsAfterFailure.size());
    EXPECT_EQ(6u, events.seconds.load());
    const std::string text = FormatAccessResult(r);
    EXPECT_TRUE(std::regex_match(text, kResultLine)) << text;
    EXPECT_EQ(0, FileExists(path.c_str()));
    ExpectNoTransferAfterReturn();
}

TEST_F(RandomEngine, DeviceThatCompletesNothingGivesNoFigure)
{
    MakeFile(kFileSize, 0x5A);
    watch.holdUntilSixSeconds = &events.seconds;
    uint32_t elapsed = 0;
    const C_EngineResult r = RunPass(0, &elapsed);
    EXPECT_EQ(1, r.complete);
    EXPECT_EQ("", FormatAccessResult(r));
    EXPECT_EQ(0u, r.accesses);
    EXPECT_EQ(0.0, r.iops);
    EXPECT_EQ(6u, events.seconds.load());
    EXPECT_EQ(32, watch.transfers.load()); // each thread's first access, held past the end
    EXPECT_LT(elapsed, 9500u);             // six seconds, not twelve; slack for a loaded machine
    EXPECT_EQ(0, watch.fileClosed.load());
    ExpectNoTransferAfterReturn();
}

// Each counted access is timed on the fine clock: with every transfer held for 3 ms, the
// histogram holds exactly the counted accesses and none of them shorter than the hold.
TEST_F(RandomEngine, LatencyOfEveryCountedAccess)
{
    MakeFile(kFileSize, 0x5A);
    watch.delayMs = 3;
    std::unique_ptr<C_LatencyHistogram> latency(new C_LatencyHistogram);
    latency->Add(1); // a caller's earlier figures do not mix into the pass's
    const C_EngineResult r = RunPass(0, nullptr, kFileSize, latency.get());
    ASSERT_EQ(1, r.complete);
    ASSERT_GT(r.accesses, 32u);
    const C_LatencyPercentiles p = latency->Percentiles();
    EXPECT_EQ(r.accesses, p.count);
    EXPECT_GE(p.minimum, 3000000u);
    EXPECT_LE(p.minimum, p.p50);
    EXPECT_LE(p.p50, p.p99);
    EXPECT_LE(p.p99, p.maximum);
    EXPECT_LT(p.maximum, 6000000000u); // no access outlasts the pass
    ExpectNoTransferAfterReturn();
}

// The fine clock moves in steps far below a millisecond and keeps pace with the millisecond one.
TEST(FineClock, StepsFinelyAndKeepsPace)
{
    const uint64_t first = FineClockNanoseconds();
    uint64_t next = first;
    while (next == first)
        next = FineClockNanoseconds();
    EXPECT_LT(next - first, 100000u); // under 0.1 ms
    const uint32_t coarse = C_Timer::Now();
    const uint64_t fine = FineClockNanoseconds();
    SleepMs(200);
    const uint64_t fineMs = (FineClockNanoseconds() - fine) / 1000000;
    const uint32_t coarseMs = C_Timer::Now() - coarse;
    EXPECT_GE(fineMs, 195u);
    EXPECT_NEAR((double)fineMs, (double)coarseMs, 20.0);
}

TEST_F(RandomEngine, OpenFailureStartsNoThread)
{
    watch.failOp = kHookOpen;
    uint32_t elapsed = 0;
    const C_EngineResult r = RunPass(1, &elapsed);
    EXPECT_EQ(0, r.complete);
    EXPECT_EQ("", FormatAccessResult(r));
    EXPECT_EQ((uint32_t)kErrorWriteFault, r.failure.error);
    EXPECT_EQ(kOpOpen, r.failure.op);
    EXPECT_EQ(0, watch.transfers.load());
    EXPECT_EQ(0u, events.seconds.load());
    EXPECT_EQ(0, events.begins);
    EXPECT_LT(elapsed, 1000u);
}

TEST_F(RandomEngine, FailedWritePreparationStartsNoThread)
{
    for (int op : {kHookSeek, kHookFlush}) {
        watch.failOp = op;
        watch.plainWrites = 0;
        uint32_t elapsed = 0;
        const C_EngineResult r = RunPass(1, &elapsed);
        EXPECT_EQ(0, r.complete) << op;
        EXPECT_EQ("", FormatAccessResult(r));
        EXPECT_EQ((uint32_t)kErrorWriteFault, r.failure.error);
        EXPECT_EQ(op == kHookFlush ? kOpFlush : kOpSeekEnd, r.failure.op);
        EXPECT_EQ(0, watch.transfers.load());
        EXPECT_EQ(op == kHookFlush ? 1 : 0, watch.plainWrites.load());
        EXPECT_EQ(0u, events.seconds.load());
        EXPECT_LT(elapsed, 1000u);
    }
}

TEST_F(RandomEngine, TooSmallFileFailsBeforeAnyThread)
{
    const C_EngineResult r = RunPass(1, nullptr, 2048);
    EXPECT_EQ(0, r.complete);
    EXPECT_EQ((uint32_t)kErrorInvalidParameter, r.failure.error);
    EXPECT_EQ(0, watch.transfers.load());
    EXPECT_EQ(0, watch.plainWrites.load());
    EXPECT_EQ("", FormatAccessResult(r));
}

TEST_F(RandomEngine, ThreadThatCannotStartReleasesTheOthers)
{
    MakeFile(kFileSize, 0x5A);
    C_FailingStart failing;
    SetAccessThreadStartHook(&FailingStartHook, &failing);
    uint32_t elapsed = 0;
    const C_EngineResult r = RunPass(0, &elapsed);
    EXPECT_EQ(0, r.complete);
    EXPECT_EQ("", FormatAccessResult(r));
    EXPECT_EQ((uint32_t)kErrorNoSystemResources, r.failure.error);
    EXPECT_EQ(kOpStartThread, r.failure.op);
    EXPECT_LT(elapsed, 2000u);
    ASSERT_EQ(5u, failing.started);
    // Every started thread ran to its end before the engine returned.
    EXPECT_EQ(5, failing.ended.load());
    // Released threads see the stop flag before their first access.
    EXPECT_EQ(0, watch.transfers.load());
    EXPECT_EQ(0u, events.seconds.load());
}

} // namespace
