#include <gtest/gtest.h>
#include "app/pages/file/model/FileRules.h"

TEST(FileRules, RequestsNeverTransferAPartialBlock)
{
    const uint64_t mib100 = 100ull << 20;
    EXPECT_EQ(RequestCount(mib100, 65536), 1600u);
    EXPECT_EQ(RequestCount(mib100 + 1000, 65536), 1600u);
    // A file below one block still makes one request (the pre-read pass cut below a block).
    EXPECT_EQ(RequestCount(1000, 65536), 1u);

    // The loop's own end test gives the same count.
    for (uint64_t size : {mib100, mib100 + 1000, mib100 + 65535, mib100 + 65536}) {
        uint64_t position = 0, requests = 0;
        do {
            position += 65536;
            ++requests;
        } while (!PassComplete(position, 65536, size));
        EXPECT_EQ(requests, RequestCount(size, 65536)) << size;
        EXPECT_LE(position, size);
    }
}

TEST(FileRules, WriteTargetsAlwaysStartWithAnUnderscore)
{
    C_WriteTarget t = WriteTargetFor("D:\\data", true);
    EXPECT_FALSE(t.ask);
    EXPECT_EQ(t.path, "D:\\data\\_TestFile");
    t = WriteTargetFor("D:\\data\\", true);
    EXPECT_EQ(t.path, "D:\\data\\_TestFile");
    t = WriteTargetFor("E:\\", false); // a root is a path with an empty name
    EXPECT_EQ(t.path, "E:\\_TestFile");

    t = WriteTargetFor("D:\\data\\test.bin", false);
    EXPECT_TRUE(t.ask);
    EXPECT_EQ(t.oldName, "test.bin");
    EXPECT_EQ(t.path, "D:\\data\\_test.bin");
    t = WriteTargetFor("C:\\a.bin", false);
    EXPECT_EQ(t.path, "C:\\_a.bin");
    t = WriteTargetFor("test.bin", false);
    EXPECT_EQ(t.path, "_test.bin");

    t = WriteTargetFor("D:\\data\\_mine.dat", false);
    EXPECT_FALSE(t.ask);
    EXPECT_EQ(t.path, "D:\\data\\_mine.dat");
}

TEST(FileRules, BlockSizeProposalIsTheNextSectorMultiple)
{
    EXPECT_EQ(ProposeBlockSize(1000, 512), 1024u);
    EXPECT_EQ(ProposeBlockSize(1024, 512), 1024u);
    EXPECT_EQ(ProposeBlockSize(65536, 2048), 65536u);
    EXPECT_EQ(ProposeBlockSize(2049, 2048), 4096u);
    EXPECT_EQ(ProposeBlockSize(1, 4096), 4096u);
    // Near the top of 32 bits the proposal must not wrap to a tiny block.
    EXPECT_EQ(ProposeBlockSize(0xFFFFFF01u, 512), 0xFFFFFE00u);
    EXPECT_EQ(MsgBlockNotSectorMultiple(1000, 512, 1024),
              "The block size 1000 must be a multiple of the sector size of 512 bytes.\n\n"
              "Should the block size set to 1024?\n\n");
}

TEST(FileRules, MediumClassFollowsTheOpticalTotal)
{
    EXPECT_EQ(MediumFromTotalBytes(760ull << 20, true), kMediumDvd);
    EXPECT_EQ(MediumFromTotalBytes((760ull << 20) - 1, true), kMediumCd);
    EXPECT_EQ(MediumFromTotalBytes(759ull << 20, true), kMediumCd);
    EXPECT_EQ(MediumFromTotalBytes(4700ull << 20, false), kMediumNone);
    EXPECT_EQ(VolumeRootOf("d:\\data\\x.bin"), "d:\\");
    EXPECT_EQ(VolumeRootOf("\\\\server\\share\\"), "\\\\server\\share\\");
}

TEST(FileRules, ResultTextsCarryTheSpeedSuffix)
{
    // 100 MiB in 10 s: 10 MiB/s = 10240 KiB/s, 7.6x DVD, 68.3x CD.
    const uint64_t bytes = 100ull << 20;
    EXPECT_EQ(FormatFileResult(bytes, 10000000, kMediumNone), "10.0 MByte/sec");
    EXPECT_EQ(FormatFileResult(bytes, 10000000, kMediumDvd), "10.0 MByte/sec - 7.6x dvd");
    EXPECT_EQ(FormatFileResult(bytes, 10000000, kMediumCd), "10.0 MByte/sec - 68.3x cd-rom");
    EXPECT_EQ(FormatFileResult(bytes, 0, kMediumDvd), "[too fast]");
    EXPECT_EQ(FormatFileResult(bytes, 10, kMediumNone), "[too fast]");
    EXPECT_EQ(FormatFileResult(123456789, 1000000, kMediumNone), "117.7 MByte/sec");
    // The rate comes from the bytes moved: the tail below one block that is never read
    // does not count (two blocks of 1 MiB out of 2.5 MiB, in 500 ms; 5.0 from the size).
    const uint64_t moved = RequestCount((5ull << 20) / 2, 1048576) * 1048576;
    EXPECT_EQ(FormatFileResult(moved, 500000, kMediumNone), "4.0 MByte/sec");
}

TEST(FileRules, FieldsAndListTexts)
{
    uint64_t v = 7;
    EXPECT_TRUE(ParseDecimal("  250", &v));
    EXPECT_EQ(v, 250u);
    EXPECT_FALSE(ParseDecimal("abc", &v));
    EXPECT_FALSE(ParseDecimal("", &v));
    EXPECT_TRUE(ParseDecimal("99999999999999999999999", &v));
    EXPECT_EQ(v, UINT64_MAX);
    EXPECT_EQ(MiBFieldBytes("100"), 100ull << 20);
    EXPECT_EQ(MiBFieldBytes("x"), 0u);
    EXPECT_EQ(MiBFieldBytes("99999999999999"), UINT64_MAX);

    EXPECT_EQ(ListTextOfFile("_test.bin"), "_test");
    EXPECT_EQ(ListTextOfFile("_TestFile"), "_TestFile");
    EXPECT_EQ(ListTextOfFile("_a.jpeg"), "_a.jpeg");
    EXPECT_EQ(ListTextOfFile("_a.c"), "_a");
}

TEST(FileRules, MessageTexts)
{
    EXPECT_EQ(MsgRenameForWrite("test.bin"),
              "Only filenames which are starting with an underline are valid on write testes.\n\n"
              "Should the filename be changed to \xBB_test.bin\xAB?\n");
    EXPECT_EQ(MsgRenameForWrite(std::string(300, 'n')).size(),
              MsgRenameForWrite("").size() + 100); // the name is cut at 100 characters
    EXPECT_EQ(MsgFreeSpaceTooSmall(50ull << 20, 100ull << 20),
              "DiskSpace 50 MB is smaller than your Testfile 100 MB.\n\nDo you really want start the test?");
    EXPECT_EQ(MsgSmallFile(3000),
              "Your file is only 2.9 kByte large.\n\nSince this is pretty small, the results "
              "may not be representative.\n\nDo you really wanna continue?");
    EXPECT_EQ(MsgMissingFileTitle("C:\\x.bin"), "The test file \xBB"
                                                "C:\\x.bin\xAB doesn't exist.");
    const std::string longPath = "C:\\" + std::string(300, 'p');
    const std::string tooLong = MsgPathTooLong(longPath);
    EXPECT_NE(tooLong.find("303 characters"), std::string::npos) << tooLong;
    EXPECT_NE(tooLong.find("259"), std::string::npos) << tooLong;
    EXPECT_LT(tooLong.size(), 300u);
}
