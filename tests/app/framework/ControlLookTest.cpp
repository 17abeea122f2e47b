#include <gtest/gtest.h>
#include "app/framework/ControlLook.h"

namespace {

TEST(FaceList, SplitsAtCommasAndSemicolons)
{
    EXPECT_EQ(SplitFaceList("Segoe UI; Verdana,Arial"),
              (std::vector<std::string>{"Segoe UI", "Verdana", "Arial"}));
    EXPECT_EQ(SplitFaceList(""), (std::vector<std::string>{"Segoe UI", "Verdana", "MS Sans Serif"}));
    EXPECT_EQ(SplitFaceList(" ;,Arial;;"), (std::vector<std::string>{"Arial"}));
}

TEST(BrowserLook, ColoursAndUnderline)
{
    uint8_t r = 1, g = 2, b = 3;
    EXPECT_TRUE(ParseRgbText("0,102,204", &r, &g, &b));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 102);
    EXPECT_EQ(b, 204);
    EXPECT_FALSE(ParseRgbText("256,0,0", &r, &g, &b));
    EXPECT_FALSE(ParseRgbText("10,20", &r, &g, &b));
    EXPECT_FALSE(ParseRgbText(nullptr, &r, &g, &b));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(ParseUnderlineMode("yes"), kUnderlineAlways);
    EXPECT_EQ(ParseUnderlineMode("no"), kUnderlineNever);
    EXPECT_EQ(ParseUnderlineMode("Hover"), kUnderlineHover);
    EXPECT_EQ(ParseUnderlineMode(nullptr), kUnderlineAlways);
    EXPECT_EQ(ParseUnderlineMode("maybe"), kUnderlineAlways);
    EXPECT_TRUE(IsYes("YES"));
    EXPECT_FALSE(IsYes("no"));
}

} // namespace
