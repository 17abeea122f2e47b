// The stored form of a window placement and the rules applied when it is restored.
#pragma once
#include <string>

struct PlacementRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

enum : unsigned {
    kPlaceKeepSize = 0x1,
    kPlaceAllowMinimized = 0x2,
    kPlaceNoNotify = 0x4,
    kPlaceKeepPosition = 0x8,
    kPlaceAllowHidden = 0x10,
    kPlaceForceHidden = 0x20,
    kPlaceSaveHiddenState = 0x40,
    kPlaceForceMaximizedInactive = 0x80,
    kPlaceBothCorners = 0x100,
    kPlaceNoMonitorCheck = 0x200,
};

// "show,left,top,right,bottom".
std::string FormatPlacement(int show, const PlacementRect& rect);
// True when all five numbers were read.
bool ParsePlacement(const char* text, int* show, PlacementRect* rect);
// Show command after the restore options: minimised and hidden become normal unless
// allowed, 0x20 forces hidden, 0x80 forces 7 (minimised, not active).
int AdjustShowCommand(int show, unsigned options);
// The stored rectangle with the current size and/or position kept as the options ask.
PlacementRect KeepCurrent(const PlacementRect& stored, const PlacementRect& current, unsigned options);
// Whether the rectangle must be brought back onto a monitor, given which of its corners
// lie on one.
bool NeedsMonitorMove(bool topLeftOnMonitor, bool bottomRightOnMonitor, unsigned options);
// The rectangle moved, size kept, so its top-left corner is 10 pixels inside the work area.
PlacementRect MoveIntoWorkArea(const PlacementRect& rect, const PlacementRect& workArea);
