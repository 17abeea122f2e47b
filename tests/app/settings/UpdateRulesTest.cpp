#include <gtest/gtest.h>
#include "app/settings/UpdateRules.h"

namespace {

TEST(UpdateDecision, WeeklyRuleAndNever)
{
    const uint32_t now = 1800000000;
    UpdateDecision never = DecideUpdateCheck(0xFFFFFFFF, now);
    EXPECT_FALSE(never.check);
    EXPECT_TRUE(never.store);
    EXPECT_EQ(never.storedValue, 0u);

    UpdateDecision first = DecideUpdateCheck(0, now);
    EXPECT_TRUE(first.check);
    EXPECT_EQ(first.storedValue, now);

    EXPECT_FALSE(DecideUpdateCheck(now - 604800, now).check) << "exactly seven days: not yet";
    EXPECT_FALSE(DecideUpdateCheck(now - 604800, now).store);
    EXPECT_TRUE(DecideUpdateCheck(now - 604801, now).check);
    EXPECT_FALSE(DecideUpdateCheck(now - 10, now).check);
    // A stored time in the future (the clock went back) is no recent check.
    EXPECT_TRUE(DecideUpdateCheck(now + 100, now).check);
}

TEST(UpdateRequest, QueryIsAppendedWithTheRightJoint)
{
    EXPECT_EQ(BuildUpdateUrl("http://h/data/update.php?p=quellmor", "1.00", "0A0B0C0D"),
              "http://h/data/update.php?p=quellmor&v=1.00&id=0A0B0C0D");
    EXPECT_EQ(BuildUpdateUrl("http://h/x", "2.93", "1"), "http://h/x?v=2.93&id=1");
}

TEST(UpdateAnswer, OnlyAShortNewerVersionCounts)
{
    uint32_t a = 0, b = 0;
    EXPECT_TRUE(ParseUpdateAnswer("1.5\r\n", 1, 0, &a, &b));
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 5u);
    EXPECT_TRUE(ParseUpdateAnswer(" 2.0", 1, 99, &a, &b));
    EXPECT_EQ(a, 2u);
    EXPECT_FALSE(ParseUpdateAnswer("1.0", 1, 0, &a, &b)) << "the same version";
    EXPECT_FALSE(ParseUpdateAnswer("0.9", 1, 0, &a, &b));
    EXPECT_FALSE(ParseUpdateAnswer("", 1, 0, &a, &b));
    EXPECT_FALSE(ParseUpdateAnswer("<html><body>9.9</body></html>", 1, 0, &a, &b));
    EXPECT_FALSE(ParseUpdateAnswer("9.9 is out", 1, 0, &a, &b));
    EXPECT_FALSE(ParseUpdateAnswer("9.", 1, 0, &a, &b));
    EXPECT_FALSE(ParseUpdateAnswer("99999999.1", 1, 0, &a, &b));
    EXPECT_FALSE(ParseUpdateAnswer(std::string(65, '9'), 1, 0, &a, &b));
}

} // namespace
