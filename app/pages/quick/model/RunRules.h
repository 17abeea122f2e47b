// Decisions of a QuickAccess run that need no window: the file size typed in the combo,
// the colour of a sequential result, and the log's file name.
#pragma once
#include <cstdint>
#include <string>

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
// Desktop folder + "\Quellmor.txt".
std::string QuickLogPath(const std::string& desktop);
