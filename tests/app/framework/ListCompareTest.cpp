#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "app/framework/ListCompare.h"

namespace {

int Plain(const std::string& a, const std::string& b) { return a.compare(b) < 0 ? -1 : a.compare(b) > 0; }

std::vector<std::string> Sorted(std::vector<std::string> cells, bool descending, const std::string& sep = ".")
{
    std::stable_sort(cells.begin(), cells.end(), [&](const std::string& a, const std::string& b) {
        return CompareCells(a, b, sep, descending, Plain) < 0;
    });
    return cells;
}

TEST(SizeText, UnitsAndTheirOrderOfSearch)
{
    double v = 0;
    ASSERT_TRUE(ParseSizeText("2048 Byte", &v));
    EXPECT_DOUBLE_EQ(v, 2048.0);
    ASSERT_TRUE(ParseSizeText("1.5 GByte", &v));
    EXPECT_DOUBLE_EQ(v, 1.5 * 1073741824.0);
    ASSERT_TRUE(ParseSizeText("2 PByte", &v));
    EXPECT_DOUBLE_EQ(v, 2.0 * 1125899906842624.0);
    ASSERT_TRUE(ParseSizeText("3 kByte", &v));
    EXPECT_DOUBLE_EQ(v, 3072.0);
    // " MByte" is searched before " Byte", so a text holding both counts in MiB.
    ASSERT_TRUE(ParseSizeText("1 MByte (1048576 Byte)", &v));
    EXPECT_DOUBLE_EQ(v, 1048576.0);
    EXPECT_FALSE(ParseSizeText("1.5GByte", &v));
    EXPECT_FALSE(ParseSizeText("Disk 1", &v));
}

TEST(CompareCells, SizesSortAsNumbersBothWays)
{
    std::vector<std::string> cells = {"1.5 GByte", "900.0 MByte", "2048 Byte"};
    EXPECT_EQ(Sorted(cells, false), (std::vector<std::string>{"2048 Byte", "900.0 MByte", "1.5 GByte"}));
    EXPECT_EQ(Sorted(cells, true), (std::vector<std::string>{"1.5 GByte", "900.0 MByte", "2048 Byte"}));
}

TEST(CompareCells, TextsLoseThousandsSeparatorsFirst)
{
    // With the separators gone, "1.000" and "1000" are equal; "999" sorts before both in
    // plain text order only because the comparison sees "1000".
    EXPECT_EQ(CompareCells("1.000", "1000", ".", false, Plain), 0);
    EXPECT_LT(CompareCells("1.000x", "1000y", ".", false, Plain), 0);
    EXPECT_GT(CompareCells("b", "a", ".", false, Plain), 0);
    EXPECT_LT(CompareCells("b", "a", ".", true, Plain), 0);
    // Only one cell with a unit: texts, not numbers.
    EXPECT_GT(CompareCells("9 Byte", "10", "", false, Plain), 0);
}

TEST(RemoveSeparators, MultiCharacterAndEmpty)
{
    EXPECT_EQ(RemoveSeparators("1\xC2\xA0"
                               "234\xC2\xA0"
                               "567",
                               "\xC2\xA0"),
              "1234567");
    EXPECT_EQ(RemoveSeparators("1,234", ""), "1,234");
    EXPECT_EQ(RemoveSeparators("1,,2", ","), "12");
}

} // namespace
