// Decisions of a QuickAccess run that need no window: the file size typed in the combo,
// the colour of a sequential result, the log line, the live texts and the random results' tooltip.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "app/pages/common/model/DriveEntries.h"
#include "core/engines/LatencyHistogram.h"

// Colours as the system packs them: red in the low byte.
enum : uint32_t {
    kColourGrey = 0x808080,    // results before their pass
    kColourDarkRed = 0x0000C0, // a sequential result with a hint
    kColourGreen = 0x00C000,   // a sequential result without a hint
    kColourDarkGrey = 0x404040 // random results
};

// Bytes of the test file for the combo's text: leading blanks, then decimal MiB; anything
// else after the digits is ignored. 0 when there are no digits or the byte count would not
// fit in 64 bits (a run is then refused rather than started with a wrapped size).
uint64_t QuickFileSizeBytes(const std::string& text);
inline uint32_t SequentialResultColour(const std::string& hint)
{
    return hint.empty() ? kColourGreen : kColourDarkRed;
}
// The tooltip of a random result: "Latency p50 0.19 ms, p90 0.91 ms, p99 4.74 ms, p99.9 28.38 ms,
// max 89.08 ms"; empty when no access was timed.
std::string FormatLatencyTip(const C_LatencyPercentiles& latency);

// What one run works on, taken from the controls on the GUI thread when the run starts: the
// worker never reads a control or the page's entries, which a refresh may replace.
struct C_QuickPlannedDrive {
    C_DriveEntry entry;     // a copy of the chosen entry
    int usbSpeedClass = -1; // -1: no USB hint (filled in from the device list)
};
struct C_QuickRunPlan {
    uint64_t fileSize = 0; // bytes; 0 means no run
    uint32_t blockSize = 0;
    int skipRandom = 0;
    std::vector<C_QuickPlannedDrive> drives; // in list order
};
// chosen: indexes into entries of the selected list items (others are ignored).
C_QuickRunPlan MakeQuickRunPlan(const std::string& sizeText, int block64k, int skipRandom,
                                const std::vector<C_DriveEntry>& entries, const std::vector<int>& chosen);

// One drive's line of the desktop log.
std::string FormatDriveLogLine(const std::string& driveText, const std::string& seqRead,
                               const std::string& randomRead, const std::string& seqWrite,
                               const std::string& randomWrite);

// Progress bar position (0..100) of the random passes for timer 1.
uint32_t RandomProgress(uint32_t seconds);
// Live speed texts of timer 2.
std::string LiveSequentialText(uint64_t bytesDone, uint64_t elapsedMicroseconds);
std::string LiveRandomText(uint32_t accesses, uint64_t elapsedMicroseconds);
