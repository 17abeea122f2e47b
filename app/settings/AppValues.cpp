#include "app/settings/AppValues.h"
#include <cinttypes>
#include <cstdio>
#include "app/settings/Flags.h"

bool ParseStoredNumber(const char* text, uint64_t* value)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    uint64_t number = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        unsigned digit = (unsigned)(*p - '0');
        number = number > (UINT64_MAX - digit) / 10 ? UINT64_MAX : number * 10 + digit;
    }
    *value = number;
    return true;
}

void TakeCommandLine(const CommandLineState& line, AppValues& values)
{
    values.flags = line.flags;
    if (line.fileSizeGiven)
        values.fileSize = line.fileSize;
    if (line.blockSizeGiven)
        values.blockSize = line.blockSize;
    if (line.preReadSizeGiven)
        values.preReadSize = line.preReadSize;
    if (line.testFileGiven)
        values.testFile = line.testFile;
}

void LoadAppValues(I_SettingsStore& store, const CommandLineState& line, AppValues& values)
{
    // Reading with the current word as default makes "nothing stored" a no-op: replaying
    // the switches over a word they already shaped changes nothing.
    uint32_t stored = store.ReadNumber("Flags", values.flags);
    values.flags = MergeStoredFlags(values.flags, stored, line.switchOrder);

    std::string text;
    uint64_t number = 0;
    if (!line.fileSizeGiven && store.ReadText("FileSize", text) && ParseStoredNumber(text.c_str(), &number))
        values.fileSize = number;
    if (!line.blockSizeGiven && store.ReadText("BlockSize", text) && ParseStoredNumber(text.c_str(), &number))
        values.blockSize = (uint32_t)(number > UINT32_MAX ? UINT32_MAX : number);
    if (!line.preReadSizeGiven && store.ReadText("PreReadSize", text) &&
        ParseStoredNumber(text.c_str(), &number))
        values.preReadSize = number;
    if (!line.testFileGiven) {
        store.ReadText("TestFile", text);
        values.testFile = text;
    }
}

void SaveAppValues(I_SettingsStore& store, const AppValues& values)
{
    char text[32];
    store.WriteNumber("Flags", values.flags & kFlagSaveMask);
    snprintf(text, sizeof(text), "%" PRIu64, values.fileSize);
    store.WriteText("FileSize", text);
    snprintf(text, sizeof(text), "%" PRIu32, values.blockSize);
    store.WriteText("BlockSize", text);
    snprintf(text, sizeof(text), "%" PRIu64, values.preReadSize);
    store.WriteText("PreReadSize", text);
    store.WriteText("TestFile", values.testFile.c_str());
}
