#include "app/settings/Flags.h"

bool IsFlagSwitch(char letter)
{
    return letter >= 'a' && letter <= 'z' && letter != 'i' && letter != 'j' && letter != 'k' && letter != 'l';
}

uint32_t ApplyFlagSwitch(uint32_t flags, char letter)
{
    switch (letter) {
    case 'a':
        return flags | kFlagBlockPage;
    case 'b':
        return flags | kFlagNoBuffering;
    case 'c':
        return flags & ~kFlagNoBuffering;
    case 'd':
        return flags | kFlagSaveReadData;
    case 'e':
        return flags & ~kFlagSaveReadData;
    case 'f':
        return flags & ~kFlagPreRead;
    case 'g':
        return flags | kFlagSmoothProgress;
    case 'h':
        return flags & ~kFlagSmoothProgress;
    case 'i':
        return flags | kFlagSizeFromCommandLine;
    case 'm':
        return flags | kFlagBiggestFile;
    case 'n':
        return flags & ~kFlagBlockPage;
    case 'o':
        return (flags & ~kFlagKindMask) | kFlagKindLinear;
    case 'p':
        return flags | kFlagPreRead;
    case 'q':
        return (flags & ~kFlagKindMask) | kFlagKindRandom;
    case 'r':
        return flags | kFlagStartRead;
    case 's':
        return (flags & ~kFlagKindMask) | kFlagKindSeek;
    case 't':
        return flags | kFlagFastestFile;
    case 'u':
        return flags & ~kFlagFastestFile;
    case 'v':
        return flags & ~kFlagBiggestFile;
    case 'w':
        return flags | kFlagStartWrite;
    case 'x':
        return flags | kFlagFloppies;
    case 'y':
        return flags & ~kFlagFilePage;
    case 'z':
        return flags | kFlagPortable;
    default:
        return flags;
    }
}

uint32_t MergeStoredFlags(uint32_t current, uint32_t stored, const std::string& switchOrder)
{
    uint32_t flags = (current & ~kFlagSaveMask) | (stored & kFlagSaveMask);
    for (char letter : switchOrder)
        if (IsFlagSwitch(letter))
            flags = ApplyFlagSwitch(flags, letter);
    return flags;
}

uint32_t ChosenBlockKind(uint32_t flags)
{
    if (flags & kFlagKindLinear)
        return kFlagKindLinear;
    if (flags & kFlagKindRandom)
        return kFlagKindRandom;
    if (flags & kFlagKindSeek)
        return kFlagKindSeek;
    return kFlagKindLinear;
}
