#include "app/splash/LayeredWindow.h"

int C_LayeredWindow::Create(HWND window, uint32_t options, int resourceId, HMODULE module)
{
    Release();
    if (!window)
        return 0;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32)
        return 0;
    if (options & kConstantAlpha) {
        setAttributes_ = reinterpret_cast<SetAttributesFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
        if (!setAttributes_)
            return 0;
    } else {
        update_ = reinterpret_cast<UpdateLayeredFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow")));
        if (!update_)
            return 0;
    }
    window_ = window;
    options_ = options;
    SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_LAYERED);

    if (options & kConstantAlpha)
        return setAttributes_(window, 0, 255, LWA_ALPHA) ? 1 : 0;
    if (options & kPicture) {
        if (!image_.Read(module, resourceId, window))
            return 0;
        return Update(255);
    }
    return 1;
}

int C_LayeredWindow::Update(uint8_t alpha)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    SIZE size = {image_.Width(), image_.Height()};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    const BOOL done =
        update_(window_, screen, nullptr, &size, image_.Context(), &source, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
    return done ? 1 : 0;
}

int C_LayeredWindow::SetOpacity(uint8_t alpha)
{
    if (!window_)
        return 0;
    if (options_ & kConstantAlpha)
        return setAttributes_(window_, 0, alpha, LWA_ALPHA) ? 1 : 0;
    if (image_.Context())
        return Update(alpha);
    return 0;
}

void C_LayeredWindow::Release()
{
    image_.Release();
    window_ = nullptr;
    options_ = 0;
    update_ = nullptr;
    setAttributes_ = nullptr;
}
