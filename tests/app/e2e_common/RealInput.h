// Real input through the system's queue: the program sees the pointer move, the buttons
// and the held keys as a user's.
#pragma once
#include <windows.h>
#include "tests/app/e2e_common/GuiE2e.h"

namespace e2e {

inline void BringToFront(HWND top)
{
    if (GetForegroundWindow() != top) {
        for (int i = 0; i < 20 && GetForegroundWindow() != top; ++i) {
            SetForegroundWindow(top);
            Sleep(100);
        }
        // Taking the focus makes Wine read the keyboard's state from the X server again;
        // a Ctrl pressed before that would be forgotten.
        Sleep(1000);
    }
    CHECK(GetForegroundWindow() == top, "the program did not come to the front");
}

inline INPUT MouseInput(DWORD flags, int x = 0, int y = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    return in;
}

inline INPUT KeyInput(WORD key, DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = flags;
    return in;
}

// Real clicks at a screen point through the input queue, so that the program's own key
// state sees a held Ctrl.
inline void ClickAt(HWND top, POINT at, bool withCtrl, int clicks)
{
    BringToFront(top);
    // The pointer goes first: entering a window makes Wine take the keyboard's state from the
    // X server again, which would release an injected Ctrl.
    INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at.x, at.y);
    SendInput(1, &move, sizeof(INPUT));
    Sleep(500);
    INPUT ctrlDown = KeyInput(VK_CONTROL, 0), ctrlUp = KeyInput(VK_CONTROL, KEYEVENTF_KEYUP);
    if (withCtrl) {
        SendInput(1, &ctrlDown, sizeof(INPUT));
        Sleep(200);
    }
    for (int i = 0; i < clicks; ++i) {
        INPUT press[2] = {MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
        SendInput(1, press, sizeof(INPUT));
        Sleep(50);
        SendInput(1, press + 1, sizeof(INPUT));
        Sleep(50);
    }
    Sleep(300);
    if (withCtrl)
        SendInput(1, &ctrlUp, sizeof(INPUT));
}

inline void CtrlClick(HWND page, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(page, id), &r);
    ClickAt(GetAncestor(page, GA_ROOT), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, true, 1);
}

} // namespace e2e
