#include "app/settings/Flags.h"
#include "app/settings/Switches.h"

bool IsFlagSwitch(char letter)
{
    return letter >= 'a' && letter <= 'z' && letter != 'i' && letter != 'j' && letter != 'k' && letter != 'l';
}

uint32_t ApplyFlagSwitch(uint32_t flags, char letter)
{
    const C_SwitchRow* row = FindSwitch(letter);
    return row ? (flags & ~row->clear) | row->set : flags;
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
