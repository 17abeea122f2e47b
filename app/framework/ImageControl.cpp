#include "app/framework/ImageControl.h"
#include <windowsx.h>
#include "app/framework/OwnPainting.h"

int C_ImageControl::Attach(HWND control, HINSTANCE instance, uint32_t options, UINT normal, UINT pressed,
                           UINT hover, UINT disabled, COLORREF transparent, UINT cursorId,
                           ImageCallback callback, void* userData, int designWidth, int designHeight)
{
    if (!control || m_sub.GetWindow())
        return 0;
    m_hInstance = instance;
    m_dwOptions = options;
    m_transparent = transparent;
    m_cursorId = cursorId;
    m_pfnCallback = callback;
    m_pUserData = userData;
    m_nScale = 1000;
    if (!(options & kNoScaling) && designWidth > 0 && designHeight > 0) {
        RECT r = {0, 0, 100, 100};
        MapDialogRect(GetParent(control), &r);
        int scaleX = (int)(r.right * 1000L / designWidth);
        int scaleY = (int)(r.bottom * 1000L / designHeight);
        m_nScale = scaleX < scaleY ? scaleX : scaleY;
        if (m_nScale <= 0)
            m_nScale = 1000;
    }
    if (!m_sub.Attach(control, Callback, this))
        return 0;
    UINT ids[4] = {normal, pressed, hover, disabled};
    for (int i = 0; i < 4; ++i)
        SetImage(i, ids[i]);
    // The control takes the size of its image.
    BITMAP bm;
    if (m_bitmaps[0] && GetObject(m_bitmaps[0], sizeof(bm), &bm))
        SetWindowPos(control, nullptr, 0, 0, bm.bmWidth, bm.bmHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

void C_ImageControl::Detach()
{
    m_sub.Detach();
    for (HBITMAP& b : m_bitmaps) {
        if (b)
            DeleteObject(b);
        b = nullptr;
    }
}

HBITMAP C_ImageControl::LoadScaled(UINT id)
{
    HBITMAP original =
        (HBITMAP)LoadImageA(m_hInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!original || m_nScale == 1000)
        return original;
    BITMAP bm;
    GetObject(original, sizeof(bm), &bm);
    int width = bm.bmWidth * m_nScale / 1000, height = bm.bmHeight * m_nScale / 1000;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldFrom = SelectObject(from, original), oldTo = SelectObject(to, scaled);
    SetStretchBltMode(to, HALFTONE);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(original);
    return scaled;
}

int C_ImageControl::SetImage(int slot, UINT id)
{
    if (slot < 0 || slot > 3)
        return 0;
    if (m_bitmaps[slot])
        DeleteObject(m_bitmaps[slot]);
    m_bitmaps[slot] = id ? LoadScaled(id) : nullptr;
    m_ids[slot] = id;
    if (m_sub.GetWindow())
        InvalidateRect(m_sub.GetWindow(), nullptr, FALSE);
    return id == 0 || m_bitmaps[slot] != nullptr;
}

int C_ImageControl::Callback(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                             void* userData)
{
    return ((C_ImageControl*)userData)->Handle(message, wParam, lParam, result);
}

void C_ImageControl::Report(int event, LPARAM lParam)
{
    if (!m_pfnCallback)
        return;
    int x = GET_X_LPARAM(lParam) * 1000 / m_nScale, y = GET_Y_LPARAM(lParam) * 1000 / m_nScale;
    m_pfnCallback(event, (uint32_t)((x & 0xFFFF) | ((uint32_t)(y & 0xFFFF) << 16)), m_pUserData);
}

void C_ImageControl::Paint(HDC dc)
{
    HWND window = m_sub.GetWindow();
    HBITMAP image = m_bitmaps[kImageNormal];
    if (!IsWindowEnabled(window) && m_bitmaps[kImageDisabled])
        image = m_bitmaps[kImageDisabled];
    else if (m_bPressed && m_bitmaps[kImagePressed])
        image = m_bitmaps[kImagePressed];
    else if (m_bHover && m_bitmaps[kImageHover])
        image = m_bitmaps[kImageHover];
    RECT client;
    GetClientRect(window, &client);
    if (!image) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAP bm;
    GetObject(image, sizeof(bm), &bm);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, image);
    typedef BOOL(WINAPI * TransparentFn)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
    static TransparentFn transparentBlt =
        (TransparentFn)GetProcAddress(LoadLibraryA("msimg32.dll"), "TransparentBlt");
    if (m_transparent != CLR_INVALID && transparentBlt) {
        // What shows through is the parent's background.
        HBRUSH brush = (HBRUSH)SendMessageA(GetParent(window), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)window);
        FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        transparentBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, bm.bmWidth, bm.bmHeight,
                       m_transparent);
    } else {
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

int C_ImageControl::Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    HWND window = m_sub.GetWindow();
    if (HandleOwnPainting(window, message, result, [this](HDC dc) { Paint(dc); }))
        return 1;
    switch (message) {
    case WM_NCHITTEST:
        *result = HTCLIENT;
        return 1;
    case WM_SETCURSOR:
        if (m_cursorId) {
            HCURSOR cursor = LoadCursorById(m_hInstance, m_cursorId);
            if (cursor) {
                SetCursor(cursor);
                *result = 1;
                return 1;
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
        m_bPressed = true;
        InvalidateRect(window, nullptr, FALSE);
        Report(kImageLeftDown, lParam);
        return 0;
    case WM_LBUTTONUP:
        m_bPressed = false;
        InvalidateRect(window, nullptr, FALSE);
        Report(kImageLeftUp, lParam);
        return 0;
    case WM_RBUTTONDOWN:
        Report(kImageRightDown, lParam);
        return 0;
    case WM_RBUTTONUP:
        Report(kImageRightUp, lParam);
        return 0;
    case WM_MOUSEMOVE:
        BeginHover(window, m_bHover);
        if (m_dwOptions & kReportMoves)
            Report(kImageMouseMove, lParam);
        return 0;
    case WM_MOUSELEAVE:
        m_bHover = false;
        m_bPressed = false;
        InvalidateRect(window, nullptr, FALSE);
        Report(kImageMouseLeave, 0);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            Report(kImageSpaceUp, 0);
        else if (wParam == VK_RETURN)
            Report(kImageEnterUp, 0);
        return 0;
    default:
        return 0;
    }
}
