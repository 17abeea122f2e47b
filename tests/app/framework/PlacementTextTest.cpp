#include <gtest/gtest.h>
#include "app/framework/PlacementText.h"

namespace {

TEST(PlacementText, FormatAndParseRoundTrip)
{
    PlacementRect r{-1200, 40, -600, 500};
    std::string text = FormatPlacement(3, r);
    EXPECT_EQ(text, "3,-1200,40,-600,500");
    int show = 0;
    PlacementRect back;
    ASSERT_TRUE(ParsePlacement(text.c_str(), &show, &back));
    EXPECT_EQ(show, 3);
    EXPECT_EQ(back.left, -1200);
    EXPECT_EQ(back.bottom, 500);
}

TEST(PlacementText, IncompleteTextIsRefusedAndLeavesOutputs)
{
    int show = 9;
    PlacementRect r{1, 2, 3, 4};
    EXPECT_FALSE(ParsePlacement("1,2,3,4", &show, &r));
    EXPECT_FALSE(ParsePlacement("", &show, &r));
    EXPECT_FALSE(ParsePlacement("a,b,c,d,e", &show, &r));
    EXPECT_EQ(show, 9);
    EXPECT_EQ(r.right, 3);
}

TEST(PlacementText, ShowCommandOptions)
{
    EXPECT_EQ(AdjustShowCommand(2, 0), 1);
    EXPECT_EQ(AdjustShowCommand(2, kPlaceAllowMinimized), 2);
    EXPECT_EQ(AdjustShowCommand(0, 0), 1);
    EXPECT_EQ(AdjustShowCommand(0, kPlaceAllowHidden), 0);
    EXPECT_EQ(AdjustShowCommand(3, kPlaceForceHidden), 0);
    EXPECT_EQ(AdjustShowCommand(1, kPlaceForceMaximizedInactive), 7);
    EXPECT_EQ(AdjustShowCommand(3, 0), 3);
}

TEST(PlacementText, KeepCurrentSizeOrPosition)
{
    PlacementRect stored{100, 100, 400, 300}, current{10, 20, 60, 120};
    PlacementRect size = KeepCurrent(stored, current, kPlaceKeepSize);
    EXPECT_EQ(size.left, 100);
    EXPECT_EQ(size.right, 150);
    EXPECT_EQ(size.bottom, 200);
    PlacementRect pos = KeepCurrent(stored, current, kPlaceKeepPosition);
    EXPECT_EQ(pos.left, 10);
    EXPECT_EQ(pos.top, 20);
    EXPECT_EQ(pos.right, 310);
    EXPECT_EQ(pos.bottom, 220);
}

TEST(MonitorRule, WhenToMove)
{
    EXPECT_FALSE(NeedsMonitorMove(true, false, 0));
    EXPECT_TRUE(NeedsMonitorMove(false, true, 0));
    EXPECT_FALSE(NeedsMonitorMove(false, true, kPlaceBothCorners));
    EXPECT_TRUE(NeedsMonitorMove(false, false, kPlaceBothCorners));
    EXPECT_FALSE(NeedsMonitorMove(false, false, kPlaceNoMonitorCheck));
}

TEST(MonitorRule, LostMonitorPutsTheWindowTenPixelsInsideTheWorkArea)
{
    // Stored on a left-hand monitor that is gone; the nearest work area starts at 0,30.
    PlacementRect stored{-1500, 200, -1000, 600};
    PlacementRect moved = MoveIntoWorkArea(stored, PlacementRect{0, 30, 1280, 994});
    EXPECT_EQ(moved.left, 10);
    EXPECT_EQ(moved.top, 40);
    EXPECT_EQ(moved.right - moved.left, 500);
    EXPECT_EQ(moved.bottom - moved.top, 400);
}

} // namespace
