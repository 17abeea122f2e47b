// What the in-process FileAccess page tests share: reading a control and waiting for the
// page's worker while dispatching the calls it makes on the page.
#pragma once
#include <windows.h>
#include <string>
#include "app/pages/file/FileAccess.h"
#include "tests/app/PageTestHost.h"

inline std::string ItemText(HWND page, int id)
{
    char text[512] = "";
    GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

// Dispatches messages until the worker has ended (it calls the page synchronously).
inline bool PumpUntilIdle(C_FileAccess& page, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        PumpPendingMessages();
        Sleep(10);
    } while (page.IsWorkerRunning() && GetTickCount() - start < timeoutMs);
    return !page.IsWorkerRunning();
}
