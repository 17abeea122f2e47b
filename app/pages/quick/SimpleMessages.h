// Messages the QuickAccess worker sends (synchronously) to its page's window.
#pragma once
#include <windows.h>
#include <cstdint>

enum : UINT {
    kMsgQuickRunState = WM_APP + 0x151, // wParam 1: running, 0: idle
    kMsgQuickResult = WM_APP + 0x152    // wParam control id, lParam C_QuickResultMessage*
};

struct C_QuickResultMessage {
    const char* text;
    uint32_t colour;
};
