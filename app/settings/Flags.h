// The application's flag word: bit names, the stored subset and the switch letters.
#pragma once
#include <cstdint>
#include <string>

enum : uint32_t {
    kFlagBlockPage = 0x1,
    kFlagStartRead = 0x2,
    kFlagStartWrite = 0x4,
    kFlagPreRead = 0x8,
    kFlagNoBuffering = 0x10,
    kFlagSaveReadData = 0x20,
    kFlagBiggestFile = 0x40,
    kFlagSmoothProgress = 0x80,
    kFlagWriteThrough = 0x100,
    kFlagRunLinear = 0x200,
    kFlagRunRandom = 0x400,
    kFlagRunSeek = 0x800,
    kFlagKindLinear = 0x1000,
    kFlagKindRandom = 0x2000,
    kFlagKindSeek = 0x4000,
    kFlagShowGraph = 0x8000,
    kFlagExpert = 0x10000,
    kFlagNoSmoothProgress = 0x20000,
    kFlagUdmaCrc = 0x40000,
    kFlagRunReads = 0x80000,
    kFlagRunWrites = 0x100000,
    kFlagFastestFile = 0x200000,
    kFlagSizeFromCommandLine = 0x400000,
    kFlagFilePageUpdating = 0x800000,
    kFlagFloppies = 0x1000000,
    kFlagFilePage = 0x2000000,
    kFlagPortable = 0x4000000,
    kFlagCheckPage = 0x8000000,
};

// Pre-read, no buffering, linear block test, show graph: the word before anything is read.
const uint32_t kFlagDefaults = kFlagPreRead | kFlagNoBuffering | kFlagKindLinear | kFlagShowGraph;
// The bits that choose the page shown first; the page table says which bit shows which page.
const uint32_t kFlagPageChoiceMask = kFlagBlockPage | kFlagFilePage | kFlagCheckPage;
// The bits kept in the stored "Flags" value; the others live for one run only.
const uint32_t kFlagSaveMask = kFlagPageChoiceMask | kFlagPreRead | kFlagNoBuffering | kFlagSaveReadData |
                               kFlagBiggestFile | kFlagSmoothProgress | kFlagWriteThrough | kFlagKindLinear |
                               kFlagKindRandom | kFlagKindSeek | kFlagShowGraph | kFlagExpert | kFlagUdmaCrc |
                               kFlagFastestFile;
// Stored values written by earlier versions read the same; CheckAccess's bit came later and
// was never set in them.
static_assert(kFlagDefaults == 0x9018, "the default flag word is unchanged");
static_assert((kFlagSaveMask & ~kFlagCheckPage) == 0x225F1F9, "the stored flag bits are unchanged");
const uint32_t kFlagKindMask = kFlagKindLinear | kFlagKindRandom | kFlagKindSeek;
// The bits that say which block run is under way: its kind and its direction.
const uint32_t kFlagRunMask = kFlagRunLinear | kFlagRunRandom | kFlagRunSeek | kFlagRunReads | kFlagRunWrites;

// The flag word after the switch letter ('a'..'z') is applied; letters that change no
// bit (i, j, k, l, and anything else) leave it alone.
uint32_t ApplyFlagSwitch(uint32_t flags, char letter);
// True for letters whose switch changes the flag word and is replayed over stored flags.
bool IsFlagSwitch(char letter);
// Stored bits inside the save mask replace the current ones, then the command line's
// flag switches (in their order) are applied again so they win over the stored value.
uint32_t MergeStoredFlags(uint32_t current, uint32_t stored, const std::string& switchOrder);
// The chosen block test kind of a possibly hand-edited word: the first of linear, random
// and seek that is set; linear when none is.
uint32_t ChosenBlockKind(uint32_t flags);
