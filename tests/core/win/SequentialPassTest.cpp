// The sequential pass against real files and against faked transfers.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "core/File.h"
#include "core/FileHook.h"
#include "core/SequentialPass.h"
#include "tests/core/win/TestFolder.h"

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
    uint32_t failError = ERROR_DISK_FULL;
    DWORD sleepPerTransfer = 0;
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
                Sleep(f->sleepPerTransfer);
            if (call.done)
                *call.done = call.size;
            return 1;
        case kHookSeek:
            return 1;
        case kHookSetEnd:
            if (f->failSetEnd) {
                SetLastErrorCode(ERROR_DISK_FULL);
                return 0;
            }
            return 1;
        case kHookFlush:
            if (f->failFlush) {
                SetLastErrorCode(ERROR_IO_DEVICE);
                return 0;
            }
            return 1;
        default:
            return -1;
        }
    }
};

struct HookScope {
    HookScope(C_FileHook hook, void* context) { SetFileHook(hook, context); }
    ~HookScope() { SetFileHook(nullptr, nullptr); }
};

struct Aligned {
    explicit Aligned(uint32_t size) : raw(size + 4096) {}
    void* Get() { return (void*)(((uintptr_t)raw.data() + 4096) & ~(uintptr_t)4095); }
    std::vector<char> raw;
};

C_SeqPassArgs Args(const std::string& path, void* buffer, uint32_t block, uint64_t size, int direction)
{
    C_SeqPassArgs a;
    a.direction = direction;
    a.path = path.c_str();
    a.buffer = buffer;
    a.blockSize = block;
    a.fileSize = size;
    a.style = kStyleConsole;
    return a;
}
} // namespace

TEST(SequentialPass, WritesAndReadsARealFile)
{
    TestFolder folder("seqreal");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(65536);
    memset(buffer.Get(), 0x5A, 65536);
    Channel channel;
    std::atomic<uint64_t> done{123};
    C_SeqPassResult result;
    ASSERT_EQ(RunSequentialPass(Args(path, buffer.Get(), 65536, 8 << 20, 1), done, channel, result), 1);
    EXPECT_TRUE(channel.messages.empty());
    EXPECT_EQ(done.load(), 8u << 20);
    EXPECT_FALSE(result.text.empty());
    std::string content = ReadWholeFile(path);
    ASSERT_EQ(content.size(), 8u << 20);
    EXPECT_EQ(content.find_first_not_of('\x5A'), std::string::npos);

    C_SeqPassResult read;
    ASSERT_EQ(RunSequentialPass(Args(path, buffer.Get(), 65536, 8 << 20, 0), done, channel, read), 1);
    EXPECT_EQ(done.load(), 8u << 20);
    EXPECT_TRUE(FileExists(path.c_str())); // the pass never deletes the test file
}

TEST(SequentialPass, BlockCountsOnAThousandMiBFile)
{
    TestFolder folder("seqcount");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(1 << 20);
    for (uint32_t block : {1u << 20, 64u << 10}) {
        Fake fake;
        HookScope hook(Fake::Hook, &fake);
        Channel channel;
        std::atomic<uint64_t> done{0};
        C_SeqPassResult result;
        ASSERT_EQ(RunSequentialPass(Args(path, buffer.Get(), block, 1000ull << 20, 1), done, channel, result),
                  1);
        EXPECT_EQ(fake.transfers, (1000ull << 20) / block);
        EXPECT_EQ(done.load(), 1000ull << 20);
    }
}

TEST(SequentialPass, UncoveredFileSizeRatesTheBytesMoved)
{
    TestFolder folder("seqpartial");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(3000 * 1024);
    ASSERT_TRUE(WriteWholeFile(path, ""));
    Fake fake;
    fake.sleepPerTransfer = 100; // three blocks in about 300 ms
    HookScope hook(Fake::Hook, &fake);
    Channel channel;
    std::atomic<uint64_t> done{0};
    C_SeqPassResult result;
    ASSERT_EQ(RunSequentialPass(Args(path, buffer.Get(), 3000 * 1024, 10 << 20, 0), done, channel, result),
              1);
    EXPECT_EQ(fake.transfers, 3u);
    EXPECT_EQ(done.load(), 3u * 3000 * 1024);
    // 8.8 MiB in about 0.3 s is about 29 MiB/s; the nominal 10 MiB would give 33 or more.
    EXPECT_GT(result.mibPerSecond, 5u);
    EXPECT_LT(result.bytesPerSecond, 9216000.0f / 0.295f);
}

TEST(SequentialPass, FileSmallerThanABlockStillMovesOneBlock)
{
    TestFolder folder("seqsmall");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(2 << 20);
    Fake fake;
    HookScope hook(Fake::Hook, &fake);
    Channel channel;
    std::atomic<uint64_t> done{0};
    C_SeqPassResult result;
    ASSERT_EQ(RunSequentialPass(Args(path, buffer.Get(), 2 << 20, 1 << 20, 1), done, channel, result), 1);
    EXPECT_EQ(fake.transfers, 1u);
}

TEST(SequentialPass, AnInstantPassStillCompletes)
{
    TestFolder folder("seqfast");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(4096);
    Fake fake;
    HookScope hook(Fake::Hook, &fake);
    // One faked block takes well under a millisecond, but whether a clock tick falls inside
    // depends on the machine's load: each outcome must be whole, whichever it is. (The rule
    // for an elapsed time of 0 is tested on its own in the speed arithmetic.)
    for (int i = 0; i < 20; ++i) {
        Channel channel;
        std::atomic<uint64_t> done{0};
        C_SeqPassResult result;
        ASSERT_EQ(RunSequentialPass(Args(path, buffer.Get(), 4096, 1 << 20, 1), done, channel, result), 1);
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

TEST(SequentialPass, CancellationLeavesNoTextAndNoMessage)
{
    TestFolder folder("seqstop");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(1 << 20);
    Fake fake;
    HookScope hook(Fake::Hook, &fake);
    Channel channel;
    channel.stopAfterPolls = 4;
    std::atomic<uint64_t> done{0};
    C_SeqPassResult result;
    C_SeqPassArgs a = Args(path, buffer.Get(), 1 << 20, 100 << 20, 1);
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
    EXPECT_EQ(RunSequentialPass(a, done, channel, result), 1);
    EXPECT_EQ(channel.polls, 0);
}

TEST(SequentialPass, FailingSetEndReportsAndContinues)
{
    TestFolder folder("seqsetend");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(1 << 20);
    Fake fake;
    fake.failSetEnd = 1;
    HookScope hook(Fake::Hook, &fake);
    Channel channel;
    std::atomic<uint64_t> done{0};
    C_SeqPassResult result;
    EXPECT_EQ(RunSequentialPass(Args(path, buffer.Get(), 1 << 20, 16 << 20, 1), done, channel, result), 1);
    ASSERT_EQ(channel.messages.size(), 1u);
    EXPECT_EQ(channel.messages[0], "Can't set new file end at 16 MBytes.\n");
    EXPECT_EQ(fake.transfers, 16u);
}

TEST(SequentialPass, TransferAndFlushFailures)
{
    TestFolder folder("seqfail");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(1 << 20);
    {
        Fake fake;
        fake.failAtTransfer = 3;
        HookScope hook(Fake::Hook, &fake);
        Channel channel;
        std::atomic<uint64_t> done{0};
        C_SeqPassResult result;
        EXPECT_EQ(RunSequentialPass(Args(path, buffer.Get(), 1 << 20, 16 << 20, 1), done, channel, result),
                  0);
        ASSERT_EQ(channel.messages.size(), 1u);
        EXPECT_EQ(channel.messages[0].find("Can't write full test file " + path + "\nWin32Error: 112 - "), 0u)
            << channel.messages[0];
        EXPECT_NE(channel.messages[0].find(
                      " - BlockSize: 0x100000 - FilePosition 0x300000 - FileSize 0x1000000.\n"),
                  std::string::npos)
            << channel.messages[0];
        EXPECT_TRUE(result.text.empty());
        EXPECT_EQ(done.load(), 3u << 20);
    }
    {
        Fake fake;
        fake.failFlush = 1;
        HookScope hook(Fake::Hook, &fake);
        Channel channel;
        std::atomic<uint64_t> done{0};
        C_SeqPassResult result;
        EXPECT_EQ(RunSequentialPass(Args(path, buffer.Get(), 1 << 20, 4 << 20, 1), done, channel, result), 0);
        ASSERT_EQ(channel.messages.size(), 1u);
        EXPECT_EQ(channel.messages[0], "Can't flush Filebuffers.\n");
        EXPECT_TRUE(result.text.empty());
    }
    {
        Channel channel;
        std::atomic<uint64_t> done{0};
        C_SeqPassResult result;
        const std::string missing = folder.File("nothing-here.bin");
        EXPECT_EQ(RunSequentialPass(Args(missing, buffer.Get(), 1 << 20, 4 << 20, 0), done, channel, result),
                  0);
        ASSERT_EQ(channel.messages.size(), 1u);
        EXPECT_EQ(channel.messages[0].find("Can't open test file " + missing + ".\nError 2 - "), 0u);
    }
}

TEST(SequentialPass, UsbHintFromTheMeasuredRate)
{
    TestFolder folder("seqhint");
    const std::string path = folder.File("QuellmorTest.bin");
    Aligned buffer(1 << 20);
    Fake fake;
    fake.sleepPerTransfer = 100; // about 10 MiB/s: slow for USB 2 writes
    HookScope hook(Fake::Hook, &fake);
    Channel channel;
    std::atomic<uint64_t> done{0};
    C_SeqPassResult result;
    C_SeqPassArgs a = Args(path, buffer.Get(), 1 << 20, 3 << 20, 1);
    a.usbSpeedClass = 3;
    ASSERT_EQ(RunSequentialPass(a, done, channel, result), 1);
    EXPECT_EQ(result.hint, "This is pretty slow for an USB2 device. USB3 device on USB2 controller!");
    C_SeqPassResult noClass;
    a.usbSpeedClass = -1;
    ASSERT_EQ(RunSequentialPass(a, done, channel, noClass), 1);
    EXPECT_EQ(noClass.hint, "");
}
