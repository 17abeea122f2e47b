#include <gtest/gtest.h>
#include "app/settings/CommandLine.h"
#include "app/settings/Flags.h"
#include "app/settings/IniPath.h"

namespace {

const char* kProgram = "E:\\Tools\\Quellmor.exe";

CommandLineState Parse(const char* arguments, int* result = nullptr, const char* program = kProgram)
{
    CommandLineState state;
    state.flags = kFlagDefaults;
    state.blockSize = 65536;
    state.preReadSize = 3145728;
    int r = ParseSwitches(arguments, program, state);
    if (result)
        *result = r;
    return state;
}

TEST(ProgramName, SkipsUpToFirstBlankOutsideQuotes)
{
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\Quellmor.exe\" -a -b"), "-a -b");
    EXPECT_STREQ(SkipProgramName("Quellmor.exe -z"), "-z");
    EXPECT_STREQ(SkipProgramName("Quellmor.exe"), "");
    EXPECT_STREQ(SkipProgramName("\"C:\\a b\\Quellmor.exe\""), "");
    EXPECT_STREQ(SkipProgramName("Quellmor.exe  -a"), " -a");
}

TEST(Switches, NoSwitchesKeepDefaultsAndSucceed)
{
    int result = 0;
    CommandLineState s = Parse("", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(s.flags, 0x9018u);
    EXPECT_EQ(s.switchOrder, "");
    EXPECT_FALSE(s.fileSizeGiven || s.blockSizeGiven || s.preReadSizeGiven || s.testFileGiven);
}

TEST(Switches, EveryFlagLetterFromAZeroWord)
{
    struct {
        char letter;
        uint32_t before, after;
    } cases[] = {
        {'a', 0, 0x1},         {'b', 0, 0x10},        {'c', 0x10, 0},        {'d', 0, 0x20},
        {'e', 0x20, 0},        {'f', 0x8, 0},         {'g', 0, 0x80},        {'h', 0x80, 0},
        {'m', 0, 0x40},        {'n', 0x1, 0x2000000}, {'o', 0x6000, 0x1000}, {'p', 0, 0x8},
        {'q', 0x5000, 0x2000}, {'r', 0, 0x2},         {'s', 0x3000, 0x4000}, {'t', 0, 0x200000},
        {'u', 0x200000, 0},    {'v', 0x40, 0},        {'w', 0, 0x4},         {'x', 0, 0x1000000},
        {'y', 0x2000000, 0},   {'z', 0, 0x4000000},
    };
    for (const auto& c : cases) {
        CommandLineState s;
        s.flags = c.before;
        char text[4] = {'-', c.letter, 0, 0};
        EXPECT_EQ(ParseSwitches(text, kProgram, s), 1) << c.letter;
        EXPECT_EQ(s.flags, c.after) << "switch -" << c.letter;
        EXPECT_EQ(s.switchOrder, std::string(1, c.letter));
    }
}

TEST(Switches, AnythingButALowerCaseLetterFailsButParsingGoesOn)
{
    const char* bad[] = {"-A", "-", "-1", "- b", "-b -", "-Z -d"};
    for (const char* text : bad) {
        int result = 1;
        Parse(text, &result);
        EXPECT_EQ(result, 0) << text;
    }
    int result = 1;
    CommandLineState s = Parse("-A -d -x", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(s.flags & (0x20 | 0x1000000), 0x20u | 0x1000000u);
}

TEST(Switches, OrderIsRecordedAndLaterSwitchWins)
{
    CommandLineState s = Parse("-b -c -q -s");
    EXPECT_EQ(s.switchOrder, "bcqs");
    EXPECT_EQ(s.flags & 0x10, 0u);
    EXPECT_EQ(s.flags & kFlagKindMask, 0x4000u);
}

TEST(Numbers, FileSizeWithAndWithoutBlankSetsTheCommandLineBit)
{
    for (const char* text : {"-i1048576", "-i 1048576", "-i\t1048576 -b"}) {
        CommandLineState s = Parse(text);
        EXPECT_EQ(s.fileSize, 1048576u) << text;
        EXPECT_TRUE(s.fileSizeGiven);
        EXPECT_TRUE(s.flags & kFlagSizeFromCommandLine);
    }
    CommandLineState big = Parse("-i 8589934592");
    EXPECT_EQ(big.fileSize, 8589934592ull);
}

TEST(Numbers, MissingDigitsLeaveTheValueButStillCount)
{
    CommandLineState s = Parse("-i -j x -k");
    EXPECT_EQ(s.fileSize, 0u);
    EXPECT_EQ(s.blockSize, 65536u);
    EXPECT_EQ(s.preReadSize, 3145728u);
    EXPECT_TRUE(s.flags & kFlagSizeFromCommandLine);
    EXPECT_TRUE(s.fileSizeGiven && s.blockSizeGiven && s.preReadSizeGiven);
}

TEST(Numbers, BlockAndPreReadSizes)
{
    CommandLineState s = Parse("-j4096 -k 1048576");
    EXPECT_EQ(s.blockSize, 4096u);
    EXPECT_EQ(s.preReadSize, 1048576u);
    // A 32-bit block size saturates instead of wrapping to a small number.
    EXPECT_EQ(Parse("-j 4294967296").blockSize, 4294967295u);
    EXPECT_EQ(Parse("-k 99999999999999999999999").preReadSize, UINT64_MAX);
}

TEST(Numbers, SearchResumesAfterTheDigits)
{
    CommandLineState s = Parse("-i 100-b");
    EXPECT_EQ(s.fileSize, 100u);
    EXPECT_TRUE(s.flags & 0x10);
    EXPECT_EQ(s.switchOrder, "ib");
}

TEST(TestFile, PlainQuotedAndAtTheEnd)
{
    EXPECT_EQ(Parse("-l C:\\data\\x.bin -b").testFile, "C:\\data\\x.bin");
    CommandLineState quoted = Parse("-l \"C:\\my data\\x.bin\" -d");
    EXPECT_EQ(quoted.testFile, "C:\\my data\\x.bin");
    EXPECT_TRUE(quoted.flags & 0x20);
    CommandLineState end = Parse("-l");
    EXPECT_TRUE(end.testFileGiven);
    EXPECT_EQ(end.testFile, "");
    EXPECT_EQ(Parse("-l \"").testFile, "");
}

TEST(TestFile, DashesInsideTheValueAreNoSwitches)
{
    int result = 0;
    CommandLineState s = Parse("-l C:\\my-data\\a-b.bin", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(s.testFile, "C:\\my-data\\a-b.bin");
    EXPECT_EQ(s.flags, 0x9018u);
    EXPECT_EQ(s.switchOrder, "l");
    // Neither in a quoted value, and an upper-case letter there is no bad switch.
    CommandLineState q = Parse("-l \"D:\\x -Data\\f-d.bin\" -e", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(q.testFile, "D:\\x -Data\\f-d.bin");
    EXPECT_EQ(q.switchOrder, "le");
}

TEST(TestFile, QuestionMarkIsTheProgramFolderOrItsDrive)
{
    EXPECT_EQ(Parse("-l ?").testFile, "E:\\");
    EXPECT_EQ(Parse("-l ?", nullptr, "\\\\server\\share\\bin\\Quellmor.exe").testFile,
              "\\\\server\\share\\bin\\");
    EXPECT_EQ(ProgramFolderForTestFile("Quellmor.exe"), "");
}

TEST(IniPath, NamedAfterTheProgramBesideIt)
{
    EXPECT_EQ(DeriveIniPath("C:\\Tools\\Quellmor.exe"), "C:\\Tools\\Quellmor.ini");
    EXPECT_EQ(DeriveIniPath("C:\\a.b\\Quellmor"), "C:\\a.b\\Quellmor.ini");
    EXPECT_EQ(DeriveIniPath("/opt/q/Quellmor.backup"), "/opt/q/Quellmor.backup.ini");
    EXPECT_EQ(DeriveIniPath("D:\\x\\Prog.ab"), "D:\\x\\Prog.ini");
    EXPECT_EQ(DeriveIniPath("Prog.exe"), "Prog.ini");
}

TEST(Flags, ChosenBlockKindTakesTheFirstOfSeveral)
{
    EXPECT_EQ(ChosenBlockKind(0x7000), 0x1000u);
    EXPECT_EQ(ChosenBlockKind(0x6000), 0x2000u);
    EXPECT_EQ(ChosenBlockKind(0x4000), 0x4000u);
    EXPECT_EQ(ChosenBlockKind(0), 0x1000u);
}

} // namespace

TEST(Switches, NChoosesFileAccessOnAFirstStartAndOverAStoredPage)
{
    // The help text's own example: read the biggest file of E:\ on the FileAccess page.
    CommandLineState s;
    s.flags = kFlagDefaults;
    ASSERT_EQ(ParseSwitches("-n -l e:\\ -m -r", kProgram, s), 1);
    EXPECT_EQ(s.flags & (kFlagBlockPage | kFlagFilePage), kFlagFilePage);
    EXPECT_EQ(s.flags & (kFlagBiggestFile | kFlagStartRead), kFlagBiggestFile | kFlagStartRead);
    // Stored QuickAccess (neither bit) or BlockAccess: the switch still wins.
    for (uint32_t stored : {0u, (uint32_t)kFlagBlockPage}) {
        const uint32_t merged = MergeStoredFlags(s.flags, stored, s.switchOrder);
        EXPECT_EQ(merged & (kFlagBlockPage | kFlagFilePage), kFlagFilePage) << stored;
    }
    // Without -n a stored page keeps its meaning.
    EXPECT_EQ(MergeStoredFlags(kFlagDefaults, kFlagBlockPage, "") & kFlagBlockPage, kFlagBlockPage);
}
