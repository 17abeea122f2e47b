#include <gtest/gtest.h>
#include <set>
#include <vector>
#include "app/pages/block/model/BlockRules.h"
#include "app/settings/Flags.h"

namespace {
C_BlockFields Fields(const char* start, const char* end, const char* blocks, const char* skip = "0",
                     const char* repeats = "1", const char* calc = "1")
{
    C_BlockFields f;
    f.start = start;
    f.end = end;
    f.blocks = blocks;
    f.skip = skip;
    f.repeats = repeats;
    f.calcEvery = calc;
    return f;
}

C_BlockValues Checked(const C_BlockFields& f, uint64_t first, uint64_t count, C_BlockRewrites* rw = nullptr)
{
    C_BlockValues v;
    C_BlockRewrites unused;
    CheckBlockValues(f, first, count, &v, rw ? rw : &unused);
    return v;
}

// Every block an access of a run touches, walking the run as the worker does.
std::vector<uint64_t> Starts(BlockPattern pattern, const C_BlockValues& v, std::vector<uint32_t> randoms = {})
{
    std::vector<uint64_t> starts;
    uint64_t position = v.start;
    const uint64_t loops = BlockLoopCount(pattern, v);
    for (uint64_t i = 0; i < loops; ++i) {
        starts.push_back(position);
        position = NextBlockPosition(pattern, v, position, randoms.empty() ? 0 : randoms[i % randoms.size()]);
    }
    return starts;
}
} // namespace

TEST(BlockRules, NumbersReadAsScanned)
{
    uint64_t v = 7;
    EXPECT_TRUE(ParseBlockNumber("  42abc", &v));
    EXPECT_EQ(v, 42u);
    EXPECT_TRUE(ParseBlockNumber("+5", &v));
    EXPECT_EQ(v, 5u);
    EXPECT_TRUE(ParseBlockNumber("18446744073709551615", &v));
    EXPECT_EQ(v, UINT64_MAX);
    EXPECT_TRUE(ParseBlockNumber("99999999999999999999999", &v));
    EXPECT_EQ(v, UINT64_MAX);
    v = 9;
    EXPECT_FALSE(ParseBlockNumber("", &v));
    EXPECT_FALSE(ParseBlockNumber("x1", &v));
    EXPECT_FALSE(ParseBlockNumber("-3", &v));
    EXPECT_EQ(v, 9u); // left alone
}

TEST(BlockRules, RangeIsClampedToTheDevice)
{
    // An end below the start becomes start + 1.
    C_BlockValues v = Checked(Fields("50", "10", "4"), 0, 1000);
    EXPECT_EQ(v.start, 50u);
    EXPECT_EQ(v.end, 51u);
    // An end beyond the device becomes its block count.
    v = Checked(Fields("10", "5000", "4"), 0, 1000);
    EXPECT_EQ(v.end, 1000u);
    // A start at or above the count gives an empty range: no linear access.
    v = Checked(Fields("1000", "2000", "4"), 0, 1000);
    EXPECT_EQ(v.start, 1000u);
    EXPECT_EQ(v.end, 1000u);
    EXPECT_EQ(BlockLoopCount(kPatternLinear, v), 0u);
    v = Checked(Fields("5000", "0", "4"), 0, 1000);
    EXPECT_EQ(v.start, 1000u);
    EXPECT_EQ(v.end, 1000u);
    // The first block of the device is the lowest start (a CD's block 16).
    v = Checked(Fields("0", "0", "4"), 16, 1000);
    EXPECT_EQ(v.start, 16u);
    EXPECT_EQ(v.end, 17u);
    // The largest start does not wrap the end.
    v = Checked(Fields("18446744073709551615", "0", "1"), 0, UINT64_MAX);
    EXPECT_EQ(v.start, UINT64_MAX);
    EXPECT_EQ(v.end, UINT64_MAX);
}

TEST(BlockRules, ZeroAndUnreadableFields)
{
    C_BlockRewrites rw;
    C_BlockValues v = Checked(Fields("0", "100", "0", "0", "1", "0"), 0, 1000, &rw);
    EXPECT_EQ(v.blocks, 1u);
    EXPECT_EQ(v.calcEvery, 1u);
    EXPECT_TRUE(rw.blocks);
    EXPECT_TRUE(rw.calcEvery);
    v = Checked(Fields("0", "100", "", "0", "1", "3"), 0, 1000, &rw);
    EXPECT_EQ(v.blocks, 1u);
    EXPECT_TRUE(rw.blocks);
    EXPECT_FALSE(rw.calcEvery);
    // Other fields that do not parse keep the previous check's values.
    C_BlockValues previous;
    previous.start = 7;
    previous.end = 90;
    previous.skip = 3;
    previous.repeats = 12;
    previous.calcEvery = 5;
    CheckBlockValues(Fields("x", "", "8", "?", "", "zz"), 0, 1000, &previous, &rw);
    EXPECT_EQ(previous.start, 7u);
    EXPECT_EQ(previous.end, 90u);
    EXPECT_EQ(previous.skip, 3u);
    EXPECT_EQ(previous.repeats, 12u);
    EXPECT_EQ(previous.calcEvery, 5u);
    EXPECT_EQ(previous.blocks, 8u);
    EXPECT_FALSE(rw.blocks);
}

TEST(BlockRules, BufferSizeTexts)
{
    EXPECT_EQ(BufferSizeText(1), "1 Byte ");
    EXPECT_EQ(BufferSizeText(0), "0 Bytes");
    EXPECT_EQ(BufferSizeText(10239), "10239 Bytes");
    EXPECT_EQ(BufferSizeText(10240), "10 kBytes");
    EXPECT_EQ(BufferSizeText(10239ull * 1024 + 1023), "10239 kBytes");
    EXPECT_EQ(BufferSizeText(10240ull * 1024), "10 MBytes");
    EXPECT_EQ(BufferSizeText(10ull * 1048576), "10 MBytes");
    EXPECT_EQ(BufferSizeText(1000ull * 512), "500 kBytes");
    EXPECT_EQ(BufferSizeText(8ull << 30), "8192 MBytes");
}

TEST(BlockRules, BufferOfFourGigabytesIsRefused)
{
    EXPECT_EQ(BufferBytes(1000, 512), 512000u);
    EXPECT_EQ(BufferBytes(8388607, 512), 0xFFFFFE00u);
    // 2^23 blocks of 512 bytes are exactly 4 GiB: the 32-bit product would be 0.
    EXPECT_EQ(BufferBytes(8388608, 512), 0u);
    EXPECT_EQ(BufferBytes(8388609, 512), 0u); // would wrap to 512 bytes
    EXPECT_EQ(BufferBytes(1ull << 32, 1), 0u);
    EXPECT_EQ(BufferBytes(UINT64_MAX, 2048), 0u);
    EXPECT_EQ(BufferBytes(5, 0), 0u);
    EXPECT_NE(BufferTooBigText(8388609, 512).find("8388609 blocks of 512 bytes"), std::string::npos);
    EXPECT_NE(BufferAllocationText(536870912).find("536870912 bytes"), std::string::npos);
}

TEST(BlockRules, LinearRunsStrideThroughTheRange)
{
    // Blocks 0-3 and 5-8; an end of 10 gives the same two.
    C_BlockValues v = Checked(Fields("0", "11", "4", "1"), 0, 1000);
    EXPECT_EQ(Starts(kPatternLinear, v), (std::vector<uint64_t>{0, 5}));
    v = Checked(Fields("0", "10", "4", "1"), 0, 1000);
    EXPECT_EQ(Starts(kPatternLinear, v), (std::vector<uint64_t>{0, 5}));
    v = Checked(Fields("100", "164", "16"), 0, 1000);
    EXPECT_EQ(Starts(kPatternLinear, v), (std::vector<uint64_t>{100, 116, 132, 148}));
    v = Checked(Fields("0", "3", "4"), 0, 1000);
    EXPECT_EQ(BlockLoopCount(kPatternLinear, v), 0u);
    // A stride that wraps 64 bits fits nothing.
    v.start = 0;
    v.end = 100;
    v.blocks = 4;
    v.skip = UINT64_MAX - 1;
    EXPECT_EQ(BlockLoopCount(kPatternLinear, v), 0u);
}

TEST(BlockRules, RandomAndSeekStayInsideTheRange)
{
    C_BlockValues v = Checked(Fields("100", "200", "8", "0", "50"), 0, 1000);
    EXPECT_EQ(LastAccessStart(v), 192u);
    EXPECT_EQ(RandomBlockPosition(v, 0), 100u);
    EXPECT_EQ(RandomBlockPosition(v, 0x7FFF), 192u);
    EXPECT_EQ(RandomBlockPosition(v, 0x4000), 146u);
    std::vector<uint32_t> randoms;
    for (uint32_t r = 0; r <= 0x7FFF; r += 97)
        randoms.push_back(r);
    randoms.push_back(0x7FFF);
    std::set<uint64_t> seen;
    for (uint64_t s : Starts(kPatternRandom, v, randoms)) {
        EXPECT_GE(s, v.start);
        EXPECT_LE(s + v.blocks, v.end);
        seen.insert(s);
    }
    EXPECT_EQ(BlockLoopCount(kPatternRandom, v), 50u);

    // Seek: the first access at the start, then the two ends alternate; the far end is
    // the last access start, never the end itself.
    std::vector<uint64_t> seek = Starts(kPatternSeek, v);
    ASSERT_EQ(seek.size(), 50u);
    for (size_t i = 0; i < seek.size(); ++i)
        EXPECT_EQ(seek[i], i % 2 ? 192u : 100u) << i;

    // A range of exactly one access: every access is that one.
    v = Checked(Fields("10", "18", "8", "0", "4"), 0, 1000);
    EXPECT_EQ(Starts(kPatternSeek, v), (std::vector<uint64_t>{10, 10, 10, 10}));
    EXPECT_EQ(Starts(kPatternRandom, v, {0x7FFF, 0, 0x1234}), (std::vector<uint64_t>{10, 10, 10, 10}));
    // Shorter than one access, or no repeats: no access at all.
    v = Checked(Fields("10", "17", "8", "0", "4"), 0, 1000);
    EXPECT_EQ(BlockLoopCount(kPatternRandom, v), 0u);
    EXPECT_EQ(BlockLoopCount(kPatternSeek, v), 0u);
    v = Checked(Fields("0", "1000", "8", "0", "0"), 0, 1000);
    EXPECT_EQ(BlockLoopCount(kPatternRandom, v), 0u);

    // The ends of a range as wide as 64 bits: no product overflows.
    C_BlockValues wide;
    wide.start = 0;
    wide.end = UINT64_MAX;
    wide.blocks = 1;
    EXPECT_EQ(RandomBlockPosition(wide, 0x7FFF), UINT64_MAX - 1);
    EXPECT_EQ(RandomBlockPosition(wide, 0), 0u);
    EXPECT_LT(RandomBlockPosition(wide, 0x3FFF), UINT64_MAX / 2);
    EXPECT_GT(RandomBlockPosition(wide, 0x3FFF), UINT64_MAX / 2 - UINT64_MAX / 0x7FFF);
}

TEST(BlockRules, GraphScaleKeepsAboutFiveThousandPoints)
{
    EXPECT_EQ(GraphScale(0), 1u);
    EXPECT_EQ(GraphScale(5000), 1u);
    EXPECT_EQ(GraphScale(5001), 1u);
    EXPECT_EQ(GraphScale(10000), 2u);
    EXPECT_EQ(GraphScale(1000000), 200u);
    EXPECT_EQ(1000000 / GraphScale(1000000), 5000u);
}

TEST(BlockRules, GroupRateAndItsText)
{
    C_GroupRate r = GroupRate(1048576, 4, 2000000); // 4 MiB in 2 s
    EXPECT_FLOAT_EQ(r.kiloBytesPerSecond, 2048.0f);
    EXPECT_FLOAT_EQ(r.megaBytesPerSecond, 2.0f);
    EXPECT_EQ(r.text, "2048.0 kByte/sec - 2000 msec");
    r = GroupRate(512, 1, 0);
    EXPECT_EQ(r.text, "[too fast]");
    EXPECT_EQ(r.megaBytesPerSecond, 0.0f);
    r = GroupRate(65536, 1, 1000); // 64 KiB in 1 ms
    EXPECT_FLOAT_EQ(r.megaBytesPerSecond, 62.5f);
    EXPECT_EQ(r.text, "62.5 MByte/sec - 1 msec");
    r = GroupRate(4096, 1, 3999); // milliseconds are whole
    EXPECT_EQ(r.text.substr(r.text.size() - 7), " 3 msec");
}

TEST(BlockRules, RatePointsOfTheEngineAsThePageShowsThem)
{
    // A group of four 1 MiB accesses in 2 s that ended after access 8 of a run drawn at one
    // point per three accesses: the label as for the group, the point where access 8 began.
    C_BlockRatePoint p = BlockRatePoint(1048576, 3, 8, 4u << 20, 2000000);
    EXPECT_EQ(p.text, "2048.0 kByte/sec - 2000 msec");
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.megaBytesPerSecond, 2);
    p = BlockRatePoint(65536, 1, 1, 65536, 1000);
    EXPECT_EQ(p.text, "62.5 MByte/sec - 1 msec");
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.megaBytesPerSecond, 62);
}

TEST(BlockRules, MessageTexts)
{
    EXPECT_EQ(NoCapabilityText("\\\\.\\X:", 1), "The device \xBB\\\\.\\X:\xAB doesn't support 'write'");
    EXPECT_EQ(NoCapabilityText("cd", 0), "The device \xBB"
                                         "cd\xAB doesn't support 'read'");
    EXPECT_EQ(
        AccessFailedText(64, 0x1F0, 23, "Data error (cyclic redundancy check)."),
        "Can't access 64 blocks starting at 0x1F0. Win32Error: 23 - Data error (cyclic redundancy check).");
    EXPECT_EQ(AccessFailedText(4096, 0, 87, "The parameter is incorrect."),
              "Can't access 4096 blocks starting at 0x0. Win32Error: 87 - The parameter is incorrect."
              "\nTry to decrease the 'blocks per access' value.\n");
    EXPECT_EQ(OpenDataFileText("_data.bin", 1), "Can't open file \xBB_data.bin\xAB for writing.");
    EXPECT_EQ(OpenDataFileText("_data.bin", 0), "Can't open file \xBB_data.bin\xAB for reading.");
    EXPECT_EQ(ReadDataFileText("p.bin"), "Can't read from file \xBBp.bin\xAB.");
    EXPECT_EQ(WriteDataFileText("p.bin"), "Can't write to file \xBBp.bin\xAB.");
    EXPECT_EQ(WriteConfirmationName("ATA", "DISK", "1.0", "S1", "\\\\.\\PhysicalDrive1", ""),
              "ATA DISK 1.0 S1 \\\\.\\PhysicalDrive1 ");
    const std::string q = WriteQuestionText("\\\\.\\X:", "");
    EXPECT_EQ(q.find("Are you sure that you wanna write to device \xBB\\\\.\\X:\xAB?\n\nThis will destroy"),
              0u);
    EXPECT_NE(q.find("press YES, you will never asked again on this device."), std::string::npos);
    // The device as a person knows it, in a paragraph of its own before the warning.
    EXPECT_EQ(
        WriteQuestionText("\\\\.\\PhysicalDrive2", "ACME STICK 1.00, 7.5 GByte, drive letter E")
            .find("device \xBB\\\\.\\PhysicalDrive2\xAB?\n\nACME STICK 1.00, 7.5 GByte, drive letter E\n\n"
                  "This will destroy"),
        37u);
    EXPECT_EQ(DeviceChangedText("\\\\.\\PhysicalDrive1"),
              "The device \xBB\\\\.\\PhysicalDrive1\xAB has changed since the list was made. Press F5 to "
              "refresh the list.");
    EXPECT_EQ(VolumeInUseText("E:", "\\\\.\\PhysicalDrive1")
                  .find("The volume \xBB"
                        "E:\xAB on the device \xBB\\\\.\\PhysicalDrive1\xAB "
                        "is in use"),
              0u);
    EXPECT_EQ(SystemDeviceText("\\\\.\\C:", 'C'),
              "The device \xBB\\\\.\\C:\xAB holds Windows (drive C:).\n\nIt is never written to.");
}

TEST(BlockRules, RangesWhoseByteOffsetsWrapAreRefused)
{
    C_BlockValues v;
    v.start = 0;
    v.end = 1ull << 55; // 2^55 blocks of 512 bytes end exactly at 2^64
    v.blocks = 1;
    EXPECT_FALSE(RangeAddressable(v, 512));
    v.end = (1ull << 55) - 1;
    EXPECT_TRUE(RangeAddressable(v, 512));
    EXPECT_FALSE(RangeAddressable(v, 1024));
    // A range shorter than one access still reaches start plus one access.
    v.start = v.end = (1ull << 54);
    v.blocks = 1ull << 54;
    EXPECT_FALSE(RangeAddressable(v, 512));
    v.blocks = ~0ull;
    EXPECT_FALSE(RangeAddressable(v, 1));
    v.start = 0;
    v.end = 1000;
    v.blocks = 64;
    EXPECT_TRUE(RangeAddressable(v, 2048));
}

TEST(BlockRules, RunBitsCarryTheChosenKindToTheWorker)
{
    const struct {
        uint32_t kind, run;
        BlockPattern pattern;
    } rows[] = {{kFlagKindLinear, kFlagRunLinear, kPatternLinear},
                {kFlagKindRandom, kFlagRunRandom, kPatternRandom},
                {kFlagKindSeek, kFlagRunSeek, kPatternSeek}};
    for (const auto& row : rows) {
        EXPECT_EQ(RunFlagOfKind(row.kind), row.run);
        EXPECT_NE(row.run & kFlagRunMask, 0u);
        // The direction and the stored kind bits beside the run bit do not change the pattern.
        EXPECT_EQ(PatternOfRunFlags(row.run | kFlagRunWrites | kFlagKindLinear), row.pattern);
        EXPECT_EQ(PatternOfRunFlags(row.run | kFlagRunReads | kFlagKindSeek), row.pattern);
    }
    EXPECT_EQ(PatternOfRunFlags(kFlagRunReads), kPatternSeek);
}

TEST(BlockRules, EachFailureOfARunGetsItsOwnText)
{
    const std::string disk = "\\\\.\\PhysicalDrive1";
    const struct {
        EngineOp op;
        uint64_t position;
        uint32_t error;
        const char* detail;
        std::string text;
    } rows[] = {
        {kOpBufferSize, 0, 0, "", BufferTooBigText(16, 512)},
        {kOpRange, 0x80000000000008ull, 0, "", UnaddressableRangeText(0x80000000000008ull, 512)},
        {kOpChanged, 0, 0, "", DeviceChangedText(disk)},
        {kOpAllocate, 0, 8, "", BufferAllocationText(8192)},
        {kOpSinkOpen, 0, 3, "p.bin", "Can't open file \xBBp.bin\xAB for writing."},
        {kOpSourceOpen, 0, 2, "p.bin", "Can't open file \xBBp.bin\xAB for reading."},
        {kOpSourceRead, 0, 38, "p.bin", "Can't read from file \xBBp.bin\xAB."},
        {kOpSinkWrite, 0x30, 112, "p.bin", "Can't write to file \xBBp.bin\xAB."},
        {kOpVolumeInUse, 0, 5, "E:", VolumeInUseText("E:", disk)},
        {kOpRead, 0x1F0, 23, "", "Can't access 16 blocks starting at 0x1F0. Win32Error: 23 - CRC."},
        {kOpWrite, 0x20, 87, "",
         "Can't access 16 blocks starting at 0x20. Win32Error: 87 - CRC."
         "\nTry to decrease the 'blocks per access' value.\n"},
        {kOpNone, 0, 0, "", ""},
    };
    for (const auto& row : rows) {
        C_EngineFailure f;
        f.op = row.op;
        f.position = row.position;
        f.error = row.error;
        f.detail = row.detail;
        EXPECT_EQ(BlockFailureText(f, disk, 16, 512, "CRC."), row.text) << row.op;
    }
    // The CRC label: four upper-case hex digits, a lone trailing byte in no word.
    EXPECT_EQ(UdmaCrcText("\x01", 1), "0x4ABA");
}
