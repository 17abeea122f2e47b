#include <gtest/gtest.h>
#include "app/pages/common/model/DesktopLog.h"
#include "app/pages/quick/model/QuickRules.h"

TEST(QuickRules, FileSizeFromComboText)
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

TEST(QuickRules, FileSizeNeverWraps)
{
    // The largest size whose byte count fits, and the first one that would wrap to a small file.
    EXPECT_EQ(QuickFileSizeBytes("17592186044415"), 17592186044415ull << 20);
    EXPECT_EQ(QuickFileSizeBytes("17592186044416"), 0u);
    EXPECT_EQ(QuickFileSizeBytes("18446744073709551616"), 0u);
    EXPECT_EQ(QuickFileSizeBytes("99999999999999999999999"), 0u);
}

TEST(QuickRules, ColoursAndLogPath)
{
    EXPECT_EQ(SequentialResultColour(""), (uint32_t)kColourGreen);
    EXPECT_EQ(SequentialResultColour("This is pretty slow for an USB2 device."), (uint32_t)kColourDarkRed);
    EXPECT_EQ(DesktopLogPath("C:\\Users\\me\\Desktop"), "C:\\Users\\me\\Desktop\\Quellmor.txt");
    EXPECT_EQ(DesktopLogPath("D:\\"), "D:\\Quellmor.txt");
}

TEST(QuickRules, LatencyTipOfARandomResult)
{
    C_LatencyPercentiles l;
    EXPECT_EQ(FormatLatencyTip(l), ""); // nothing timed: no tooltip
    l.count = 300000;
    l.minimum = 41000;
    l.p50 = 188900;
    l.p90 = 911400;
    l.p99 = 4736000;
    l.p999 = 28377100;
    l.maximum = 1089076000;
    EXPECT_EQ(FormatLatencyTip(l),
              "Latency p50 0.19 ms, p90 0.91 ms, p99 4.74 ms, p99.9 28.38 ms, max 1089.08 ms");
}

TEST(QuickRules, RunPlanCopiesTheChoiceWhenTheRunStarts)
{
    std::vector<C_DriveEntry> entries(3);
    entries[0].letter = 'C';
    entries[1].letter = 'E';
    entries[1].driveText = "7.5 GB STICK";
    entries[1].vendorText = "SanDisk - Cruzer";
    entries[1].classBits = kClassUsb;
    entries[2].letter = 'F';
    C_QuickRunPlan plan = MakeQuickRunPlan("250", 1, 0, entries, {2, 7, -1, 1});
    EXPECT_EQ(plan.fileSize, 250ull << 20);
    EXPECT_EQ(plan.blockSize, 0x10000u);
    EXPECT_EQ(plan.skipRandom, 0);
    // In list order; indexes that name no entry are left out.
    ASSERT_EQ(plan.drives.size(), 2u);
    EXPECT_EQ(plan.drives[0].entry.letter, 'F');
    EXPECT_EQ(plan.drives[1].entry.letter, 'E');
    EXPECT_EQ(plan.drives[1].usbSpeedClass, -1);
    // A refresh after the start replaces the page's entries, never the run's.
    entries.clear();
    EXPECT_EQ(plan.drives[1].entry.driveText, "7.5 GB STICK");
    EXPECT_EQ(plan.drives[1].entry.vendorText, "SanDisk - Cruzer");
    EXPECT_EQ(plan.drives[1].entry.classBits, kClassUsb);

    plan = MakeQuickRunPlan("0", 0, 1, entries, {0});
    EXPECT_EQ(plan.fileSize, 0u); // nothing to run
    EXPECT_EQ(plan.blockSize, 0x100000u);
    EXPECT_EQ(plan.skipRandom, 1);
    EXPECT_TRUE(plan.drives.empty());
}
