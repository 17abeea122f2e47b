// The sequential engine against real files and against faked transfers, on whichever class
// library the build chose (Win32 under Wine, POSIX natively).
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <vector>
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/FileHook.h"
#include "core/System.h"
#include "core/Rate.h"
#include "core/SeqMessages.h"
#include "core/UsbHint.h"
#include "core/engines/EngineTable.h"
#include "core/engines/SequentialEngine.h"
#include "core/engines/SequentialText.h"
#include "core/Thread.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"

namespace {
// The caller's side: failures as the console would print them, the bytes done as the
// live display reads them, and a stop request after a number of polls.
struct Events : I_EngineEvents {
    std::string path;
    uint32_t blockSize = 0;
    uint64_t fileSize = 0;
    MessageStyle style = kStyleConsole;
    std::vector<std::string> messages;
    std::vector<C_EngineFailure> failures;
    std::atomic<uint64_t>* done = nullptr;
    int begins = 0;
    uint64_t planned = 0;
    int stopAfterPolls = -1;
    int polls = 0;
    void Begin(uint64_t bytes) override
    {
        ++begins;
        planned = bytes;
        done->store(0);
    }
    void Progress(uint64_t bytes) override { done->store(bytes); }
    void Failure(const C_EngineFailure& failure) override
    {
        failures.push_back(failure);
        messages.push_back(FormatSeqFailure(style, failure, path, blockSize, fileSize));
    }
    int IsStopRequested() override
    {
        ++polls;
        return stopAfterPolls >= 0 && polls > stopAfterPolls;
    }
};

// Fakes transfers (and optionally failures) without touching the disk.
struct Fake {
    uint64_t transfers = 0;
    uint64_t bytes = 0;
    int failSetEnd = 0;
    int failFlush = 0;
    int failAtTransfer = -1; // 0-based index of a failing transfer
    uint32_t failError = kErrorDiskFull;
    uint32_t sleepPerTransfer = 0;
    static int Hook(C_FileHookCall& call, void* context)
    {
        Fake* f = (Fake*)context;
        switch (call.op) {
        case kHookRead:
        case kHookWrite:
            if ((int64_t)f->transfers == f->failAtTransfer) {
                ++f->transfers;
                SetLastErrorCode(f->failError);
                return 0;
            }
            ++f->transfers;
            f->bytes += call.size;
            if (f->sleepPerTransfer)
                SleepMs(f->sleepPerTransfer);
            if (call.done)
                *call.done = call.size;
            return 1;
        case kHookSeek:
            return 1;
        case kHookSetEnd:
            if (f->failSetEnd) {
                SetLastErrorCode(kErrorDiskFull);
                return 0;
            }
            return 1;
        case kHookFlush:
            if (f->failFlush) {
                SetLastErrorCode(kErrorIoDevice);
                return 0;
            }
            return 1;
        default:
            return -1;
        }
    }
};

// One test file in a fresh folder, a 1 MiB-ready aligned buffer, and a pass runner that fakes
// the transfers unless told to use the disk.
// One test file in a fresh folder, a 1 MiB-ready aligned buffer, and a runner that fakes
// the transfers unless told to use the disk. The rate text is what the programs make of
// the result.
class SequentialEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.File("QuellmorTest.bin");
        ASSERT_TRUE(buffer.Allocate(3 << 20));
        events.done = &done;
    }
    void TearDown() override { SetFileHook(nullptr, nullptr); }

    C_EngineJob Args(uint32_t block, uint64_t size, int write) const
    {
        C_EngineJob job;
        job.kind = kEngineSequential;
        job.write = write;
        job.path = path;
        job.buffer = buffer.Get();
        job.blockSize = block;
        job.size = size;
        job.openFlags = kOpenNoBuffering | kOpenSequentialScan;
        return job;
    }
    // Transfers go to the fake from now on.
    void UseFake() { SetFileHook(Fake::Hook, &fake); }
    int Pass(const C_EngineJob& job)
    {
        events.path = job.path;
        events.blockSize = job.blockSize;
        events.fileSize = job.size;
        result = RunEngine(job, events);
        rate = result.complete ? ComputeRate(result.bytes, result.microseconds) : C_RateResult();
        return result.complete;
    }

    TestFolder folder{"seq"};
    std::string path;
    C_AlignedBuffer buffer;
    Fake fake;
    Events events;
    std::atomic<uint64_t> done{0};
    C_EngineResult result;
    C_RateResult rate;
};
} // namespace

TEST_F(SequentialEngine, WritesAndReadsARealFile)
{
    memset(buffer.Get(), 0x5A, 65536);
    done = 123;
    ASSERT_EQ(Pass(Args(65536, 8 << 20, 1)), 1);
    EXPECT_TRUE(events.messages.empty());
    EXPECT_EQ(done.load(), 8u << 20);
    EXPECT_FALSE(rate.text.empty());
    EXPECT_EQ(result.bytes, 8u << 20);
    EXPECT_EQ(result.accesses, 128u);
    EXPECT_EQ(events.begins, 1);
    EXPECT_EQ(events.planned, 8u << 20);
    std::string content = ReadWholeFile(path);
    ASSERT_EQ(content.size(), 8u << 20);
    EXPECT_EQ(content.find_first_not_of('\x5A'), std::string::npos);

    ASSERT_EQ(Pass(Args(65536, 8 << 20, 0)), 1);
    EXPECT_EQ(done.load(), 8u << 20);
    EXPECT_TRUE(FileExists(path.c_str())); // the pass never deletes the test file
}

TEST_F(SequentialEngine, BlockCountsOnAThousandMiBFile)
{
    UseFake();
    for (uint32_t block : {1u << 20, 64u << 10}) {
        fake.transfers = 0;
        ASSERT_EQ(Pass(Args(block, 1000ull << 20, 1)), 1);
        EXPECT_EQ(fake.transfers, (1000ull << 20) / block);
        EXPECT_EQ(done.load(), 1000ull << 20);
    }
}

TEST_F(SequentialEngine, UncoveredFileSizeRatesTheBytesMoved)
{
    ASSERT_TRUE(WriteWholeFile(path, ""));
    fake.sleepPerTransfer = 100; // three blocks in about 300 ms
    UseFake();
    ASSERT_EQ(Pass(Args(3000 * 1024, 10 << 20, 0)), 1);
    EXPECT_EQ(fake.transfers, 3u);
    EXPECT_EQ(done.load(), 3u * 3000 * 1024);
    // 8.8 MiB in about 0.3 s is about 29 MiB/s; the nominal 10 MiB would give 33 or more.
    EXPECT_GT(rate.mibPerSecond, 5u);
    EXPECT_LT(rate.bytesPerSecond, 9216000.0f / 0.295f);
    EXPECT_LT(result.bytesPerSecond, 9216000.0 / 0.295);
}

TEST_F(SequentialEngine, FileSmallerThanABlockStillMovesOneBlock)
{
    UseFake();
    ASSERT_EQ(Pass(Args(2 << 20, 1 << 20, 1)), 1);
    EXPECT_EQ(fake.transfers, 1u);
}

TEST_F(SequentialEngine, AnInstantPassStillCompletes)
{
    UseFake();
    // One faked block takes well under a millisecond, but whether a clock tick falls inside
    // depends on the machine's load: each outcome must be whole, whichever it is. (The rule
    // for an elapsed time of 0 is tested on its own in the speed arithmetic.)
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Pass(Args(4096, 1 << 20, 1)), 1);
        EXPECT_TRUE(events.messages.empty());
        EXPECT_EQ(done.load(), 1u << 20);
        if (rate.text == "[too fast]") {
            EXPECT_EQ(rate.mibPerSecond, 0u);
            EXPECT_EQ(rate.bytesPerSecond, 0.0f);
        } else {
            EXPECT_NE(rate.text.find("/sec"), std::string::npos) << rate.text;
            EXPECT_GT(rate.bytesPerSecond, 0.0f);
        }
    }
}

TEST_F(SequentialEngine, CancellationLeavesNoTextAndNoMessage)
{
    UseFake();
    events.stopAfterPolls = 4;
    events.style = kStyleGui;
    rate.text = "old";
    EXPECT_EQ(Pass(Args(1 << 20, 100 << 20, 1)), 0);
    EXPECT_EQ(result.stopped, 1);
    EXPECT_EQ(fake.transfers, 5u);
    EXPECT_TRUE(rate.text.empty());
    EXPECT_TRUE(events.messages.empty());
    // Polled between blocks only: never after the last one of a complete pass.
    events.polls = 0;
    events.stopAfterPolls = -1;
    fake.transfers = 0;
    EXPECT_EQ(Pass(Args(1 << 20, 100 << 20, 1)), 1);
    EXPECT_EQ(events.polls, 99);
}

TEST_F(SequentialEngine, FailingSetEndReportsAndContinues)
{
    fake.failSetEnd = 1;
    UseFake();
    EXPECT_EQ(Pass(Args(1 << 20, 16 << 20, 1)), 1);
    ASSERT_EQ(events.messages.size(), 1u);
    EXPECT_EQ(events.messages[0], "Can't set new file end at 16 MBytes.\n");
    EXPECT_EQ(fake.transfers, 16u);
    EXPECT_EQ(result.failure.op, kOpNone);
}

TEST_F(SequentialEngine, TransferFailureReportsWhereItStopped)
{
    fake.failAtTransfer = 3;
    UseFake();
    EXPECT_EQ(Pass(Args(1 << 20, 16 << 20, 1)), 0);
    ASSERT_EQ(events.messages.size(), 1u);
    EXPECT_EQ(events.messages[0].find("Can't write full test file " + path + "\nWin32Error: 112 - "), 0u)
        << events.messages[0];
    EXPECT_NE(
        events.messages[0].find(" - BlockSize: 0x100000 - FilePosition 0x300000 - FileSize 0x1000000.\n"),
        std::string::npos)
        << events.messages[0];
    EXPECT_TRUE(rate.text.empty());
    EXPECT_EQ(done.load(), 3u << 20);
    EXPECT_EQ(result.failure.op, kOpWrite);
    EXPECT_EQ(result.failure.position, 3u << 20);
    EXPECT_EQ(result.failure.error, kErrorDiskFull);
}

TEST_F(SequentialEngine, FlushAndOpenFailures)
{
    fake.failFlush = 1;
    UseFake();
    EXPECT_EQ(Pass(Args(1 << 20, 4 << 20, 1)), 0);
    ASSERT_EQ(events.messages.size(), 1u);
    EXPECT_EQ(events.messages[0], "Can't flush Filebuffers.\n");
    EXPECT_TRUE(rate.text.empty());

    SetFileHook(nullptr, nullptr);
    events.messages.clear();
    path = folder.File("nothing-here.bin");
    EXPECT_EQ(Pass(Args(1 << 20, 4 << 20, 0)), 0);
    ASSERT_EQ(events.messages.size(), 1u);
    EXPECT_EQ(events.messages[0].find("Can't open test file " + path + ".\nError 2 - "), 0u)
        << events.messages[0];
    EXPECT_EQ(events.begins, 1); // the clock never started for the failed open
}

TEST_F(SequentialEngine, UsbHintFromTheMeasuredRate)
{
    fake.sleepPerTransfer = 100; // about 10 MiB/s: slow for USB 2 writes
    UseFake();
    ASSERT_EQ(Pass(Args(1 << 20, 3 << 20, 1)), 1);
    std::string hint;
    AppendUsbHint(hint, 3, 1, rate.bytesPerSecond);
    EXPECT_EQ(hint, "This is pretty slow for an USB2 device. USB3 device on USB2 controller!");
}

namespace {
// Keeps what it is given, and refuses once it holds a chosen number of bytes.
struct Sink : I_DataSink {
    std::string kept;
    size_t refuseAt = SIZE_MAX;
    int Take(const void* data, uint32_t bytes) override
    {
        if (kept.size() >= refuseAt) {
            SetLastErrorCode(kErrorDiskFull);
            return 0;
        }
        kept.append((const char*)data, bytes);
        return 1;
    }
};
} // namespace

TEST_F(SequentialEngine, ReadLimitedToASizeFeedsTheSinkWholeBlocks)
{
    std::string content((5u << 20) / 2, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = (char)(i * 7 + i / 4096);
    ASSERT_TRUE(WriteWholeFile(path, content));
    Sink sink;
    C_EngineJob job = Args(1 << 20, 2 << 20, 0);
    job.openFlags = kOpenSequentialScan; // buffered, as the FileAccess read without the bypass
    job.sink = &sink;
    ASSERT_EQ(Pass(job), 1);
    EXPECT_EQ(result.bytes, 2u << 20); // the read stops at the size asked, not at the file's end
    EXPECT_TRUE(sink.kept == content.substr(0, 2u << 20));

    // A sink that refuses ends the run with its own failure, where it stood.
    sink.kept.clear();
    sink.refuseAt = 1 << 20;
    job.size = content.size();
    EXPECT_EQ(Pass(job), 0);
    EXPECT_EQ(result.failure.op, kOpSinkWrite);
    EXPECT_EQ(result.failure.position, 1u << 20);
    EXPECT_EQ(result.failure.error, kErrorDiskFull);
    EXPECT_EQ(sink.kept.size(), 1u << 20);
}

TEST_F(SequentialEngine, WriteWithoutSizingLeavesTheFileToTheWrites)
{
    ASSERT_TRUE(WriteWholeFile(path, std::string(1 << 20, 'x')));
    C_EngineJob job = Args(65536, 4 << 20, 1);
    job.sizeFirst = 0;
    job.size = (4u << 20) + 1000; // the sizing would have made the file this long
    ASSERT_EQ(Pass(job), 1);
    EXPECT_EQ(ReadWholeFile(path).size(), 4u << 20);
}

TEST(SequentialText, FailuresBecomeTodaysWholeTexts)
{
    C_EngineFailure f;
    f.op = kOpRead;
    f.error = kErrorDiskFull;
    f.position = 0x300000;
    const std::string disk = ErrorText(kErrorDiskFull);
    EXPECT_EQ(FormatSeqFailure(kStyleGui, f, "T:\\_TestFile", 0x10000, 0x1000000),
              "Can't read full test file \xBBT:\\_TestFile\xAB\n\nWin32Error: 112 - " + disk +
                  " - BlockSize: 0x10000 - FilePosition 0x300000 - FileSize 0x1000000");
    f.op = kOpOpen;
    f.error = kErrorFileNotFound;
    EXPECT_EQ(FormatSeqFailure(kStyleConsole, f, "x.bin", 0x10000, 0x1000000),
              "Can't open test file x.bin.\nError 2 - " + ErrorText(kErrorFileNotFound) + ".\n");
    f.op = kOpSeekEnd;
    EXPECT_EQ(FormatSeqFailure(kStyleGui, f, "x.bin", 0x10000, 1000ull << 20),
              "Can't seek to new file end at 1000 MBytes.");
    f.op = kOpSeekStart;
    EXPECT_EQ(FormatSeqFailure(kStyleConsole, f, "x.bin", 0, 0), "Can't seek to file start.");
    // The random engine's operations have texts of their own elsewhere.
    f.op = kOpStartThread;
    EXPECT_EQ(FormatSeqFailure(kStyleConsole, f, "x.bin", 0, 0), "");
}
