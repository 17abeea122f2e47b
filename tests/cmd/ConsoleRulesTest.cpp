#include <gtest/gtest.h>
#include "cmd/ConsoleRules.h"
#include "core/engines/LatencyHistogram.h"
#include "core/report/Report.h"

TEST(ConsoleRules, PlansTheDefaultsAndZeroes)
{
    C_RunPlan p = PlanConsoleRun(1000, 1024);
    EXPECT_EQ(p.runTest, 1);
    EXPECT_EQ(p.fileSize, 1000ull * 1048576);
    EXPECT_EQ(p.blockSize, 1048576u);
    EXPECT_EQ(p.exitCode, kExitOk);
    for (auto sizes : {std::make_pair(0, 64), std::make_pair(10, 0)}) {
        C_RunPlan none = PlanConsoleRun(sizes.first, sizes.second);
        EXPECT_EQ(none.runTest, 0);
        EXPECT_EQ(none.exitCode, kExitOk);
        EXPECT_TRUE(none.error.empty());
    }
}

TEST(ConsoleRules, RefusesValuesThatWouldWrap)
{
    // 4 GiB blocks do not fit a 32-bit transfer count.
    C_RunPlan big = PlanConsoleRun(10, 4194304);
    EXPECT_EQ(big.runTest, 0);
    EXPECT_EQ(big.exitCode, kExitBadValue);
    EXPECT_EQ(big.error, "Invalid block size 4194304 kB (at most 4194303 kB).\n");
    C_RunPlan largest = PlanConsoleRun(10, 4194303);
    EXPECT_EQ(largest.runTest, 1);
    EXPECT_EQ(largest.blockSize, 4194303u * 1024);

    C_RunPlan overflow = PlanConsoleRun(17592186044416ll, 64); // 2^44 MiB = 2^64 bytes
    EXPECT_EQ(overflow.exitCode, kExitBadValue);
    EXPECT_EQ(overflow.error, "Invalid file size 17592186044416 MB.\n");
    EXPECT_EQ(PlanConsoleRun(17592186044415ll, 64).runTest, 1);
    EXPECT_EQ(PlanConsoleRun(-1, 64).exitCode, kExitBadValue);
    EXPECT_EQ(PlanConsoleRun(10, -64).exitCode, kExitBadValue);
}

TEST(ConsoleRules, LogFields)
{
    EXPECT_EQ(FormatLogResults("45.3 MByte/sec", 45, "[too fast]", 0),
              "\tread:\t45.3 MByte/sec\t45\twrite:\t[too fast]\t0\r\n");
}

TEST(ConsoleRules, ReportOptions)
{
    ConsoleReport report = kReportText;
    EXPECT_EQ(CheckReportOptions("", 1, &report), "");
    EXPECT_EQ(report, kReportText);
    EXPECT_EQ(CheckReportOptions("JSON", 3, &report), "");
    EXPECT_EQ(report, kReportJson);
    EXPECT_EQ(CheckReportOptions("csv", kMaxConsoleRuns, &report), "");
    EXPECT_EQ(report, kReportCsv);
    EXPECT_EQ(CheckReportOptions("xml", 1, &report), "Invalid output format xml (json or csv).\n");
    EXPECT_EQ(CheckReportOptions("json", 0, &report), "Invalid run count 0 (1 to 1000).\n");
    EXPECT_EQ(CheckReportOptions("", 1001, &report), "Invalid run count 1001 (1 to 1000).\n");
}

TEST(ConsoleRules, RandomAndSummaryLines)
{
    C_LatencyPercentiles p;
    p.count = 10;
    p.p50 = 312449;
    p.p90 = 401000;
    p.p99 = 890250;
    p.p999 = 1520000;
    p.maximum = 8012300;
    EXPECT_EQ(FormatRandomLine("random-read", 2999.46, p),
              "random-read: IOPS 2999.5 latency-us p50 312.4 p90 401.0 p99 890.2 p99.9 1520.0 max 8012.3\n");
    EXPECT_EQ(
        FormatRandomFailure("random-write", "write", 81920, 112, "There is not enough space on the disk."),
        "random-write: failed: write at byte 81920, error 112 - There is not enough space on the disk.\n");
    C_ReportFigure f;
    f.pass = "random-read";
    f.figure = "iops";
    f.runs = 3;
    f.median = 2999.46;
    f.best = 3001.2;
    f.spreadPercent = 0.44;
    EXPECT_EQ(FormatSummaryLine(f),
              "summary: random-read iops median 2999.5 best 3001.2 spread 0.4% of 3 runs\n");
}
