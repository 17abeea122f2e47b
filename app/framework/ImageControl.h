// A static control that paints one of up to four bitmaps and reports mouse and key events.
#pragma once
#include <windows.h>
#include <cstdint>
#include "app/framework/SubClassing.h"

enum ImageEvent {
    kImageLeftDown = 1,
    kImageMouseMove = 2,
    kImageMouseLeave = 3,
    kImageLeftUp = 4,
    kImageRightDown = 5,
    kImageRightUp = 6,
    kImageSpaceUp = 7,
    kImageEnterUp = 8,
};
enum ImageSlot { kImageNormal = 0, kImagePressed = 1, kImageHover = 2, kImageDisabled = 3 };

// position: x in the low and y in the high 16 bits, in image pixels.
typedef void (*ImageCallback)(int event, uint32_t position, void* userData);

class C_ImageControl {
public:
    enum : uint32_t { kReportMoves = 0x20, kNoScaling = 0x8000 };

    C_ImageControl() : m_sub(kTagImage) {}
    ~C_ImageControl() { Detach(); }

    int Attach(HWND control, HINSTANCE instance, uint32_t options, UINT normal, UINT pressed, UINT hover,
               UINT disabled, COLORREF transparent, UINT cursorId, ImageCallback callback, void* userData,
               int designWidth, int designHeight);
    void Detach();
    // Replaces one image (0 removes it) and repaints.
    int SetImage(int slot, UINT id);
    HWND GetWindow() const { return m_sub.GetWindow(); }
    // The scale from image pixels to screen pixels, in thousandths.
    int GetScale() const { return m_nScale; }

private:
    static int Callback(HWND, UINT, WPARAM, LPARAM, LRESULT*, void*);
    int Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void Paint(HDC dc);
    void Report(int event, LPARAM lParam);
    HBITMAP LoadScaled(UINT id);

    C_SubClassing m_sub;
    HINSTANCE m_hInstance = nullptr;
    uint32_t m_dwOptions = 0;
    UINT m_ids[4] = {};
    HBITMAP m_bitmaps[4] = {};
    COLORREF m_transparent = CLR_INVALID;
    UINT m_cursorId = 0;
    ImageCallback m_pfnCallback = nullptr;
    void* m_pUserData = nullptr;
    int m_nScale = 1000;
    bool m_bPressed = false;
    bool m_bHover = false;
};
