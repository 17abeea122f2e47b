#include <gtest/gtest.h>
#include <cstring>
#include "core/Text.h"

TEST(FormatByteSize, UnitBoundaries)
{
    EXPECT_EQ(FormatByteSize(0), "0 Byte");
    EXPECT_EQ(FormatByteSize(2048), "2048 Byte");
    EXPECT_EQ(FormatByteSize(2049), "2.0 kByte");
    EXPECT_EQ(FormatByteSize(2ull << 20), "2048.0 kByte");
    EXPECT_EQ(FormatByteSize((2ull << 20) + 1024), "2.0 MByte");
    EXPECT_EQ(FormatByteSize(3ull << 20), "3.0 MByte");
    EXPECT_EQ(FormatByteSize(2ull << 30), "2048.0 MByte");
    EXPECT_EQ(FormatByteSize(3ull << 30), "3.0 GByte");
    EXPECT_EQ(FormatByteSize(3ull << 30, 1), "3.0 GB");
    EXPECT_EQ(FormatByteSize(5ull << 30, 1), "5.0 GB");
    EXPECT_EQ(FormatByteSize(3ull << 40), "3.0 TByte");
    EXPECT_EQ(FormatByteSize(3ull << 50, 1), "3.0 PB");
    // The plain line always says Byte, whatever the unit style.
    EXPECT_EQ(FormatByteSize(100, 1), "100 Byte");
}

TEST(FormatByteSize, HugeValuesStayPositive)
{
    EXPECT_EQ(FormatByteSize(UINT64_MAX), "16384.0 PByte");
    EXPECT_EQ(FormatByteSize(1ull << 63), "8192.0 PByte");
}

TEST(FormatByteSize, BufferFormFitsAndMatches)
{
    char text[32];
    memset(text, 'x', sizeof(text));
    EXPECT_STREQ(FormatByteSize(UINT64_MAX, text, 0), "16384.0 PByte");
    EXPECT_STREQ(FormatByteSize(47500000, text, 0), "45.3 MByte");
}

TEST(FormatRate, TruncatesAndAppendsPerSecond)
{
    EXPECT_EQ(FormatRate(47500000.9f), "45.3 MByte/sec");
    EXPECT_EQ(FormatRate(2048.9f), "2048 Byte/sec");
    EXPECT_EQ(FormatRate(0.0f), "0 Byte/sec");
    EXPECT_EQ(FormatRate(-5.0f), "0 Byte/sec");
}

TEST(FormatRate, ShortFormIsWholeFromTenUnitsOn)
{
    EXPECT_EQ(FormatShortRate(95.4f * 1048576), "95 MByte/sec");
    EXPECT_EQ(FormatShortRate(11.6f * 1048576), "12 MByte/sec");
    EXPECT_EQ(FormatShortRate(9.96f * 1048576), "10 MByte/sec");
    EXPECT_EQ(FormatShortRate(2.54f * 1048576), "2.5 MByte/sec");
    EXPECT_EQ(FormatShortRate(1.5f * 1048576), "1536 kByte/sec");
    EXPECT_EQ(FormatShortRate(700.0f), "700 Byte/sec");
}

TEST(TextHelpers, TrimCleanAndVersion)
{
    EXPECT_EQ(TrimWhite("  \t-s 5 \r\n"), "-s 5");
    EXPECT_EQ(TrimWhite(" \t "), "");
    // Only a blank ends a word, and not between quotes; a quote left open runs to the end.
    EXPECT_STREQ(FindUnquotedBlank("\"C:\\a b\\q.exe\" -s"), " -s");
    EXPECT_STREQ(FindUnquotedBlank("q.exe\t-s 1"), " 1");
    EXPECT_STREQ(FindUnquotedBlank("\"a b"), "");
    char error[] = "Access is denied.\r\n  ";
    CleanErrorText(error);
    EXPECT_STREQ(error, "Access is denied.");
    char twoLines[] = "Line one.\r\nLine two.\r\n";
    CleanErrorText(twoLines);
    EXPECT_STREQ(twoLines, "Line one.  Line two.");

    uint32_t major = 0, minor = 0;
    EXPECT_EQ(ParseVersionPair("1.7", &major, &minor), 1);
    EXPECT_EQ(major, 1u);
    EXPECT_EQ(minor, 7u);
    EXPECT_EQ(ParseVersionPair("2.15.0.3", &major, &minor), 1);
    EXPECT_EQ(minor, 15u);
    EXPECT_EQ(ParseVersionPair("abc", &major, &minor), 0);
    EXPECT_EQ(ParseVersionPair(nullptr, &major, &minor), 0);
    EXPECT_EQ(FormatTitle("Q", 1, 5), "Q [1.05]");
}
