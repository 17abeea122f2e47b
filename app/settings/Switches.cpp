#include "app/settings/Switches.h"
#include "app/settings/Flags.h"

const C_SwitchRow kSwitchTable[] = {
    {'a', nullptr, "start with BlockAccess", 0, kFlagBlockPage},
    // Chooses FileAccess also on a first start, which has no stored page.
    {'n', nullptr, "start with FileAccess", kFlagBlockPage, kFlagFilePage},
    {'c', nullptr, "use buffering", kFlagNoBuffering, 0},
    {'b', nullptr, "don't use buffering", 0, kFlagNoBuffering},
    {'d', nullptr, "save read data", 0, kFlagSaveReadData},
    {'e', nullptr, "don't save read date", kFlagSaveReadData, 0},
    {'p', nullptr, "use preread", 0, kFlagPreRead},
    {'f', nullptr, "don't use preread", kFlagPreRead, 0},
    {'g', nullptr, "use smooth scrollbar", 0, kFlagSmoothProgress},
    {'h', nullptr, "don't use smooth scrollbar", kFlagSmoothProgress, 0},
    {'m', nullptr, "search for biggest file", 0, kFlagBiggestFile},
    {'r', nullptr, "start file read test", 0, kFlagStartRead},
    {'w', nullptr, "start file write test", 0, kFlagStartWrite},
    {'i', "size_in_byte", "specify file size", 0, kFlagSizeFromCommandLine},
    {'j', "size_in_byte", "specify block size", 0, 0},
    {'k', "size_in_byte", "specify pre read size", 0, 0},
    {'l', "test_file", "specify test file name", 0, 0},
    {'o', nullptr, "select linear block test", kFlagKindMask, kFlagKindLinear},
    {'q', nullptr, "select random block test", kFlagKindMask, kFlagKindRandom},
    {'s', nullptr, "select seek block test", kFlagKindMask, kFlagKindSeek},
    {'t', nullptr, "search for fastest file", 0, kFlagFastestFile},
    {'u', nullptr, "don't search for fastest file", kFlagFastestFile, 0},
    {'v', nullptr, "don't search for biggest file", kFlagBiggestFile, 0},
    {'x', nullptr, "support floppy drives", 0, kFlagFloppies},
    {'z', nullptr, "portable version", 0, kFlagPortable},
    {'y', nullptr, nullptr, kFlagFilePage, 0},
};
const size_t kSwitchCount = sizeof(kSwitchTable) / sizeof(kSwitchTable[0]);

const C_SwitchRow* FindSwitch(char letter)
{
    for (const C_SwitchRow& row : kSwitchTable)
        if (row.letter == letter)
            return &row;
    return nullptr;
}

std::string SwitchHelpLines()
{
    std::string text;
    for (const C_SwitchRow& row : kSwitchTable) {
        if (!row.words)
            continue;
        text += '-';
        text += row.letter;
        text += row.argument ? std::string(" ") + row.argument + "\t" : std::string("\t\t");
        text += row.words;
        text += "\r\n";
    }
    return text;
}
