#include <gtest/gtest.h>
#include <map>
#include "cmd/Options.h"

namespace {
// Command files kept in memory.
class MemoryFiles : public C_OptionFileSource {
public:
    std::map<std::string, std::vector<std::string>> files;
    int opened = 0;
    class Reader : public C_OptionLineReader {
    public:
        explicit Reader(const std::vector<std::string>& l) : lines(l) {}
        int ReadLine(std::string& line) override
        {
            if (next >= lines.size())
                return 0;
            line = lines[next++];
            return 1;
        }
        std::vector<std::string> lines;
        size_t next = 0;
    };
    std::unique_ptr<C_OptionLineReader> Open(const std::string& name) override
    {
        auto it = files.find(name);
        if (it == files.end())
            return nullptr;
        ++opened;
        return std::unique_ptr<C_OptionLineReader>(new Reader(it->second));
    }
};

void DeclareConsoleOptions(C_Options& o)
{
    o.AddString("d", "C:\\", "Drive for testing");
    o.AddNumber("s", kOptionDecimal, 1000, "File size in MB");
    o.AddNumber("b", kOptionDecimal, 1024, "Block size in kB");
    o.AddNumber("l", kOptionDecimal, 1, "Create log file");
}
} // namespace

TEST(Options, DefaultsAndUsageByteForByte)
{
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseCommandLine("QuellmorCmd.exe -q", nullptr), 0);
    std::string usage;
    o.FormatUsage(usage);
    EXPECT_EQ(usage, "   @<file> [command file]\n"
                     "   -d C:\\ [Drive for testing]\n"
                     "   -s 1000 [File size in MB]\n"
                     "   -b 1024 [Block size in kB]\n"
                     "   -l 1 [Create log file]\n");
}

TEST(Options, UsageShowsParsedValuesAndEveryKind)
{
    C_Options o;
    o.AddNumber("n", kOptionDecimal, 5, "");
    o.AddNumber("h", kOptionHex, 255, "Mask");
    o.AddNumber("v", kOptionSwitch, 0, "Verbose");
    o.AddString("t", "", "Text");
    EXPECT_EQ(o.ParseElements("-n 7 -t \"a b\" free", nullptr), 1);
    std::string usage;
    o.FormatUsage(usage);
    EXPECT_EQ(usage, "   @<file> [command file]\n"
                     "   -n 7 \n"
                     "   -h 0xFF [Mask]\n"
                     "   -v [Verbose]\n"
                     "   -t a b [Text]\n");
}

TEST(Options, NumbersInEveryBaseAndUnreadable)
{
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseElements("-s 0x10", nullptr), 1);
    EXPECT_EQ(o.GetNumber("s"), 16);
    EXPECT_EQ(o.ParseElements("-s 010", nullptr), 1);
    EXPECT_EQ(o.GetNumber("s"), 8);
    EXPECT_EQ(o.ParseElements("-s abc", nullptr), 1);
    EXPECT_EQ(o.GetNumber("s"), 8);
    EXPECT_EQ(o.ParseElements("-s2000", nullptr), 1);
    EXPECT_EQ(o.GetNumber("s"), 2000);
    EXPECT_EQ(o.ParseElements("/b 64", nullptr), 1);
    EXPECT_EQ(o.GetNumber("b"), 64);
    EXPECT_EQ(o.ParseElements("-S 100", nullptr), 1);
    EXPECT_EQ(o.GetNumber("s"), 100);
    EXPECT_EQ(o.GetNumber("S"), 100);
    EXPECT_EQ(o.ParseElements("-s -5", nullptr), 1);
    EXPECT_EQ(o.GetNumber("s"), -5);
    // Out of range numbers are clamped rather than wrapped.
    EXPECT_EQ(o.ParseElements("-s 99999999999999999999999", nullptr), 1);
    EXPECT_EQ(o.GetNumber("s"), INT64_MAX);
    EXPECT_EQ(o.GetNumber("missing"), 0);
}

TEST(Options, ReadOptionNumberForms)
{
    int64_t v = 0;
    EXPECT_EQ(ReadOptionNumber("  42xyz", 0, &v), 1);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(ReadOptionNumber("0x", 0, &v), 1); // the 0 before a bare x
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ReadOptionNumber("09", 0, &v), 1); // octal stops at 9
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ReadOptionNumber("ff", 1, &v), 1);
    EXPECT_EQ(v, 255);
    EXPECT_EQ(ReadOptionNumber("0X1f", 1, &v), 1);
    EXPECT_EQ(v, 31);
    EXPECT_EQ(ReadOptionNumber("-9223372036854775808", 0, &v), 1);
    EXPECT_EQ(v, INT64_MIN);
    EXPECT_EQ(ReadOptionNumber("-", 0, &v), 0);
    EXPECT_EQ(ReadOptionNumber("", 1, &v), 0);
}

TEST(Options, UnknownOptionFailsAndLeavesFreeArguments)
{
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseElements("-x 1 -s 300", nullptr), 0);
    ASSERT_EQ(o.GetFreeCount(), 2u);
    EXPECT_EQ(o.GetFree(0), "x");
    EXPECT_EQ(o.GetFree(1), "1");
    // Values parsed before and after the error stay set.
    EXPECT_EQ(o.GetNumber("s"), 300);
}

TEST(Options, FreeWordsAreAccepted)
{
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseCommandLine("\"C:\\Program Files\\Q\\QuellmorCmd.exe\"  hello  ", nullptr), 1);
    ASSERT_EQ(o.GetFreeCount(), 1u);
    EXPECT_EQ(o.GetFree(0), "hello");
}

TEST(Options, ProgramNameWithQuotedBlanksIsSkipped)
{
    EXPECT_EQ(CommandLineArguments("\"C:\\My Tools\\q.exe\" -s 5 "), "-s 5");
    EXPECT_EQ(CommandLineArguments("q.exe"), "");
    EXPECT_EQ(CommandLineArguments("q.exe\t-s 1"), "1"); // only a blank ends the name
}

TEST(Options, StringTokensWithQuotes)
{
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseElements("-d \"E:\\My Test Folder\"", nullptr), 1);
    EXPECT_STREQ(o.GetString("d"), "E:\\My Test Folder");
    EXPECT_EQ(o.ParseElements("-d \"say \"\"hi\"\" now\"", nullptr), 1);
    EXPECT_STREQ(o.GetString("d"), "say \"hi\" now");
    EXPECT_EQ(o.ParseElements("-dE:", nullptr), 1);
    EXPECT_STREQ(o.GetString("d"), "E:");
    // A quote left open runs to the end of the text and loses its last character.
    EXPECT_EQ(o.ParseElements("-d \"open ended", nullptr), 1);
    EXPECT_STREQ(o.GetString("d"), "open ende");
    EXPECT_EQ(o.ParseElements("-d \"", nullptr), 1);
    EXPECT_EQ(o.GetString("d"), nullptr); // empty text reads as none
    EXPECT_EQ(o.GetString("s"), nullptr); // not a string option
}

TEST(Options, TokenReader)
{
    std::string t;
    EXPECT_EQ(ReadOptionToken("   abc def", 0, t), 6u);
    EXPECT_EQ(t, "abc");
    EXPECT_EQ(ReadOptionToken("\"a b\"c d", 0, t), 6u);
    EXPECT_EQ(t, "a b\"");
    EXPECT_EQ(ReadOptionToken("x\"\"y z", 0, t), 4u);
    EXPECT_EQ(t, "x\"y");
    EXPECT_EQ(ReadOptionToken("    ", 0, t), 4u);
    EXPECT_EQ(t, "");
}

TEST(Options, CommandFiles)
{
    MemoryFiles files;
    files.files["opts.txt"] = {"  -s 500  ", "", "-b 64"};
    files.files["bad.txt"] = {"-s 10", "-zz 3", "-b 32"};
    files.files["with space.txt"] = {"-l 0"};
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseElements("@opts.txt", &files), 1);
    EXPECT_EQ(o.GetNumber("s"), 500);
    EXPECT_EQ(o.GetNumber("b"), 64);

    // The failing line stops that file only; scanning goes on after its name.
    EXPECT_EQ(o.ParseElements("@bad.txt -l 5", &files), 0);
    EXPECT_EQ(o.GetNumber("s"), 10);
    EXPECT_EQ(o.GetNumber("b"), 64);
    EXPECT_EQ(o.GetNumber("l"), 5);

    EXPECT_EQ(o.ParseElements("@\"with space.txt\"", &files), 1);
    EXPECT_EQ(o.GetNumber("l"), 0);
    EXPECT_EQ(o.ParseElements("@missing.txt -s 7", &files), 0);
    EXPECT_EQ(o.GetNumber("s"), 7);
    EXPECT_EQ(o.ParseElements("@opts.txt", nullptr), 0);
}

TEST(Options, AtWithoutNameEndsTheParse)
{
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseElements("-s 5 @ -s 9", nullptr), 0);
    EXPECT_EQ(o.GetNumber("s"), 5);
    EXPECT_EQ(o.ParseElements("@   ", nullptr), 0);
}

TEST(Options, SelfNamingCommandFileIsRefusedNotRecursedForever)
{
    MemoryFiles files;
    files.files["loop.txt"] = {"-s 1", "@loop.txt"};
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseElements("@loop.txt", &files), 0);
    EXPECT_EQ(o.GetNumber("s"), 1);
    EXPECT_EQ(files.opened, C_Options::kMaxCommandFileDepth);
}

TEST(Options, FilesNamingEachOtherTwiceStayBounded)
{
    MemoryFiles files;
    files.files["a.txt"] = {"@b.txt @b.txt"};
    files.files["b.txt"] = {"@a.txt @a.txt"};
    C_Options o;
    DeclareConsoleOptions(o);
    EXPECT_EQ(o.ParseElements("@a.txt", &files), 0);
    EXPECT_EQ(files.opened, C_Options::kMaxCommandFiles);
}

TEST(Options, FirstMatchingNameInDeclarationOrderWins)
{
    C_Options o;
    o.AddNumber("s", kOptionDecimal, 1, "");
    o.AddNumber("size", kOptionDecimal, 2, "");
    o.AddNumber("v", kOptionSwitch, 0, "");
    EXPECT_EQ(o.ParseElements("-size 9 -v", nullptr), 1);
    // "s" is a prefix of "size", so s takes the text after it: "ize 9" is no number.
    EXPECT_EQ(o.GetNumber("s"), 1);
    EXPECT_EQ(o.GetNumber("size"), 2);
    EXPECT_EQ(o.GetNumber("v"), 1);
}
