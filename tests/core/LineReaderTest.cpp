#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "core/LineReader.h"

namespace {
// A byte source that hands out its data in chunks of at most `chunk` bytes.
struct Source {
    std::string data;
    size_t pos = 0;
    uint32_t chunk = 4096;
    int failAt = -1; // call number that fails
    int calls = 0;
    static int Read(void* context, uint8_t* buffer, uint32_t size, uint32_t* got)
    {
        Source* s = (Source*)context;
        if (s->calls++ == s->failAt)
            return 0;
        uint32_t n = (uint32_t)std::min<size_t>({size, s->chunk, s->data.size() - s->pos});
        memcpy(buffer, s->data.data() + s->pos, n);
        s->pos += n;
        *got = n;
        return 1;
    }
};

std::vector<std::string> AllLines(Source& src, int wide, int quote)
{
    C_LineReader reader;
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line, wide, quote, Source::Read, &src))
        lines.push_back(line);
    return lines;
}
} // namespace

TEST(LineReader, SplitsOnLfAndDropsCr)
{
    Source s;
    s.data = "-s 500\r\n-b 64\n\nlast";
    EXPECT_EQ(AllLines(s, 0, -1), (std::vector<std::string>{"-s 500", "-b 64", "", "last"}));
}

TEST(LineReader, EmptyInputGivesNoLine)
{
    Source s;
    EXPECT_TRUE(AllLines(s, 0, -1).empty());
    s.data = "only\n";
    s.pos = 0;
    EXPECT_EQ(AllLines(s, 0, -1), (std::vector<std::string>{"only"}));
}

TEST(LineReader, QuotesKeepCrAndLfInsideTheLine)
{
    Source s;
    s.data = "a \"x\r\ny\" b\r\nnext\n";
    EXPECT_EQ(AllLines(s, 0, '"'), (std::vector<std::string>{"a \"x\r\ny\" b", "next"}));
    // Without a quote character the same text splits.
    s.pos = 0;
    EXPECT_EQ(AllLines(s, 0, -1), (std::vector<std::string>{"a \"x", "y\" b", "next"}));
}

TEST(LineReader, LinesAcrossBufferBoundaries)
{
    Source s;
    std::string longLine(5000, 'a');
    std::string second(4095, 'b');
    s.data = longLine + "\n" + second + "\r\n" + "tail";
    for (uint32_t chunk : {4096u, 1000u, 1u}) {
        s.pos = 0;
        s.chunk = chunk;
        EXPECT_EQ(AllLines(s, 0, -1), (std::vector<std::string>{longLine, second, "tail"})) << chunk;
    }
}

TEST(LineReader, CrLfSplitAtExactBoundary)
{
    Source s;
    s.data = std::string(4095, 'x') + "\r\n" + "y";
    EXPECT_EQ(AllLines(s, 0, -1), (std::vector<std::string>{std::string(4095, 'x'), "y"}));
}

TEST(LineReader, WideUnits)
{
    Source s;
    // "ab\r\n" then "c" as UTF-16LE, plus a non-ASCII unit (U+00E4) kept as two bytes.
    const char bytes[] = {'a', 0, 'b', 0, '\r', 0, '\n', 0, (char)0xE4, 0, 'c', 0};
    s.data.assign(bytes, sizeof(bytes));
    std::vector<std::string> lines = AllLines(s, 1, -1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string("a\0b\0", 4));
    EXPECT_EQ(lines[1], std::string("\xE4\0c\0", 4));
    // A high byte of 0x0A is not a line feed in wide mode.
    const char tricky[] = {0x41, 0x0A, '\n', 0};
    s.data.assign(tricky, sizeof(tricky));
    s.pos = 0;
    lines = AllLines(s, 1, -1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string("\x41\x0A", 2));
}

TEST(LineReader, FailedReadEndsWithZero)
{
    Source s;
    s.data = "abc\ndef\n";
    s.failAt = 0;
    C_LineReader reader;
    std::string line = "stale";
    EXPECT_EQ(reader.ReadLine(line, 0, -1, Source::Read, &s), 0);
    EXPECT_EQ(line, "");
}
