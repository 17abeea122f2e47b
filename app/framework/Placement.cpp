#include "app/framework/Placement.h"
#include <string>
#include "app/framework/PlacementText.h"

namespace {
// Sent to a window once its stored placement is back (unless kPlaceNoNotify), so that it can
// lay out its contents for the new size.
const UINT kMsgPlacementRestored = WM_USER + 2;
} // namespace

int SaveWindowPlacement(HWND window, HKEY root, const char* keyPath, const char* valueName, uint32_t options)
{
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(window, &wp))
        return 0;
    int show = (int)wp.showCmd;
    if (!IsWindowVisible(window) && !(options & kPlaceSaveHiddenState))
        show = 0;
    PlacementRect r{(int)wp.rcNormalPosition.left, (int)wp.rcNormalPosition.top,
                    (int)wp.rcNormalPosition.right, (int)wp.rcNormalPosition.bottom};
    std::string text = FormatPlacement(show, r);
    HKEY key;
    if (RegCreateKeyA(root, keyPath, &key) != ERROR_SUCCESS)
        return 0;
    LONG written =
        RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)text.c_str(), (DWORD)text.size() + 1);
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

// True when the point lies on a monitor; the nearest monitor's work area goes to work.
static bool PointOnMonitor(POINT pt, RECT* work, bool* available)
{
    typedef HMONITOR(WINAPI * FromPointFn)(POINT, DWORD);
    typedef BOOL(WINAPI * InfoFn)(HMONITOR, LPMONITORINFO);
    HMODULE user = GetModuleHandleA("user32.dll");
    FromPointFn fromPoint = user ? (FromPointFn)GetProcAddress(user, "MonitorFromPoint") : nullptr;
    InfoFn info = user ? (InfoFn)GetProcAddress(user, "GetMonitorInfoA") : nullptr;
    *available = fromPoint && info;
    if (!*available)
        return true;
    if (fromPoint(pt, MONITOR_DEFAULTTONULL))
        return true;
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    HMONITOR nearest = fromPoint(pt, MONITOR_DEFAULTTONEAREST);
    if (!nearest || !info(nearest, &mi)) {
        *available = false;
        return true;
    }
    *work = mi.rcWork;
    return false;
}

int RestoreWindowPlacement(HWND window, HKEY root, const char* keyPath, const char* valueName,
                           uint32_t options)
{
    char text[261] = "";
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, size = sizeof(text) - 1;
    LONG read = RegQueryValueExA(key, valueName, nullptr, &type, (BYTE*)text, &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ)
        return 0;
    text[sizeof(text) - 1] = 0;
    int show = 0;
    PlacementRect stored;
    if (!ParsePlacement(text, &show, &stored))
        return 0;

    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(window, &wp);
    PlacementRect current{(int)wp.rcNormalPosition.left, (int)wp.rcNormalPosition.top,
                          (int)wp.rcNormalPosition.right, (int)wp.rcNormalPosition.bottom};
    PlacementRect r = KeepCurrent(stored, current, options);
    show = AdjustShowCommand(show, options);

    RECT work;
    bool available = false;
    bool topLeft = PointOnMonitor(POINT{r.left, r.top}, &work, &available);
    if (available) {
        RECT workBottom;
        bool bottomRight = PointOnMonitor(POINT{r.right - 1, r.bottom - 1}, &workBottom, &available);
        if (available && NeedsMonitorMove(topLeft, bottomRight, options))
            r = MoveIntoWorkArea(
                r, PlacementRect{(int)work.left, (int)work.top, (int)work.right, (int)work.bottom});
    }
    wp.showCmd = (UINT)show;
    wp.flags = 0;
    wp.rcNormalPosition = RECT{r.left, r.top, r.right, r.bottom};
    if (!SetWindowPlacement(window, &wp))
        return 0;
    if (!(options & kPlaceNoNotify) && show != 3)
        SendMessageA(window, kMsgPlacementRestored, 0, 0);
    return 1;
}
