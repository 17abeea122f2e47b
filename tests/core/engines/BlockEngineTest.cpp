// The block engine on an image file through the class library (natively under the
// sanitizers, and under Wine), and natively on a loop device: where the data lands, where
// the accesses go, and failures coming back as data with their positions.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "core/FileHook.h"
#include "core/engines/BlockEngine.h"
#include "core/engines/EngineTable.h"
#include "core/engines/ImageTarget.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"
#ifndef _WIN32
#include <unistd.h>
#endif

namespace {
const uint32_t kBlock = 512;
const uint32_t kBlocks = 256;

char Pattern(size_t byte) { return char((byte / kBlock) * 13 + (byte % kBlock) * 7 + 1); }

std::string PatternImage()
{
    std::string image(size_t(kBlocks) * kBlock, 0);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = Pattern(i);
    return image;
}

// The image's target, noting where every access went.
class C_WatchedImage : public C_ImageTarget {
public:
    using C_ImageTarget::C_ImageTarget;
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override
    {
        starts.push_back(block);
        return C_ImageTarget::ReadBlocks(block, count, buffer);
    }
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override
    {
        starts.push_back(block);
        return C_ImageTarget::WriteBlocks(block, count, buffer);
    }
    std::vector<uint64_t> starts;
};

struct C_Events : I_EngineEvents {
    uint64_t planned = 0;
    std::vector<uint64_t> progress, pointAt;
    std::vector<C_EngineFailure> failures;
    void Begin(uint64_t p) override { planned = p; }
    void Progress(uint64_t done) override { progress.push_back(done); }
    void RatePoint(uint64_t at, uint64_t, uint64_t) override { pointAt.push_back(at); }
    void Failure(const C_EngineFailure& f) override { failures.push_back(f); }
};

// Fails the positioned transfer that reaches byte failAt.
struct C_FailAt {
    uint64_t failAt = 0;
    uint32_t error = kErrorIoDevice;
    static int Hook(C_FileHookCall& call, void* context)
    {
        const C_FailAt* f = static_cast<C_FailAt*>(context);
        if (!call.positioned || call.position > f->failAt || call.position + call.size <= f->failAt)
            return -1;
        SetLastErrorCode(f->error);
        return 0;
    }
};

C_EngineJob BlockJob(I_BlockTarget& target, BlockPattern pattern, uint64_t start, uint64_t end,
                     uint64_t blocks)
{
    C_EngineJob job;
    job.kind = kEngineBlock;
    job.target = &target;
    job.blockSize = kBlock;
    job.pattern = pattern;
    job.values.start = start;
    job.values.end = end;
    job.values.blocks = blocks;
    return job;
}

class BlockEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = folder.File("disk.img");
        data = folder.File("data.bin");
        ASSERT_TRUE(WriteWholeFile(image, PatternImage()));
        ASSERT_TRUE(target.Measure());
    }
    void TearDown() override { SetFileHook(nullptr, nullptr); }

    TestFolder folder{"block_engine"};
    std::string image, data;
    C_WatchedImage target{folder.File("disk.img"), kBlock};
    C_Events events;
};
} // namespace

TEST_F(BlockEngine, LinearRunsCopyTheRangeOutAndWriteTheDataFileIn)
{
    // A read of blocks 10..73 in accesses of 16, saved to the data file, timed in pairs.
    C_EngineJob job = BlockJob(target, kPatternLinear, 10, 74, 16);
    job.dataFile = 1;
    job.sourceFile = data;
    job.values.calcEvery = 2;
    job.ratePoints = 1;
    C_EngineResult r = RunEngine(job, events);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.failure.op, kOpNone);
    EXPECT_EQ(r.accesses, 4u);
    EXPECT_EQ(r.bytes, 64u * kBlock);
    EXPECT_EQ(events.planned, 4u);
    EXPECT_EQ(events.progress, (std::vector<uint64_t>{1, 2, 3, 4}));
    EXPECT_EQ(events.pointAt, (std::vector<uint64_t>{2, 4}));
    EXPECT_EQ(target.starts, (std::vector<uint64_t>{10, 26, 42, 58}));
    EXPECT_EQ(ReadWholeFile(data), PatternImage().substr(10 * kBlock, 64 * kBlock));

    // A write in strides of 8 + 2 skipped blocks repeats the data file's first buffer.
    std::string source(8 * kBlock + 100, '\xEE');
    for (size_t i = 0; i < 8 * kBlock; ++i)
        source[i] = char(0xA5 ^ i);
    ASSERT_TRUE(WriteWholeFile(data, source));
    target.starts.clear();
    job = BlockJob(target, kPatternLinear, 100, 140, 8);
    job.values.skip = 2;
    job.write = 1;
    job.dataFile = 1;
    job.sourceFile = data;
    r = RunEngine(job, events);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(target.starts, (std::vector<uint64_t>{100, 110, 120, 130}));
    std::string expected = PatternImage();
    for (uint64_t start : target.starts)
        expected.replace(start * kBlock, 8 * kBlock, source, 0, 8 * kBlock);
    EXPECT_EQ(ReadWholeFile(image), expected);
}

TEST_F(BlockEngine, RandomAndSeekAccessesStayInsideTheRange)
{
    for (BlockPattern pattern : {kPatternRandom, kPatternSeek}) {
        target.starts.clear();
        C_EngineJob job = BlockJob(target, pattern, 200, kBlocks, 7);
        job.values.repeats = 300;
        job.write = 1; // zeros, inside the range only
        const C_EngineResult r = RunEngine(job, events);
        EXPECT_TRUE(r.complete);
        ASSERT_EQ(target.starts.size(), 300u);
        for (uint64_t start : target.starts) {
            EXPECT_GE(start, 200u);
            EXPECT_LE(start + 7, uint64_t(kBlocks));
        }
        const uint64_t highest = *std::max_element(target.starts.begin(), target.starts.end());
        if (pattern == kPatternSeek) {
            EXPECT_EQ(target.starts[0], 200u);
            EXPECT_EQ(target.starts[1], kBlocks - 7u);
        } else {
            EXPECT_GT(highest, 240u);
        }
    }
    EXPECT_EQ(ReadWholeFile(image).substr(0, 200 * kBlock), PatternImage().substr(0, 200 * kBlock));
}

TEST_F(BlockEngine, FailuresComeBackAsDataWithTheirPositions)
{
    // The transfer that reaches block 30 fails: the access at 24 is the failing one.
    C_FailAt fault;
    fault.failAt = 30 * kBlock;
    SetFileHook(&C_FailAt::Hook, &fault);
    C_EngineJob job = BlockJob(target, kPatternLinear, 16, 48, 8);
    C_EngineResult r = RunEngine(job, events);
    EXPECT_FALSE(r.complete);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.accesses, 1u);
    EXPECT_EQ(r.failure.op, kOpRead);
    EXPECT_EQ(r.failure.position, 24u);
    EXPECT_EQ(r.failure.error, kErrorIoDevice);
    ASSERT_EQ(events.failures.size(), 1u);
    EXPECT_EQ(events.failures[0].position, 24u);

    // A CRC error is read again block by block; the bad block becomes zeros and the run goes on.
    fault.error = kErrorCrc;
    fault.failAt = 20 * kBlock;
    job.dataFile = 1;
    job.sourceFile = data;
    r = RunEngine(job, events);
    EXPECT_TRUE(r.complete);
    std::string expected = PatternImage().substr(16 * kBlock, 32 * kBlock);
    expected.replace(4 * kBlock, kBlock, kBlock, '\0');
    EXPECT_EQ(ReadWholeFile(data), expected);

    fault.error = kErrorWriteProtect;
    job.write = 1;
    job.dataFile = 0;
    r = RunEngine(job, events);
    EXPECT_EQ(r.failure.op, kOpWrite);
    EXPECT_EQ(r.failure.position, 16u);
    EXPECT_EQ(r.failure.error, kErrorWriteProtect);
    SetFileHook(nullptr, nullptr);

    // Another medium in its place: a write is refused before anything is written.
    target.starts.clear();
    ASSERT_TRUE(WriteWholeFile(image, PatternImage() + PatternImage()));
    r = RunEngine(job, events);
    EXPECT_EQ(r.failure.op, kOpChanged);
    EXPECT_TRUE(target.starts.empty());

    // The data file's name comes back with its failure.
    job.write = 0;
    job.dataFile = 1;
    job.sourceFile = folder.File("missing") + TestFolder::Separator() + "data.bin";
    r = RunEngine(job, events);
    EXPECT_EQ(r.failure.op, kOpSinkOpen);
    EXPECT_EQ(r.failure.detail, job.sourceFile);
    EXPECT_TRUE(target.starts.empty());
}

#ifndef _WIN32
namespace {
// The output of a shell command, "" when it failed.
std::string Shell(const std::string& command)
{
    std::string out;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return out;
    char line[256];
    while (fgets(line, sizeof line, pipe))
        out += line;
    if (pclose(pipe) != 0)
        return "";
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}
} // namespace

TEST_F(BlockEngine, LoopDeviceTakesTheWritesAndGivesThemBack)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a loop device needs root";
    const std::string loop = Shell("losetup -f --show '" + image + "'");
    if (loop.empty())
        GTEST_SKIP() << "losetup refused to attach the image here";
    // Through the device, bypassing the cache, as a raw disk is used.
    C_ImageTarget device(loop, kBlock, kOpenNoBuffering);
    ASSERT_TRUE(device.Measure());
    std::string source(16 * kBlock, 0);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = char(i * 3 + 5);
    ASSERT_TRUE(WriteWholeFile(data, source));
    C_EngineJob job = BlockJob(device, kPatternLinear, 64, 128, 16);
    job.write = 1;
    job.dataFile = 1;
    job.sourceFile = data;
    const C_EngineResult written = RunEngine(job, events);
    job.write = 0;
    job.sourceFile = folder.File("back.bin");
    const C_EngineResult read = RunEngine(job, events);
    Shell("losetup -d " + loop);
    EXPECT_TRUE(written.complete);
    EXPECT_TRUE(read.complete);
    std::string expected = PatternImage();
    for (uint64_t start = 64; start < 128; start += 16)
        expected.replace(start * kBlock, 16 * kBlock, source);
    EXPECT_EQ(ReadWholeFile(image), expected);
    EXPECT_EQ(ReadWholeFile(job.sourceFile), expected.substr(64 * kBlock, 64 * kBlock));
}
#endif
