#include <gtest/gtest.h>
#include <set>
#include "app/pages/about/AboutText.h"
#include "app/settings/Switches.h"

// The whole help text, written out here independently of the switch table.
TEST(AboutText, WholeHelpText)
{
    const char* const expected =
        "QuickAccess Notes:\r\n"
        "You can skip the Random QD32 test by pressing the 'Ctrl' key while clicking the 'Start' button.\r\n"
        "\r\n"
        "BlockAccess Notes:\r\n"
        "For best/correct BlockAccess test results, use the entry with \\\\.\\<drive letter>: without any "
        "extension like 'track...'. \r\n"
        "Further, ensure that the read duration [second value of transfer speed] is larger than 1 second. If "
        "it's too short, increase 'calc speed every n'th access'.\r\n"
        "\r\n"
        "FileAccess Function Keys:\r\n"
        "F2\t\tstart write test\r\n"
        "F9\t\tstart read test\r\n"
        "F5\t\trefresh filebrowser\r\n"
        "\r\n"
        "FileAccess Command line options:\r\n"
        "-a\t\tstart with BlockAccess\r\n"
        "-n\t\tstart with FileAccess\r\n"
        "-c\t\tuse buffering\r\n"
        "-b\t\tdon't use buffering\r\n"
        "-d\t\tsave read data\r\n"
        "-e\t\tdon't save read date\r\n"
        "-p\t\tuse preread\r\n"
        "-f\t\tdon't use preread\r\n"
        "-g\t\tuse smooth scrollbar\r\n"
        "-h\t\tdon't use smooth scrollbar\r\n"
        "-m\t\tsearch for biggest file\r\n"
        "-r\t\tstart file read test\r\n"
        "-w\t\tstart file write test\r\n"
        "-i size_in_byte\tspecify file size\r\n"
        "-j size_in_byte\tspecify block size\r\n"
        "-k size_in_byte\tspecify pre read size\r\n"
        "-l test_file\tspecify test file name\r\n"
        "-o\t\tselect linear block test\r\n"
        "-q\t\tselect random block test\r\n"
        "-s\t\tselect seek block test\r\n"
        "-t\t\tsearch for fastest file\r\n"
        "-u\t\tdon't search for fastest file\r\n"
        "-v\t\tdon't search for biggest file\r\n"
        "-x\t\tsupport floppy drives\r\n"
        "-z\t\tportable version\r\n"
        "\r\n"
        "Example: -n -l e:\\ -m -r will search for biggest file on drive e: and test the speed on this file";
    EXPECT_EQ(BuildAboutHelpText(), expected);
}

// Every letter the parser accepts has exactly one row; only "-y" stays out of the help.
TEST(AboutText, SwitchTableCoversEveryLetterOnce)
{
    std::set<char> letters;
    for (size_t i = 0; i < kSwitchCount; ++i) {
        const C_SwitchRow& row = kSwitchTable[i];
        EXPECT_TRUE(letters.insert(row.letter).second) << row.letter;
        EXPECT_EQ(FindSwitch(row.letter), &row);
        EXPECT_EQ(row.words == nullptr, row.letter == 'y') << row.letter;
    }
    EXPECT_EQ(letters.size(), 26u);
    EXPECT_EQ(FindSwitch('A'), nullptr);
}
