// A finished test as data, for the machine-readable outputs: what ran, where, with which
// settings, and per run each pass's figures or what failed. Filled by the program that ran
// the test; written out by the formatters below, which return strings and print nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "core/check/CheckVerdict.h"
#include "core/engines/Engine.h"
#include "core/engines/LatencyHistogram.h"

// The passes a test runs, by these names, in this order.
extern const char* const kReportPassNames[4]; // "sequential-write", ... "random-read"

struct C_ReportPass {
    std::string name;
    int random = 0; // its accesses, IOPS and latencies are reported
    C_EngineResult result;
    C_LatencyPercentiles latency; // nanoseconds, random passes
    std::string errorText;        // the system's text for result.failure.error; UTF-8
};

struct C_ReportRun {
    std::vector<C_ReportPass> passes; // in the order they ran; a run ends with its failed pass
    // A check's verdict, once its read pass has sorted every sector written.
    int verified = 0;
    C_CheckTally tally;
    uint64_t trustedBytes = 0; // the intact span from the start, in whole chunks
};

struct C_ReportSettings {
    uint64_t fileBytes = 0;
    uint32_t blockBytes = 0;
    int randomPasses = 0;
    uint32_t randomThreads = 32;
    uint32_t randomBlockBytes = 4096;
    uint32_t randomSeconds = 6;
    uint32_t runs = 1; // asked for; the report holds the runs that started
    int verify = 0;    // a check: stamped data read back and sorted (fileBytes: its limit, 0 for none)
    int fill = 0;      //   of the free space
};

// Where the test ran, as far as the program knows it. Strings are UTF-8, empty when unknown.
struct C_ReportTarget {
    std::string folder;
    std::string fileSystem;
    std::string device;
    int usbSpeedClass = -1; // the device list's class (kUsbHighSpeed, ...); -1 when not on USB
    int cacheBypass = -1;   // CacheBypass; -1 when not probed
};

struct C_Report {
    std::string program;   // "QuellmorCmd"
    std::string version;   // "1.0"
    std::string timestamp; // when the test started, as FormatUtcTimestamp gives it
    C_ReportSettings settings;
    C_ReportTarget target;
    std::vector<C_ReportRun> runs;
};

// One figure over the repeated runs, from the runs in which its pass completed.
struct C_ReportFigure {
    std::string pass;
    std::string figure; // the key it has in a pass: "bytes_per_second", "iops", "latency_p99_ns"
    uint32_t runs = 0;  // how many runs gave it
    double median = 0;
    double best = 0;          // the highest rate, the lowest latency
    double spreadPercent = 0; // (highest - lowest) / median, in percent
};
std::vector<C_ReportFigure> SummariseRuns(const C_Report& report);

// "complete", "failed" (a pass's failure ended the run), "interrupted" (stopped by the user)
// or "incomplete" (no pass ran, or one ended short without either).
const char* RunOutcome(const C_ReportRun& run);
// The pass whose failure ended the run; null when none failed.
const C_ReportPass* FailedPass(const C_ReportRun& run);
// Stable names for the outputs: "write", "seek-end", ...; "none" for kOpNone.
const char* EngineOpName(uint32_t op);
// "bypassed", "refused", "ignored", "memory"; null when unknown.
const char* CacheBypassName(int bypass);
// "usb1", "usb2", "usb3-on-usb2-controller", "usb3-at-usb2-speed", "usb3"; null when unknown.
const char* UsbSpeedName(int speedClass);
// "2026-12-09T07:49:02Z" for seconds since 1970-01-01 00:00 UTC.
std::string FormatUtcTimestamp(int64_t unixSeconds);

// The whole report as one JSON object (UTF-8, ending in a line break).
std::string FormatJsonReport(const C_Report& report);
// A header line, then one line per run; the same figures under the same names, prefixed with
// their pass ("random_read_iops").
std::string FormatCsvReport(const C_Report& report);
