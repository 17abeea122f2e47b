#include "app/splash/SplashImage.h"

#include "app/splash/PspDecoder.h"

int C_SplashImage::Read(HMODULE module, int resourceId, HWND window)
{
    Release();
    if (!module)
        module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, MAKEINTRESOURCEA(10) /* RT_RCDATA */, MAKEINTRESOURCEA(resourceId),
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (!found)
        return 0;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return 0;
    return ReadBytes(static_cast<const uint8_t*>(data), SizeofResource(module, found), window);
}

int C_SplashImage::ReadBytes(const uint8_t* data, size_t size, HWND window)
{
    Release();
    PspLayout layout;
    if (!ParsePsp(data, size, &layout))
        return 0;

    HDC windowContext = GetDC(window);
    if (!windowContext)
        return 0;
    context_ = CreateCompatibleDC(windowContext);
    ReleaseDC(window, windowContext);
    if (!context_)
        return 0;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = LONG(layout.width);
    info.bmiHeader.biHeight = LONG(layout.height); // positive: rows stored bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(context_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_ || !bits) {
        Release();
        return 0;
    }
    GdiFlush(); // GDI may still be drawing into the section's memory
    const size_t bytes = size_t(layout.width) * layout.height * 4;
    if (!DecodePsp(data, size, layout, static_cast<uint8_t*>(bits), bytes)) {
        Release();
        return 0;
    }
    previous_ = SelectObject(context_, bitmap_);
    bits_ = static_cast<uint8_t*>(bits);
    width_ = int(layout.width);
    height_ = int(layout.height);
    return 1;
}

void C_SplashImage::Release()
{
    if (context_ && previous_)
        SelectObject(context_, previous_);
    if (bitmap_)
        DeleteObject(bitmap_);
    if (context_)
        DeleteDC(context_);
    context_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}
