// Whole passes of the random access test on a small file, with the transfer hook watching
// (and sometimes failing or holding) every access of the 32 threads.
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include "core/AlignedBuffer.h"
#include "core/RandomAccessPass.h"
#include "core/File.h"
#include "core/FileHook.h"
#include "core/SequentialPass.h"
#include "core/Thread.h"
#include "core/Timer.h"
#include "tests/core/TestFolder.h"

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
    uint32_t delayMs = 0; // each transfer takes at least this long
    const C_AccessTest* holdUntilSixSeconds = nullptr;
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
        while (w.holdUntilSixSeconds->GetSeconds() < 6 && C_Timer::Now() - begin < 15000)
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

class C_TestChannel : public C_PassChannel {
public:
    void Report(const std::string&) override { ++reports; }
    int IsStopRequested() override { return stop.load(); }
    std::atomic<int> stop{0};
    std::atomic<int> reports{0};
};

// A test that lets thread creation fail at a chosen index and keeps the thread objects.
class C_FailingStart : public C_AccessTest {
public:
    uint32_t failAt = 5;
    std::vector<C_Thread*> started;

protected:
    int StartAccessThread(C_Thread& thread, C_AccessRun* run, uint32_t index) override
    {
        if (index == failAt) {
            SetLastErrorCode(kErrorNoSystemResources);
            return 0;
        }
        started.push_back(&thread);
        return C_AccessTest::StartAccessThread(thread, run, index);
    }
};

class AccessPass : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.File("QuellmorTest.bin");
        ASSERT_TRUE(aligned.Allocate(4096));
        buffer = (uint8_t*)aligned.Get();
        for (int i = 0; i < 4096; ++i)
            buffer[i] = (uint8_t)(i * 7 + 13);
    }
    void TearDown() override { SetFileHook(nullptr, nullptr); }

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

    int RunPass(C_AccessTest& test, int direction, std::string& text, uint32_t* elapsedMs = nullptr)
    {
        C_AccessPassArgs args;
        args.direction = direction;
        args.path = path.c_str();
        args.buffer = buffer;
        args.fileSize = kFileSize;
        test.ResetSeconds();
        SetFileHook(&WatchHook, &watch);
        const uint32_t begin = C_Timer::Now();
        const int r = test.Run(args, channel, text);
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

    TestFolder folder{"access"};
    std::string path;
    C_AlignedBuffer aligned;
    uint8_t* buffer = nullptr;
    C_Watch watch;
    C_TestChannel channel;
};

const std::regex
    kResultLine(R"(^[0-9]+(\.[0-9])? [kMGTP]?Byte/sec, ([0-9]+\.[0-9]) IOPS, [0-9]+\.[0-9]{2} ms$)");

TEST_F(AccessPass, WriteThenReadOnSmallFile)
{
    MakeFile(kFileSize / 2, 0xEE); // an older, shorter file is replaced
    C_AccessTest test;
    std::string text;
    uint32_t elapsed = 0;
    ASSERT_EQ(1, RunPass(test, 1, text, &elapsed));
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, kResultLine)) << text;
    EXPECT_EQ(6u, test.GetSeconds());
    EXPECT_GE(elapsed, 5900u);
    EXPECT_LT(elapsed, 9500u); // six seconds, not twelve; slack for a loaded machine
    const uint32_t count = test.GetAccessCount();
    EXPECT_GT(count, 0u);
    // The IOPS figure is the counted accesses over about six seconds.
    const double iops = std::stod(m[2].str());
    EXPECT_NEAR(iops * 6.0, (double)count, count * 0.05 + 64);
    EXPECT_EQ(32u, watch.threads.size());
    EXPECT_EQ(0, watch.misplaced.load());
    EXPECT_EQ(0, watch.fileClosed.load());
    EXPECT_EQ(1, watch.plainWrites.load()); // the last block, before the timing
    EXPECT_GE(watch.transfers.load(), (int)count);
    EXPECT_EQ(0, channel.reports.load());
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
    text.clear();
    ASSERT_EQ(1, RunPass(test, 0, text, &elapsed));
    EXPECT_TRUE(std::regex_match(text, kResultLine)) << text;
    EXPECT_EQ(32u, watch.threads.size());
    EXPECT_EQ(0, watch.misplaced.load());
    EXPECT_EQ(0, watch.fileClosed.load());
    EXPECT_EQ(0, watch.plainReads.load());
    EXPECT_GT(test.GetAccessCount(), 0u);
    EXPECT_EQ(0, FileExists(path.c_str()));
    ExpectNoTransferAfterReturn();
}

TEST_F(AccessPass, StopDuringThirdSecondEndsWithinOneSecond)
{
    C_AccessTest test;
    watch.delayMs = 20; // transfers in flight when the stop comes
    std::atomic<uint32_t> stopAt{0};
    std::atomic<int> countWentBack{0};
    std::atomic<uint32_t> countAtOneSecond{0}, countAtStop{0};
    // Plays the page: polls the counters while the pass runs, then presses stop.
    std::thread user([&] {
        const uint32_t begin = C_Timer::Now();
        uint32_t last = 0;
        while (test.GetSeconds() < 2 && C_Timer::Now() - begin < 20000) {
            const uint32_t now = test.GetAccessCount();
            if (now < last)
                ++countWentBack;
            last = now;
            if (test.GetSeconds() == 1 && !countAtOneSecond.load())
                countAtOneSecond = now;
            SleepMs(5);
        }
        SleepMs(500);
        countAtStop = test.GetAccessCount();
        stopAt = C_Timer::Now();
        channel.stop = 1;
    });
    std::string text = "old";
    const int r = RunPass(test, 1, text);
    const uint32_t returnedAt = C_Timer::Now();
    user.join();
    EXPECT_EQ(0, r);
    EXPECT_EQ("", text);
    EXPECT_EQ(2u, test.GetSeconds());
    EXPECT_LT(returnedAt - stopAt.load(), 1000u);
    RecordProperty("stop_to_return_ms", (int)(returnedAt - stopAt.load()));
    // The counter grows while the pass runs, so the page can show progress.
    EXPECT_EQ(0, countWentBack.load());
    EXPECT_GT(countAtOneSecond.load(), 0u);
    EXPECT_GT(countAtStop.load(), countAtOneSecond.load());
    EXPECT_GT(watch.transfers.load(), 32);
    EXPECT_EQ(0, watch.fileClosed.load());
    EXPECT_EQ(0u, test.GetFailureCode());
    ExpectNoTransferAfterReturn();
    // Only a read pass removes the file.
    EXPECT_EQ(1, FileExists(path.c_str()));
}

TEST_F(AccessPass, FailingTransferEndsOnlyItsThread)
{
    MakeFile(kFileSize, 0x5A);
    C_AccessTest test;
    watch.failOneTransfer = 1;
    std::string text;
    EXPECT_EQ(0, RunPass(test, 0, text));
    EXPECT_EQ((uint32_t)kErrorCrc, test.GetFailureCode());
    EXPECT_NE(0u, watch.failedThread.load());
    EXPECT_EQ(0, watch.failedThreadAgain.load());
    // The 31 others ran on to the end, so the figure is still formed.
    EXPECT_EQ(31u, watch.threadsAfterFailure.size());
    EXPECT_EQ(6u, test.GetSeconds());
    EXPECT_TRUE(std::regex_match(text, kResultLine)) << text;
    EXPECT_EQ(0, FileExists(path.c_str()));
    ExpectNoTransferAfterReturn();
}

TEST_F(AccessPass, DeviceThatCompletesNothingGivesNoFigure)
{
    MakeFile(kFileSize, 0x5A);
    C_AccessTest test;
    watch.holdUntilSixSeconds = &test;
    std::string text = "old";
    uint32_t elapsed = 0;
    EXPECT_EQ(1, RunPass(test, 0, text, &elapsed));
    EXPECT_EQ("", text);
    EXPECT_EQ(0u, test.GetAccessCount());
    EXPECT_EQ(6u, test.GetSeconds());
    EXPECT_EQ(32, watch.transfers.load()); // each thread's first access, held past the end
    EXPECT_LT(elapsed, 9500u);             // six seconds, not twelve; slack for a loaded machine
    EXPECT_EQ(0, watch.fileClosed.load());
    ExpectNoTransferAfterReturn();
}

TEST_F(AccessPass, OpenFailureStartsNoThread)
{
    C_AccessTest test;
    watch.failOp = kHookOpen;
    std::string text = "old";
    uint32_t elapsed = 0;
    EXPECT_EQ(0, RunPass(test, 1, text, &elapsed));
    EXPECT_EQ("", text);
    EXPECT_EQ((uint32_t)kErrorWriteFault, test.GetFailureCode());
    EXPECT_EQ(0, watch.transfers.load());
    EXPECT_EQ(0u, test.GetSeconds());
    EXPECT_LT(elapsed, 1000u);
}

TEST_F(AccessPass, FailedWritePreparationStartsNoThread)
{
    for (int op : {kHookSeek, kHookFlush}) {
        C_AccessTest test;
        watch.failOp = op;
        watch.plainWrites = 0;
        std::string text = "old";
        uint32_t elapsed = 0;
        EXPECT_EQ(0, RunPass(test, 1, text, &elapsed)) << op;
        EXPECT_EQ("", text);
        EXPECT_EQ((uint32_t)kErrorWriteFault, test.GetFailureCode());
        EXPECT_EQ(0, watch.transfers.load());
        EXPECT_EQ(op == kHookFlush ? 1 : 0, watch.plainWrites.load());
        EXPECT_EQ(0u, test.GetSeconds());
        EXPECT_LT(elapsed, 1000u);
    }
}

TEST_F(AccessPass, TooSmallFileFailsBeforeAnyThread)
{
    C_AccessTest test;
    C_AccessPassArgs args;
    args.direction = 1;
    args.path = path.c_str();
    args.buffer = buffer;
    args.fileSize = 2048;
    std::string text;
    SetFileHook(&WatchHook, &watch);
    EXPECT_EQ(0, test.Run(args, channel, text));
    EXPECT_EQ(0, watch.transfers.load());
    EXPECT_EQ(0, watch.plainWrites.load());
    EXPECT_EQ("", text);
}

TEST_F(AccessPass, ThreadThatCannotStartReleasesTheOthers)
{
    MakeFile(kFileSize, 0x5A);
    C_FailingStart test;
    std::string text = "old";
    uint32_t elapsed = 0;
    EXPECT_EQ(0, RunPass(test, 0, text, &elapsed));
    EXPECT_EQ("", text);
    EXPECT_EQ((uint32_t)kErrorNoSystemResources, test.GetFailureCode());
    EXPECT_LT(elapsed, 2000u);
    ASSERT_EQ(5u, test.started.size());
    for (C_Thread* t : test.started)
        EXPECT_FALSE(t->IsRunning());
    // Released threads see the stop flag before their first access.
    EXPECT_EQ(0, watch.transfers.load());
    EXPECT_EQ(0u, test.GetSeconds());
}

} // namespace
