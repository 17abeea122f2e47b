// The sequential pass against real files and against faked transfers, on whichever class
// library the build chose (Win32 under Wine, POSIX natively).
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/FileHook.h"
#include "core/SequentialPass.h"
#include "core/Thread.h"
#include "tests/core/TestFolder.h"

namespace {
struct Channel : C_PassChannel {
    std::vector<std::string> messages;
    int stopAfterPolls = -1;
    int polls = 0;
    void Report(const std::string& text) override { messages.push_back(text); }
    int IsStopRequested() override { return stopAfterPolls >= 0 && ++polls > stopAfterPolls; }
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
class SequentialPass : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.File("QuellmorTest.bin");
        ASSERT_TRUE(buffer.Allocate(3 << 20));
    }
    void TearDown() override { SetFileHook(nullptr, nullptr); }

    C_SeqPassArgs Args(uint32_t block, uint64_t size, int direction) const
    {
        C_SeqPassArgs a;
        a.direction = direction;
        a.path = path.c_str();
        a.buffer = buffer.Get();
        a.blockSize = block;
        a.fileSize = size;
        a.style = kStyleConsole;
        return a;
    }
    // Transfers go to the fake from now on.
    void UseFake() { SetFileHook(Fake::Hook, &fake); }
    int Pass(const C_SeqPassArgs& args)
    {
        result = C_SeqPassResult();
        return RunSequentialPass(args, done, channel, result);
    }

    TestFolder folder{"seq"};
    std::string path;
    C_AlignedBuffer buffer;
    Fake fake;
    Channel channel;
    std::atomic<uint64_t> done{0};
    C_SeqPassResult result;
};
} // namespace

TEST_F(SequentialPass, WritesAndReadsARealFile)
{
    memset(buffer.Get(), 0x5A, 65536);
    done = 123;
    ASSERT_EQ(Pass(Args(65536, 8 << 20, 1)), 1);
    EXPECT_TRUE(channel.messages.empty());
    EXPECT_EQ(done.load(), 8u << 20);
    EXPECT_FALSE(result.text.empty());
    std::string content = ReadWholeFile(path);
    ASSERT_EQ(content.size(), 8u << 20);
    EXPECT_EQ(content.find_first_not_of('\x5A'), std::string::npos);

    ASSERT_EQ(Pass(Args(65536, 8 << 20, 0)), 1);
    EXPECT_EQ(done.load(), 8u << 20);
    EXPECT_TRUE(FileExists(path.c_str())); // the pass never deletes the test file
}

TEST_F(SequentialPass, BlockCountsOnAThousandMiBFile)
{
    UseFake();
    for (uint32_t block : {1u << 20, 64u << 10}) {
        fake.transfers = 0;
        ASSERT_EQ(Pass(Args(block, 1000ull << 20, 1)), 1);
        EXPECT_EQ(fake.transfers, (1000ull << 20) / block);
        EXPECT_EQ(done.load(), 1000ull << 20);
    }
}

TEST_F(SequentialPass, UncoveredFileSizeRatesTheBytesMoved)
{
    ASSERT_TRUE(WriteWholeFile(path, ""));
    fake.sleepPerTransfer = 100; // three blocks in about 300 ms
    UseFake();
    ASSERT_EQ(Pass(Args(3000 * 1024, 10 << 20, 0)), 1);
    EXPECT_EQ(fake.transfers, 3u);
    EXPECT_EQ(done.load(), 3u * 3000 * 1024);
    // 8.8 MiB in about 0.3 s is about 29 MiB/s; the nominal 10 MiB would give 33 or more.
    EXPECT_GT(result.mibPerSecond, 5u);
    EXPECT_LT(result.bytesPerSecond, 9216000.0f / 0.295f);
}

TEST_F(SequentialPass, FileSmallerThanABlockStillMovesOneBlock)
{
    UseFake();
    ASSERT_EQ(Pass(Args(2 << 20, 1 << 20, 1)), 1);
    EXPECT_EQ(fake.transfers, 1u);
}

TEST_F(SequentialPass, AnInstantPassStillCompletes)
{
    UseFake();
    // One faked block takes well under a millisecond, but whether a clock tick falls inside
    // depends on the machine's load: each outcome must be whole, whichever it is. (The rule
    // for an elapsed time of 0 is tested on its own in the speed arithmetic.)
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Pass(Args(4096, 1 << 20, 1)), 1);
        EXPECT_TRUE(channel.messages.empty());
        EXPECT_EQ(done.load(), 1u << 20);
        if (result.text == "[too fast]") {
            EXPECT_EQ(result.mibPerSecond, 0u);
            EXPECT_EQ(result.bytesPerSecond, 0.0f);
        } else {
            EXPECT_NE(result.text.find("/sec"), std::string::npos) << result.text;
            EXPECT_GT(result.bytesPerSecond, 0.0f);
        }
    }
}

TEST_F(SequentialPass, CancellationLeavesNoTextAndNoMessage)
{
    UseFake();
    channel.stopAfterPolls = 4;
    C_SeqPassArgs a = Args(1 << 20, 100 << 20, 1);
    a.style = kStyleGui;
    a.checkStop = 1;
    result.text = "old";
    EXPECT_EQ(RunSequentialPass(a, done, channel, result), 0);
    EXPECT_EQ(fake.transfers, 5u);
    EXPECT_TRUE(result.text.empty());
    EXPECT_TRUE(channel.messages.empty());
    // Without checkStop (the console's behaviour before Ctrl+C) the same channel is never polled.
    channel.polls = 0;
    a.checkStop = 0;
    fake.transfers = 0;
    EXPECT_EQ(Pass(a), 1);
    EXPECT_EQ(channel.polls, 0);
}

TEST_F(SequentialPass, FailingSetEndReportsAndContinues)
{
    fake.failSetEnd = 1;
    UseFake();
    EXPECT_EQ(Pass(Args(1 << 20, 16 << 20, 1)), 1);
    ASSERT_EQ(channel.messages.size(), 1u);
    EXPECT_EQ(channel.messages[0], "Can't set new file end at 16 MBytes.\n");
    EXPECT_EQ(fake.transfers, 16u);
}

TEST_F(SequentialPass, TransferFailureReportsWhereItStopped)
{
    fake.failAtTransfer = 3;
    UseFake();
    EXPECT_EQ(Pass(Args(1 << 20, 16 << 20, 1)), 0);
    ASSERT_EQ(channel.messages.size(), 1u);
    EXPECT_EQ(channel.messages[0].find("Can't write full test file " + path + "\nWin32Error: 112 - "), 0u)
        << channel.messages[0];
    EXPECT_NE(
        channel.messages[0].find(" - BlockSize: 0x100000 - FilePosition 0x300000 - FileSize 0x1000000.\n"),
        std::string::npos)
        << channel.messages[0];
    EXPECT_TRUE(result.text.empty());
    EXPECT_EQ(done.load(), 3u << 20);
}

TEST_F(SequentialPass, FlushAndOpenFailures)
{
    fake.failFlush = 1;
    UseFake();
    EXPECT_EQ(Pass(Args(1 << 20, 4 << 20, 1)), 0);
    ASSERT_EQ(channel.messages.size(), 1u);
    EXPECT_EQ(channel.messages[0], "Can't flush Filebuffers.\n");
    EXPECT_TRUE(result.text.empty());

    SetFileHook(nullptr, nullptr);
    channel.messages.clear();
    path = folder.File("nothing-here.bin");
    EXPECT_EQ(Pass(Args(1 << 20, 4 << 20, 0)), 0);
    ASSERT_EQ(channel.messages.size(), 1u);
    EXPECT_EQ(channel.messages[0].find("Can't open test file " + path + ".\nError 2 - "), 0u)
        << channel.messages[0];
}

TEST_F(SequentialPass, UsbHintFromTheMeasuredRate)
{
    fake.sleepPerTransfer = 100; // about 10 MiB/s: slow for USB 2 writes
    UseFake();
    C_SeqPassArgs a = Args(1 << 20, 3 << 20, 1);
    a.usbSpeedClass = 3;
    ASSERT_EQ(Pass(a), 1);
    EXPECT_EQ(result.hint, "This is pretty slow for an USB2 device. USB3 device on USB2 controller!");
    a.usbSpeedClass = -1;
    ASSERT_EQ(Pass(a), 1);
    EXPECT_EQ(result.hint, "");
}
