#include <gtest/gtest.h>
#include "app/shell/PageBar.h"

namespace {

TEST(PageBar, ClickTableBoundaries)
{
    struct {
        int x, page;
    } cases[] = {{0, 0},   {143, 0},  {144, 2},  {278, 2},  {279, 1}, {448, 1}, {449, 4},
                 {593, 4}, {594, -1}, {600, -1}, {721, -1}, {722, 3}, {815, 3}, {-1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(PageFromBarX(c.x), c.page) << c.x;
}

TEST(PageBar, FirstPageFromFlags)
{
    EXPECT_EQ(FirstPageFromFlags(0x9018), kPageQuick);
    EXPECT_EQ(FirstPageFromFlags(0x2000000), kPageFile);
    EXPECT_EQ(FirstPageFromFlags(0x2000001), kPageBlock);
    EXPECT_EQ(FirstPageFromFlags(0x8009018), kPageCheck);
    EXPECT_EQ(FirstPageFromFlags(0xA000000), kPageFile);
}

} // namespace
