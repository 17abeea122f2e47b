#include "app/framework/PlacementText.h"
#include <cstdio>

std::string FormatPlacement(int show, const PlacementRect& rect)
{
    char text[80];
    snprintf(text, sizeof(text), "%d,%i,%i,%i,%i", show, rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

bool ParsePlacement(const char* text, int* show, PlacementRect* rect)
{
    PlacementRect r;
    int s = 0;
    if (sscanf(text, "%d,%i,%i,%i,%i", &s, &r.left, &r.top, &r.right, &r.bottom) != 5)
        return false;
    *show = s;
    *rect = r;
    return true;
}

int AdjustShowCommand(int show, unsigned options)
{
    if (!(options & kPlaceAllowMinimized) && show == 2)
        show = 1;
    if (!(options & kPlaceAllowHidden) && show == 0)
        show = 1;
    if (options & kPlaceForceHidden)
        show = 0;
    if (options & kPlaceForceMaximizedInactive)
        show = 7;
    return show;
}

PlacementRect KeepCurrent(const PlacementRect& stored, const PlacementRect& current, unsigned options)
{
    PlacementRect r = stored;
    int width = r.right - r.left, height = r.bottom - r.top;
    if (options & kPlaceKeepSize) {
        width = current.right - current.left;
        height = current.bottom - current.top;
    }
    if (options & kPlaceKeepPosition) {
        r.left = current.left;
        r.top = current.top;
    }
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

bool NeedsMonitorMove(bool topLeftOnMonitor, bool bottomRightOnMonitor, unsigned options)
{
    if (options & kPlaceNoMonitorCheck)
        return false;
    if (topLeftOnMonitor)
        return false;
    return !(options & kPlaceBothCorners) || !bottomRightOnMonitor;
}

PlacementRect MoveIntoWorkArea(const PlacementRect& rect, const PlacementRect& workArea)
{
    PlacementRect r;
    r.left = workArea.left + 10;
    r.top = workArea.top + 10;
    r.right = r.left + (rect.right - rect.left);
    r.bottom = r.top + (rect.bottom - rect.top);
    return r;
}
