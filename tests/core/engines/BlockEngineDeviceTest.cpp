// The block engine over an emulated disk backed by an image file: what lands in the data
// file and on the image, where the accesses go, and what the page is told of its events.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "app/pages/block/model/BlockRules.h"
#include "core/ErrorCodes.h"
#include "core/System.h"
#include "core/engines/BlockEngine.h"
#include "devices/emulated/ImageDisk.h"
#include "tests/common/WholeFile.h"

namespace {

std::string TempPath(const char* name)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

uint8_t Pattern(uint64_t block, uint32_t offset) { return uint8_t(block * 13 + offset * 7 + 1); }

std::vector<uint8_t> PatternImage(uint32_t blocks)
{
    std::vector<uint8_t> image(size_t(blocks) * 512);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = Pattern(i / 512, uint32_t(i % 512));
    return image;
}

// What the page would have shown of the events, with the model's texts; optionally asks to
// stop after a number of polls.
class C_Recorder : public I_EngineEvents {
public:
    int IsStopRequested() override { return ++polls > stopAfter; }
    void Begin(uint64_t planned) override
    {
        loopMax = planned;
        if (!graph)
            return;
        scale = GraphScale(planned);
        graphPoints = int(planned / scale);
        if (job->values.calcEvery != 1)
            points.push_back({0, 0});
    }
    void Progress(uint64_t done) override { count = done; }
    void RatePoint(uint64_t accesses, uint64_t bytes, uint64_t microseconds) override
    {
        const uint32_t buffer = BufferBytes(job->values.blocks, job->blockSize);
        const C_BlockRatePoint p = BlockRatePoint(buffer, scale, accesses, bytes, microseconds);
        speeds.push_back(p.text);
        if (graph)
            points.push_back({p.x, p.megaBytesPerSecond});
    }
    void AccessData(const void* data, uint32_t bytes) override
    {
        crcs.push_back("");
        crcs.push_back(UdmaCrcText(data, bytes));
    }
    void Failure(const C_EngineFailure& f) override
    {
        reports.push_back(
            BlockFailureText(f, device, job->values.blocks, job->blockSize, ErrorText(f.error)));
    }

    const C_EngineJob* job = nullptr;
    std::string device;
    bool graph = false; // the page's graph of a linear run
    uint64_t scale = 1;
    int polls = 0;
    int stopAfter = 1 << 30;
    int graphPoints = -1;
    uint64_t count = 0, loopMax = 0;
    std::vector<std::string> speeds, crcs, reports;
    std::vector<std::pair<int, int>> points;
};

// How a run ended, as the page's end step reads it.
struct C_RunEnd {
    uint64_t accesses = 0;
    int lastFailed = 0; // the run ended on a failed access
    int failed = 0;     // any failure reported
};

// Counts every access and where it went, through the real image disk.
class C_WatchedDisk : public C_ImageDisk {
public:
    using C_ImageDisk::C_ImageDisk;
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override
    {
        accesses.push_back({block, count});
        return C_ImageDisk::ReadBlocks(block, count, buffer);
    }
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override
    {
        accesses.push_back({block, count});
        return C_ImageDisk::WriteBlocks(block, count, buffer);
    }
    // The volumes' hold, counted, and a volume that is in use when busy names it.
    int BeginWrites(std::string* busyVolume) override
    {
        ++begins;
        accessesAtBegin = accesses.size();
        if (busy.empty())
            return 1;
        *busyVolume = busy;
        return 0;
    }
    void EndWrites() override
    {
        ++ends;
        accessesAtEnd = accesses.size();
    }
    std::vector<std::pair<uint64_t, uint32_t>> accesses;
    std::string busy;
    int begins = 0, ends = 0;
    size_t accessesAtBegin = 0, accessesAtEnd = 0;
};

class BlockEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = TempPath("qm_block_engine.img");
        dataFile = TempPath("qm_block_engine_data.bin");
        original = PatternImage(kBlocks);
        ASSERT_TRUE(WriteFileBytes(image, original));
        DeleteFileA(dataFile.c_str());
        disk.reset(new C_WatchedDisk(image, 512, 0));
        ASSERT_TRUE(disk->QueryCapacity());
        ASSERT_EQ(disk->ullBlockCount, kBlocks);
        setup.kind = kEngineBlock;
        setup.target = disk.get();
        setup.blockSize = disk->dwBlockSize;
        setup.ratePoints = 1;
        setup.sourceFile = dataFile;
    }
    void TearDown() override
    {
        disk.reset();
        DeleteFileA(image.c_str());
        DeleteFileA(dataFile.c_str());
    }
    void Range(uint64_t start, uint64_t end, uint64_t blocks, uint64_t skip = 0, uint64_t repeats = 1,
               uint32_t calc = 1)
    {
        setup.values.start = start;
        setup.values.end = end;
        setup.values.blocks = blocks;
        setup.values.skip = skip;
        setup.values.repeats = repeats;
        setup.values.calcEvery = calc;
    }
    C_RunEnd Go()
    {
        channel.job = &setup;
        channel.device = disk->strName;
        channel.count = channel.loopMax = 0;
        const C_EngineResult result = RunBlockEngine(setup, channel);
        count = channel.count;
        loopMax = channel.loopMax;
        C_RunEnd r;
        r.accesses = result.accesses;
        r.lastFailed = result.failure.op == kOpRead || result.failure.op == kOpWrite;
        r.failed = result.failure.op != kOpNone;
        return r;
    }
    // The image is unchanged outside [first, end) blocks.
    void ExpectUntouchedOutside(uint64_t first, uint64_t end)
    {
        const std::vector<uint8_t> now = ReadFileBytes(image);
        ASSERT_EQ(now.size(), original.size());
        for (size_t i = 0; i < now.size(); ++i) {
            const uint64_t block = i / 512;
            if (block < first || block >= end) {
                ASSERT_EQ(now[i], original[i]) << "block " << block << " changed";
            }
        }
    }

    static constexpr uint32_t kBlocks = 256;
    std::string image, dataFile;
    std::vector<uint8_t> original;
    std::unique_ptr<C_WatchedDisk> disk;
    C_EngineJob setup;
    C_Recorder channel;
    uint64_t count = 0, loopMax = 0;
};

} // namespace

TEST_F(BlockEngine, LinearReadSavesTheRangeToTheDataFile)
{
    Range(10, 74, 16, 0, 1, 2);
    setup.dataFile = 1;
    setup.checkData = 1;
    channel.graph = true;
    const C_RunEnd r = Go();
    EXPECT_TRUE(channel.reports.empty()) << channel.reports[0];
    EXPECT_EQ(r.accesses, 4u);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(loopMax, 4u);
    const std::vector<uint8_t> data = ReadFileBytes(dataFile);
    ASSERT_EQ(data.size(), 64u * 512);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), original.begin() + 10 * 512));
    // Two timed groups of two accesses, each a graph point; the first point is (0, 0).
    EXPECT_EQ(channel.speeds.size(), 2u);
    // A group faster than the clock's millisecond says so instead of a rate.
    EXPECT_TRUE(channel.speeds[0].find("/sec - ") != std::string::npos || channel.speeds[0] == "[too fast]")
        << channel.speeds[0];
    EXPECT_EQ(channel.graphPoints, 4);
    ASSERT_EQ(channel.points.size(), 3u);
    EXPECT_EQ(channel.points[0], std::make_pair(0, 0));
    EXPECT_EQ(channel.points[1].first, 1);
    EXPECT_EQ(channel.points[2].first, 3);
    // The CRC of the last buffer, after its label was cleared.
    ASSERT_EQ(channel.crcs.size(), 8u);
    EXPECT_EQ(channel.crcs[6], "");
    EXPECT_EQ(channel.crcs[7].size(), 6u);
    EXPECT_EQ(channel.crcs[7].substr(0, 2), "0x");
}

TEST_F(BlockEngine, LinearWriteTakesThePatternFromTheDataFile)
{
    std::vector<uint8_t> block(8 * 512);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = uint8_t(0xA5 ^ i);
    block.resize(block.size() + 100, 0xEE); // longer than a buffer: only the first buffer counts
    ASSERT_TRUE(WriteFileBytes(dataFile, block));
    Range(100, 140, 8, 2);
    setup.write = 1;
    setup.dataFile = 1;
    const C_RunEnd r = Go();
    EXPECT_TRUE(channel.reports.empty()) << channel.reports[0];
    EXPECT_EQ(r.accesses, 4u); // 100, 110, 120, 130
    const std::vector<uint8_t> now = ReadFileBytes(image);
    for (uint64_t start : {100u, 110u, 120u, 130u})
        for (uint32_t i = 0; i < 8 * 512; ++i)
            ASSERT_EQ(now[start * 512 + i], uint8_t(0xA5 ^ i)) << start;
    // Skipped blocks and everything outside the range keep their data.
    for (uint64_t b : {108u, 109u, 118u, 138u, 139u, 140u, 99u})
        EXPECT_EQ(now[b * 512 + 3], original[b * 512 + 3]) << b;
    ExpectUntouchedOutside(100, 140);
}

TEST_F(BlockEngine, DataFileShorterThanABufferEndsTheWrite)
{
    ASSERT_TRUE(WriteFileBytes(dataFile, std::vector<uint8_t>(1000, 1)));
    Range(0, 64, 8);
    setup.write = 1;
    setup.dataFile = 1;
    Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0], "Can't read from file \xBB" + dataFile + "\xAB.");
    EXPECT_TRUE(disk->accesses.empty());
    ExpectUntouchedOutside(0, 0);

    DeleteFileA(dataFile.c_str());
    channel.reports.clear();
    Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0], "Can't open file \xBB" + dataFile + "\xAB for reading.");
}

TEST_F(BlockEngine, RandomAndSeekWritesStayInsideTheRange)
{
    // The range ends at the device's last block: an access past it would fail.
    setup.write = 1;
    for (BlockPattern pattern : {kPatternRandom, kPatternSeek}) {
        disk->accesses.clear();
        Range(200, kBlocks, 7, 0, 400);
        setup.pattern = pattern;
        const C_RunEnd r = Go();
        EXPECT_TRUE(channel.reports.empty()) << channel.reports[0];
        EXPECT_EQ(r.accesses, 400u);
        ASSERT_EQ(disk->accesses.size(), 400u);
        uint64_t highest = 0;
        for (const auto& a : disk->accesses) {
            EXPECT_GE(a.first, 200u);
            EXPECT_LE(a.first + a.second, uint64_t(kBlocks));
            highest = std::max(highest, a.first);
        }
        // A seek reaches the last access start; random ones spread over the range.
        if (pattern == kPatternSeek) {
            EXPECT_EQ(highest, kBlocks - 7u);
        } else {
            EXPECT_GT(highest, 240u);
        }
        ExpectUntouchedOutside(200, kBlocks);
    }
    // A range shorter than one access makes none.
    disk->accesses.clear();
    Range(250, kBlocks, 7, 0, 10);
    EXPECT_EQ(Go().accesses, 0u);
    EXPECT_TRUE(disk->accesses.empty());
    EXPECT_TRUE(channel.reports.empty());
}

TEST_F(BlockEngine, CrcBlocksBecomeZerosOtherFailuresEndTheRun)
{
    disk->faults.Inject(21, kErrorCrc);
    disk->faults.Inject(22, kErrorIoDevice);
    disk->faults.Inject(40, kErrorCrc);
    Range(16, 48, 8);
    setup.dataFile = 1;
    Go();
    EXPECT_TRUE(channel.reports.empty()) << channel.reports[0];
    const std::vector<uint8_t> data = ReadFileBytes(dataFile);
    ASSERT_EQ(data.size(), 32u * 512);
    for (uint64_t b = 16; b < 48; ++b) {
        const bool zero = b == 21 || b == 22 || b == 40;
        for (uint32_t i = 0; i < 512; ++i)
            ASSERT_EQ(data[(b - 16) * 512 + i], zero ? 0 : original[b * 512 + i]) << "block " << b;
    }

    // A device error on the whole range is no CRC error: the access fails.
    disk->faults.Clear();
    disk->faults.Inject(30, kErrorIoDevice);
    channel.reports.clear();
    C_RunEnd r = Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0].find("Can't access 8 blocks starting at 0x18. Win32Error: 1117 - "), 0u);
    EXPECT_TRUE(r.lastFailed);
    EXPECT_EQ(r.accesses, 1u);
    EXPECT_EQ(ReadFileBytes(dataFile).size(), 8u * 512); // the good access was kept

    // A CRC block whose own read fails otherwise fails the access.
    disk->faults.Clear();
    disk->faults.Inject(20, kErrorCrc);
    channel.reports.clear();
    Range(16, 24, 8);
    disk->faults.Inject(23, kErrorNotReady);
    // The whole range first meets block 20 (CRC), then block by block block 23 is not ready.
    r = Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0].find("Can't access 8 blocks starting at 0x10. Win32Error: 21 - "), 0u);
}

TEST_F(BlockEngine, InvalidParameterAddsTheHint)
{
    disk->faults.Inject(5, kErrorInvalidParameter);
    Range(0, 64, 8);
    Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    const std::string& m = channel.reports[0];
    EXPECT_EQ(m.find("Can't access 8 blocks starting at 0x0. Win32Error: 87 - "), 0u);
    EXPECT_EQ(m.substr(m.size() - 48), "\nTry to decrease the 'blocks per access' value.\n");
}

TEST_F(BlockEngine, BuffersThatCannotBeHadAreRefusedWithAMessage)
{
    // 2^23 + 1 blocks of 512 bytes: the 32-bit product would be 512.
    Range(0, kBlocks, 8388609);
    setup.values.end = kBlocks;
    C_RunEnd r = Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_NE(channel.reports[0].find("4 GByte"), std::string::npos);
    EXPECT_TRUE(disk->accesses.empty());
    EXPECT_TRUE(r.failed);
}

TEST_F(BlockEngine, ABufferTheProcessCannotGetIsRefusedWithAMessage)
{
    // Just below 4 GiB: no 32-bit process gets that much memory, and the user is told. A
    // 64-bit process on a big machine may well get it.
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "only a 32-bit process is sure to be refused 4 GiB";
    Range(0, kBlocks, 8388600);
    const C_RunEnd r = Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0].find("Can't allocate the buffer of 4294963200 bytes"), 0u);
    EXPECT_TRUE(disk->accesses.empty());
    EXPECT_TRUE(r.failed);
}

TEST_F(BlockEngine, StopEndsTheRunBeforeTheNextAccess)
{
    Range(0, kBlocks, 1);
    channel.stopAfter = 5;
    const C_RunEnd r = Go();
    EXPECT_EQ(r.accesses, 5u);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(loopMax, uint64_t(kBlocks));
    EXPECT_EQ(disk->accesses.size(), 5u);
    EXPECT_FALSE(r.lastFailed);
}

TEST_F(BlockEngine, ReadOnlyDataFileFolderIsReported)
{
    setup.dataFile = 1;
    setup.sourceFile = TempPath("no such folder\\data.bin");
    Range(0, 64, 8);
    Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0], "Can't open file \xBB" + setup.sourceFile + "\xAB for writing.");
    EXPECT_TRUE(disk->accesses.empty());
}

TEST_F(BlockEngine, AWriteGoesOnlyToTheDeviceTheListSaw)
{
    Range(0, 64, 8);
    setup.write = 1;
    // Another medium took the place of the one the list saw: other size, same path.
    const std::vector<uint8_t> other = PatternImage(kBlocks * 2);
    ASSERT_TRUE(WriteFileBytes(image, other));
    C_RunEnd r = Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0], DeviceChangedText(disk->strName));
    EXPECT_TRUE(disk->accesses.empty());
    EXPECT_EQ(disk->begins, 0);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(ReadFileBytes(image), other);

    // A device that cannot be asked is not written either.
    DeleteFileA(image.c_str());
    channel.reports.clear();
    r = Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0], DeviceChangedText(disk->strName));
    EXPECT_TRUE(disk->accesses.empty());

    // Reads need no such care: the list's record reads whatever is there.
    ASSERT_TRUE(WriteFileBytes(image, original));
    channel.reports.clear();
    setup.write = 0;
    r = Go();
    EXPECT_TRUE(channel.reports.empty());
    EXPECT_EQ(r.accesses, 8u);
}

TEST_F(BlockEngine, VolumesAreTakenOnceBeforeTheWritesAndGivenBackAfterThem)
{
    // A seek run visits block 0 at every second access: the volumes are still taken once.
    Range(0, 64, 8, 0, 10);
    setup.pattern = kPatternSeek;
    setup.write = 1;
    const uint32_t opensBefore = disk->opens;
    C_RunEnd r = Go();
    EXPECT_TRUE(channel.reports.empty()) << channel.reports[0];
    EXPECT_EQ(r.accesses, 10u);
    EXPECT_EQ(disk->begins, 1);
    EXPECT_EQ(disk->accessesAtBegin, 0u);
    EXPECT_EQ(disk->ends, 1);
    EXPECT_EQ(disk->accessesAtEnd, 10u);
    // The hold lasts while the device is open for the run.
    EXPECT_EQ(disk->opens, opensBefore + 1);

    // A volume in use: nothing written, and the user learns which one.
    disk->accesses.clear();
    disk->begins = disk->ends = 0;
    disk->busy = "E:";
    const std::vector<uint8_t> written = ReadFileBytes(image);
    r = Go();
    ASSERT_EQ(channel.reports.size(), 1u);
    EXPECT_EQ(channel.reports[0], VolumeInUseText("E:", disk->strName));
    EXPECT_TRUE(disk->accesses.empty());
    EXPECT_EQ(disk->ends, 0);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(ReadFileBytes(image), written);

    // Reads leave the volumes alone.
    disk->busy.clear();
    disk->begins = 0;
    channel.reports.clear();
    setup.write = 0;
    Go();
    EXPECT_TRUE(channel.reports.empty());
    EXPECT_EQ(disk->begins, 0);
}

TEST_F(BlockEngine, ABlockWhoseByteOffsetWrapsIsNeverSent)
{
    // A bridge that claims 2^56 blocks: block 2^55 lies at byte 2^64, which wraps to 0.
    disk->ullBlockCount = 1ull << 56;
    Range(1ull << 55, (1ull << 55) + 8, 8);
    for (int write : {1, 0}) {
        setup.write = write;
        channel.reports.clear();
        const C_RunEnd r = Go();
        ASSERT_EQ(channel.reports.size(), 1u);
        EXPECT_EQ(channel.reports[0], UnaddressableRangeText((1ull << 55) + 8, 512));
        EXPECT_TRUE(disk->accesses.empty());
        EXPECT_TRUE(r.failed);
    }
    ExpectUntouchedOutside(0, 0);
}
