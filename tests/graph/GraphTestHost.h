// A plain top-level window to hold a graph control in tests and the benchmark, and the
// message pumping they share.
#pragma once
#include <windows.h>

inline void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds)
            Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

// One visible top-level window for the whole test program: hiding or destroying a top-level
// window makes Wine wait two seconds for the display, so it is resized instead of remade.
inline HWND GraphTestHost(int width, int height)
{
    static HWND host = nullptr;
    if (!host) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
        wc.lpszClassName = "QmGraphTestHost";
        RegisterClassA(&wc);
        host = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "graph test", WS_POPUP | WS_VISIBLE, 20,
                               20, width, height, nullptr, nullptr, wc.hInstance, nullptr);
    } else {
        MoveWindow(host, 20, 20, width, height, TRUE);
    }
    return host;
}
