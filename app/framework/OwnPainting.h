// The two messages every self-drawn control of the framework answers alike: the background
// is never erased on its own (the paint covers it, without flicker) and WM_PAINT draws
// through the control's paint function.
#pragma once
#include <windows.h>

template <class PaintFunction>
inline int HandleOwnPainting(HWND window, UINT message, LRESULT* result, PaintFunction paint)
{
    if (message == WM_ERASEBKGND) {
        *result = 1;
        return 1;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        paint(dc);
        EndPaint(window, &ps);
        *result = 0;
        return 1;
    }
    return 0;
}

// The first mouse move over a self-drawn control starts its hover look and asks Windows for
// the WM_MOUSELEAVE that ends it.
inline void BeginHover(HWND window, bool& hover)
{
    if (hover)
        return;
    hover = true;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, window, 0};
    TrackMouseEvent(&track);
    InvalidateRect(window, nullptr, FALSE);
}

// A cursor by number: the system's (IDC_ARROW and the like, from 0x7F00 on) or one of the
// module's resources; null when there is none.
inline HCURSOR LoadCursorById(HINSTANCE module, int id)
{
    if (id >= 0x7F00)
        return LoadCursor(nullptr, MAKEINTRESOURCE(id));
    return id ? LoadCursorA(module, MAKEINTRESOURCEA(id)) : nullptr;
}
