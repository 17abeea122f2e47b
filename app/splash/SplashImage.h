// The splash picture as a 32-bit premultiplied DIB section selected into a memory device
// context, ready for UpdateLayeredWindow. Owns both and releases them.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

class C_SplashImage {
public:
    C_SplashImage() = default;
    C_SplashImage(const C_SplashImage&) = delete;
    C_SplashImage& operator=(const C_SplashImage&) = delete;
    ~C_SplashImage() { Release(); }

    // Reads the RT_RCDATA resource (neutral language) of module (null: this program).
    // window: whose device context the memory context is made compatible with (null: the
    // screen). 1 with the picture ready; 0 with nothing created.
    int Read(HMODULE module, int resourceId, HWND window);
    // The same from bytes already in memory.
    int ReadBytes(const uint8_t* data, size_t size, HWND window);
    void Release();

    HDC Context() const { return context_; }
    HBITMAP Bitmap() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bottom-up rows of blue, green, red, alpha; null before a successful read.
    const uint8_t* Bits() const { return bits_; }

private:
    HDC context_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
