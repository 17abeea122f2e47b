// Pure arithmetic and texts of the speed tests: rates, USB hints and pass messages.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct C_EngineResult;

// Who reads a message: a GUI message box or console output.
enum MessageStyle { kStyleGui = 0, kStyleConsole = 1 };

struct C_RateResult {
    int tooFast = 0; // no clock tick passed: "[too fast]"
    float bytesPerSecond = 0;
    uint32_t mibPerSecond = 0;
    std::string text; // "45.3 MByte/sec" or "[too fast]"
};

// Rate of bytes moved in elapsed microseconds (1 ms steps).
C_RateResult ComputeRate(uint64_t bytes, uint64_t elapsedMicroseconds);

// USB speed classes of a drive's identity record; -1 when it has none.
enum { kUsbHighSpeed = 2, kUsb3OnUsb2 = 3, kUsb3AtHighSpeed = 4, kUsbSuperSpeed = 5 };
// Appends the hint for a pass of the given direction (1 = write) to hint.
void AppendUsbHint(std::string& hint, int speedClass, int direction, float bytesPerSecond);

enum SeqMessage {
    kSeqOpenFailed,
    kSeqSeekEndFailed,
    kSeqSetEndFailed,
    kSeqSeekStartFailed,
    kSeqWriteFailed,
    kSeqReadFailed,
    kSeqFlushFailed
};
struct C_SeqMessageArgs {
    const char* path = "";
    uint32_t error = 0;
    const char* errorText = "";
    uint32_t blockSize = 0;
    uint64_t position = 0;
    uint64_t fileSize = 0;
};
std::string FormatSeqMessage(MessageStyle style, SeqMessage id, const C_SeqMessageArgs& a);

// The median of count values (the mean of the middle two for an even count); 0 for none.
double MedianOf(const double* values, size_t count);

// Random test: the access position for a 15-bit random value r in a file of size bytes.
uint64_t RandomAccessPosition(uint64_t fileSize, uint32_t r);
// "12.3 MByte/sec, 3149.6 IOPS, 0.32 ms"
std::string FormatAccessResult(uint32_t accesses, uint64_t elapsedMicroseconds);
// The same line for a random engine's result; empty when the run was stopped (its figure
// would not be one of the whole measuring time) or counted nothing. A run that failed in one
// thread still has the figure of the others.
std::string FormatAccessResult(const C_EngineResult& result);
// Progress bar position (0..100) of a pass: done / (total / 100) in whole numbers, 0 while
// the total is below 100 bytes.
uint32_t ProgressPercent(uint64_t done, uint64_t total);
