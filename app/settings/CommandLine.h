// The GUI program's command line: switches "-a" to "-z", numbers after "-i", "-j",
// "-k" and a file name after "-l".
#pragma once
#include <cstdint>
#include <string>
#include "core/Text.h" // SkipProgramName comes first on the program's command line

struct CommandLineState {
    uint32_t flags = 0;
    uint64_t fileSize = 0;
    uint32_t blockSize = 0;
    uint64_t preReadSize = 0;
    std::string testFile;
    // Which of the value switches appeared, so the settings do not override them.
    bool fileSizeGiven = false;
    bool blockSizeGiven = false;
    bool preReadSizeGiven = false;
    bool testFileGiven = false;
    // Every switch letter in command-line order, replayed over the stored flags.
    std::string switchOrder;
};

// The folder of a program path with its trailing separator, cut to "X:\" when the path
// starts with a drive letter; this is the meaning of "-l ?".
std::string ProgramFolderForTestFile(const std::string& programPath);
// Applies every switch of the arguments (program name already skipped) to state.
// Returns 1 when every "-" was followed by a lower-case letter, else 0 (parsing goes on).
// A value (the digits of "-i", "-j", "-k", the file name of "-l") is consumed whole, so a
// "-" inside it is not taken for another switch.
int ParseSwitches(const char* arguments, const std::string& programPath, CommandLineState& state);
