// Decisions and texts of the console run that need no operating system.
#pragma once
#include <cstdint>
#include <string>

// Exit codes of QuellmorCmd (documented in the README).
enum ConsoleExit {
    kExitOk = 0,          // the test ran, or -s 0 / -b 0 asked for none
    kExitUsage = 1,       // the command line could not be parsed
    kExitBadValue = 2,    // a size or block size that cannot be used
    kExitCannotStart = 3, // no memory for the buffer, or the test folder cannot be made
    kExitPassFailed = 4   // the write or read pass failed
};

struct C_RunPlan {
    int runTest = 0;        // 0: nothing to test (size or block size 0)
    uint64_t fileSize = 0;  // bytes
    uint32_t blockSize = 0; // bytes
    int exitCode = kExitOk;
    std::string error; // console text when the values are refused
};

// Checks -s (MiB) and -b (KiB) and turns them into bytes.
C_RunPlan PlanConsoleRun(int64_t sizeMiB, int64_t blockKiB);

// The log record's result part, with its line end.
std::string FormatLogResults(const std::string& readText, uint32_t readMiB, const std::string& writeText,
                             uint32_t writeMiB);
