// Turns a window into a layered window: either one per-pixel-alpha picture from the
// resources or plain constant opacity. The user32 functions are looked up at run time,
// so a system without them gets a clean failure rather than a load error.
#pragma once
#include <windows.h>

#include <cstdint>

#include "app/splash/SplashImage.h"

class C_LayeredWindow {
public:
    enum : uint32_t {
        kPicture = 0x1,       // per-pixel alpha from the splash picture resource
        kConstantAlpha = 0x2, // SetLayeredWindowAttributes, no picture
    };

    C_LayeredWindow() = default;
    C_LayeredWindow(const C_LayeredWindow&) = delete;
    C_LayeredWindow& operator=(const C_LayeredWindow&) = delete;
    ~C_LayeredWindow() { Release(); }

    // module: where the picture resource lives (null: this program). 1 on success.
    int Create(HWND window, uint32_t options, int resourceId, HMODULE module = nullptr);
    // Fading: the whole window's opacity, 0 to 255, per-pixel alpha kept.
    int SetOpacity(uint8_t alpha);
    void Release();

    int Width() const { return image_.Width(); }
    int Height() const { return image_.Height(); }
    const C_SplashImage& Image() const { return image_; }

private:
    typedef BOOL(WINAPI* UpdateLayeredFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                          DWORD);
    typedef BOOL(WINAPI* SetAttributesFn)(HWND, COLORREF, BYTE, DWORD);

    int Update(uint8_t alpha);

    HWND window_ = nullptr;
    uint32_t options_ = 0;
    UpdateLayeredFn update_ = nullptr;
    SetAttributesFn setAttributes_ = nullptr;
    C_SplashImage image_;
};
