// The hint a speed test adds when a USB drive is slow for its port, or sits on a port slower
// than the drive. Pure.
#pragma once
#include <string>

// USB speed classes of a drive's identity record; -1 when it has none.
enum { kUsbHighSpeed = 2, kUsb3OnUsb2 = 3, kUsb3AtHighSpeed = 4, kUsbSuperSpeed = 5 };
// Appends the hint for a pass of the given direction (1 = write) to hint.
void AppendUsbHint(std::string& hint, int speedClass, int direction, float bytesPerSecond);
