// The values the application object itself keeps in the settings store: the flag word and
// the file test parameters.
#pragma once
#include <cstdint>
#include <string>
#include "app/settings/CommandLine.h"
#include "app/settings/SettingsStore.h"

struct AppValues {
    uint32_t flags = 0x9018;
    uint64_t fileSize = 0;
    uint32_t blockSize = 65536;
    uint64_t preReadSize = 3145728;
    std::string testFile;
};

// A stored number text: blanks, then at least one decimal digit. Saturates on overflow.
bool ParseStoredNumber(const char* text, uint64_t* value);

// Copies what the command line decided (flags and the value switches) into the values.
void TakeCommandLine(const CommandLineState& line, AppValues& values);
// Reads the stored values over the defaults; the command line keeps precedence.
void LoadAppValues(I_SettingsStore& store, const CommandLineState& line, AppValues& values);
// Writes the flag word (stored bits only) and the file test parameters.
void SaveAppValues(I_SettingsStore& store, const AppValues& values);
