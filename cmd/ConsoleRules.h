// Decisions and texts of the console run that need no operating system.
#pragma once
#include <cstdint>
#include <string>

struct C_LatencyPercentiles;
struct C_ReportFigure;

// Exit codes of QuellmorCmd (documented in the README).
enum ConsoleExit {
    kExitOk = 0,          // the test ran, or -s 0 / -b 0 asked for none
    kExitUsage = 1,       // the command line could not be parsed
    kExitBadValue = 2,    // a size or block size that cannot be used
    kExitCannotStart = 3, // no memory for the buffer, or the test folder cannot be made
    kExitPassFailed = 4,  // the write or read pass failed
    kExitDataLost = 5     // a check (-v 1, -f 1) read back data that was not what it wrote
};

// What standard output carries (-o).
enum ConsoleReport { kReportText = 0, kReportJson = 1, kReportCsv = 2 };

struct C_RunPlan {
    int runTest = 0;        // 0: nothing to test (size or block size 0)
    uint64_t fileSize = 0;  // bytes
    uint32_t blockSize = 0; // bytes
    int exitCode = kExitOk;
    std::string error; // console text when the values are refused
};

// Checks -s (MiB) and -b (KiB) and turns them into bytes.
C_RunPlan PlanConsoleRun(int64_t sizeMiB, int64_t blockKiB);

// -f 1: the fill of the free space, which -s limits only when given; fileSize 0 is all of it.
C_RunPlan PlanFillRun(int64_t sizeMiB, int sizeGiven, int64_t blockKiB);

// The check writes its own files and removes them at its end, which leaves the random passes no
// file of this run to work in: the refusal's console text, empty when the options go together.
std::string CheckVerifyOptions(int verify, int random);

// "filled 3 of 14.6 GiB\n" (writing) or "verified 3 of 14.6 GiB\n": a fill's progress.
std::string FormatFillProgress(int writing, uint64_t doneBytes, uint64_t totalBytes);

// The log record's result part, with its line end.
std::string FormatLogResults(const std::string& readText, uint32_t readMiB, const std::string& writeText,
                             uint32_t writeMiB);

// Checks -o (empty, "json" or "csv", any case) and -n (1 to kMaxConsoleRuns); the refusal's
// console text, empty when both can be used.
enum { kMaxConsoleRuns = 1000 };
std::string CheckReportOptions(const std::string& format, int64_t runs, ConsoleReport* report);

// The console lines of the repeated figures and the random passes, each with its line end:
//   "random-read: IOPS 2999.5 latency-us p50 312.4 p90 401.0 p99 890.2 p99.9 1520.0 max 8012.3"
// (latencies in microseconds),
//   "random-read: failed: read at byte 81920, error 5 - Access is denied."
//   "summary: random-read iops median 2999.5 best 3001.2 spread 0.4% of 3 runs"
std::string FormatRandomLine(const std::string& pass, double iops, const C_LatencyPercentiles& latency);
std::string FormatRandomFailure(const std::string& pass, const std::string& operation, uint64_t position,
                                uint32_t error, const std::string& errorText);
std::string FormatSummaryLine(const C_ReportFigure& figure);
