#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
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

// What the main window reads from each row of the page table holds for every row: its click
// area chooses it from end to end and shares no pixel with another row's, its flag bit alone
// shows it first, and opening it closes every other page once.
TEST(PageBar, EveryRowOfThePageTable)
{
    const int barWidth = 816;
    for (int x = -1; x <= barWidth; ++x) {
        int rows = 0;
        for (const S_PageBarRow& row : kPageBarRows)
            rows += x >= row.barFrom && x <= row.barTo;
        EXPECT_LE(rows, 1) << "click areas overlap at " << x;
    }
    for (int page = 0; page < kPageNone; ++page) {
        const S_PageBarRow& row = kPageBarRows[page];
        EXPECT_EQ(PageFromBarX(row.barFrom), page);
        EXPECT_EQ(PageFromBarX(std::min(row.barTo, barWidth - 1)), page);
        EXPECT_NE(PageFromBarX(row.barFrom - 1), page);
        if (row.flagBit) {
            EXPECT_EQ(FirstPageFromFlags(row.flagBit), page);
            EXPECT_EQ(PageChoiceBits() & row.flagBit, row.flagBit);
        }
        std::vector<int> closed = CloseOrder(page), others;
        std::sort(closed.begin(), closed.end());
        for (int other = 0; other < kPageNone; ++other)
            if (other != page)
                others.push_back(other);
        EXPECT_EQ(closed, others) << page;
    }
    EXPECT_EQ(CloseOrder(kPageNone).size(), size_t(kPageNone));
}

TEST(PageBar, CloseOrder)
{
    using Pages = std::vector<int>;
    EXPECT_EQ(CloseOrder(kPageBlock), (Pages{kPageFile, kPageQuick, kPageCheck, kPageAbout}));
    EXPECT_EQ(CloseOrder(kPageFile), (Pages{kPageBlock, kPageQuick, kPageCheck, kPageAbout}));
    EXPECT_EQ(CloseOrder(kPageQuick), (Pages{kPageBlock, kPageFile, kPageCheck, kPageAbout}));
    EXPECT_EQ(CloseOrder(kPageCheck), (Pages{kPageBlock, kPageFile, kPageQuick, kPageAbout}));
    EXPECT_EQ(CloseOrder(kPageAbout), (Pages{kPageBlock, kPageFile, kPageQuick, kPageCheck}));
    // With no page to show, FileAccess closes first.
    EXPECT_EQ(CloseOrder(kPageNone), (Pages{kPageFile, kPageBlock, kPageQuick, kPageCheck, kPageAbout}));
}

} // namespace
