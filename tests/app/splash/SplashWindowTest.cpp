#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/res/ArtworkIds.h"
#include "app/splash/LayeredWindow.h"
#include "app/splash/SplashImage.h"
#include "tests/app/e2e_common/BitmapPicture.h"

namespace {

// A borderless popup like the splash, destroyed with the test.
class PopupWindow {
public:
    PopupWindow()
    {
        window_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "splash test", WS_POPUP, 100,
                                  100, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~PopupWindow()
    {
        if (window_)
            DestroyWindow(window_);
    }
    HWND Get() const { return window_; }

private:
    HWND window_;
};

// What the screen shows in rect, as a 24-bit bitmap for people to look at.
void SavePicture(const RECT& rect, const char* name)
{
    // Let the window system map and paint it.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 400;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    HDC screen = GetDC(nullptr);
    CreateDirectoryA(QM_SCREENSHOT_DIR, nullptr);
    SaveBitmapPicture(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                      std::string(QM_SCREENSHOT_DIR) + "/" + name);
    ReleaseDC(nullptr, screen);
}

const uint8_t* PixelAt(const C_SplashImage& image, int x, int yFromTop)
{
    return image.Bits() + (size_t(image.Height() - 1 - yFromTop) * image.Width() + x) * 4;
}

} // namespace

TEST(SplashImage, ProgramSplashDecodesToTheLayerSize)
{
    C_SplashImage image;
    ASSERT_EQ(1, image.Read(nullptr, IDR_SPLASH_IMAGE, nullptr));
    EXPECT_EQ(494, image.Width());
    EXPECT_EQ(375, image.Height());
    ASSERT_NE(nullptr, image.Context());
    // The bitmap is selected into the memory context.
    EXPECT_EQ(image.Bitmap(), HBITMAP(GetCurrentObject(image.Context(), OBJ_BITMAP)));
    BITMAP info = {};
    ASSERT_NE(0, GetObjectA(image.Bitmap(), sizeof info, &info));
    EXPECT_EQ(32, info.bmBitsPixel);
    EXPECT_EQ(375, info.bmHeight);
    // Soft edges: a transparent corner, an opaque card centre, partial alpha in between,
    // and premultiplied colours everywhere.
    EXPECT_EQ(0, PixelAt(image, 0, 0)[3]);
    EXPECT_EQ(255, PixelAt(image, 247, 187)[3]);
    int partial = 0;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const uint8_t* p = PixelAt(image, x, y);
            ASSERT_LE(p[0], p[3]);
            ASSERT_LE(p[1], p[3]);
            ASSERT_LE(p[2], p[3]);
            if (p[3] > 0 && p[3] < 255)
                ++partial;
        }
    }
    EXPECT_GT(partial, 1000);
    // The header band is the accent blue at the top of the card (blue, green, red).
    const uint8_t* band = PixelAt(image, 60, 60);
    EXPECT_EQ(0xFF, band[0]);
    EXPECT_EQ(0x99, band[1]);
    EXPECT_EQ(0x00, band[2]);
}

TEST(SplashImage, RefusalsLeaveNothingBehind)
{
    C_SplashImage image;
    ASSERT_EQ(1, image.Read(nullptr, IDR_SPLASH_IMAGE, nullptr));
    HBITMAP bitmap = image.Bitmap();
    HDC context = image.Context();
    // A missing resource, and a resource that is no such picture (an HTML page read as
    // RCDATA does not exist either), fail and also drop the earlier picture.
    EXPECT_EQ(0, image.Read(nullptr, 9999, nullptr));
    EXPECT_EQ(nullptr, image.Context());
    EXPECT_EQ(nullptr, image.Bits());
    EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(0u, GetObjectType(context));
    const uint8_t junk[100] = {'P', 'a', 'i', 'n', 't'};
    EXPECT_EQ(0, image.ReadBytes(junk, sizeof junk, nullptr));
    EXPECT_EQ(nullptr, image.Context());
}

TEST(LayeredWindow, PictureMakesThePopupLayered)
{
    PopupWindow popup;
    ASSERT_NE(nullptr, popup.Get());
    C_LayeredWindow layered;
    ASSERT_EQ(1, layered.Create(popup.Get(), C_LayeredWindow::kPicture, IDR_SPLASH_IMAGE));
    EXPECT_TRUE(GetWindowLongPtrA(popup.Get(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(494, layered.Width());
    EXPECT_EQ(375, layered.Height());
    // UpdateLayeredWindow gives the window the picture's size.
    RECT rect;
    ASSERT_TRUE(GetWindowRect(popup.Get(), &rect));
    EXPECT_EQ(494, rect.right - rect.left);
    EXPECT_EQ(375, rect.bottom - rect.top);
    ShowWindow(popup.Get(), SW_SHOWNA);
    SavePicture(rect, "splash-window.bmp");
    for (int alpha : {0, 120, 255})
        EXPECT_EQ(1, layered.SetOpacity(uint8_t(alpha)));
    HBITMAP bitmap = layered.Image().Bitmap();
    layered.Release();
    EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(0, layered.SetOpacity(255));
}

TEST(LayeredWindow, ConstantAlphaNeedsNoPicture)
{
    PopupWindow popup;
    ASSERT_NE(nullptr, popup.Get());
    C_LayeredWindow layered;
    ASSERT_EQ(1, layered.Create(popup.Get(), C_LayeredWindow::kConstantAlpha, 9999));
    EXPECT_EQ(nullptr, layered.Image().Context());
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup.Get(), nullptr, &alpha, &flags));
    EXPECT_EQ(255, alpha);
    EXPECT_TRUE(flags & LWA_ALPHA);
    ASSERT_EQ(1, layered.SetOpacity(80));
    ASSERT_TRUE(GetLayeredWindowAttributes(popup.Get(), nullptr, &alpha, &flags));
    EXPECT_EQ(80, alpha);
}

TEST(LayeredWindow, MissingPictureFails)
{
    PopupWindow popup;
    C_LayeredWindow layered;
    EXPECT_EQ(0, layered.Create(popup.Get(), C_LayeredWindow::kPicture, 9999));
    EXPECT_EQ(nullptr, layered.Image().Context());
    EXPECT_EQ(0, layered.Create(nullptr, C_LayeredWindow::kPicture, IDR_SPLASH_IMAGE));
}
