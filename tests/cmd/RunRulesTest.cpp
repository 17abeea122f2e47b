#include <gtest/gtest.h>
#include "cmd/RunRules.h"

TEST(RunRules, PlansTheDefaultsAndZeroes)
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

TEST(RunRules, RefusesValuesThatWouldWrap)
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

TEST(RunRules, LogFields)
{
    EXPECT_EQ(FormatLogResults("45.3 MByte/sec", 45, "[too fast]", 0),
              "\tread:\t45.3 MByte/sec\t45\twrite:\t[too fast]\t0\r\n");
}
