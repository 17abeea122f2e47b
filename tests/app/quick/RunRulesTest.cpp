#include <gtest/gtest.h>
#include "app/pages/quick/model/RunRules.h"

TEST(QuickRunRules, FileSizeFromComboText)
{
    EXPECT_EQ(QuickFileSizeBytes("10"), 10ull << 20);
    EXPECT_EQ(QuickFileSizeBytes("4000"), 4000ull << 20);
    EXPECT_EQ(QuickFileSizeBytes("  250"), 250ull << 20);
    EXPECT_EQ(QuickFileSizeBytes("+7"), 7ull << 20);
    // Digits are read up to the first other character, as a scanned number would be.
    EXPECT_EQ(QuickFileSizeBytes("100 MByte"), 100ull << 20);
    EXPECT_EQ(QuickFileSizeBytes("12x5"), 12ull << 20);
    // Nothing to test: the run ends without touching a drive.
    EXPECT_EQ(QuickFileSizeBytes("0"), 0u);
    EXPECT_EQ(QuickFileSizeBytes(""), 0u);
    EXPECT_EQ(QuickFileSizeBytes("abc"), 0u);
    EXPECT_EQ(QuickFileSizeBytes("-5"), 0u);
}

TEST(QuickRunRules, FileSizeNeverWraps)
{
    // The largest size whose byte count fits, and the first one that would wrap to a small file.
    EXPECT_EQ(QuickFileSizeBytes("17592186044415"), 17592186044415ull << 20);
    EXPECT_EQ(QuickFileSizeBytes("17592186044416"), 0u);
    EXPECT_EQ(QuickFileSizeBytes("18446744073709551616"), 0u);
    EXPECT_EQ(QuickFileSizeBytes("99999999999999999999999"), 0u);
}

TEST(QuickRunRules, ColoursAndLogPath)
{
    EXPECT_EQ(SequentialResultColour(""), (uint32_t)kColourGreen);
    EXPECT_EQ(SequentialResultColour("This is pretty slow for an USB2 device."), (uint32_t)kColourDarkRed);
    EXPECT_EQ(QuickLogPath("C:\\Users\\me\\Desktop"), "C:\\Users\\me\\Desktop\\Quellmor.txt");
    EXPECT_EQ(QuickLogPath("D:\\"), "D:\\Quellmor.txt");
}
