// Whether the operating system offers the smooth progress bar style.
#pragma once

// True only on Windows 95, 98, ME, NT 4.0 and 2000.
bool IsSmoothProgressOffered();
// The rule itself: platform 1 is the 9x family, 2 the NT family.
bool SmoothProgressOfferedFor(unsigned platform, unsigned major, unsigned minor);
