// Every picture and page of the artwork fragment loads from a program's resources with the
// type and size the program asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/res/ArtworkIds.h"

namespace {

SIZE BitmapSize(int id)
{
    SIZE size = {0, 0};
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    BITMAP info;
    if (bitmap && GetObjectA(bitmap, sizeof info, &info))
        size = {info.bmWidth, info.bmHeight};
    if (bitmap)
        DeleteObject(bitmap);
    return size;
}

// Loads the icon at exactly this size; 0 when the resource has no such image (LoadImage
// would otherwise stretch another one, so the group's directory is checked instead).
bool IconHasSize(int id, int pixels)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    if (!group)
        return false;
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(self, group)));
    if (!dir)
        return false;
    const int found =
        LookupIconIdFromDirectoryEx(const_cast<BYTE*>(dir), TRUE, pixels, pixels, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(self, MAKEINTRESOURCEA(found), MAKEINTRESOURCEA(3) /* RT_ICON */);
    if (!image)
        return false;
    const BITMAPINFOHEADER* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, image)));
    return header && header->biWidth == pixels && header->biHeight == 2 * pixels;
}

} // namespace

TEST(ArtworkResources, BitmapsHaveTheirSizes)
{
    for (int id : {IDB_PAGEBAR_FILE, IDB_PAGEBAR_BLOCK, IDB_PAGEBAR_QUICK, IDB_PAGEBAR_ABOUT}) {
        const SIZE s = BitmapSize(id);
        EXPECT_EQ(816, s.cx) << id;
        EXPECT_EQ(36, s.cy) << id;
    }
    for (int id : {IDB_BUTTON_READ, IDB_BUTTON_WRITE, IDB_BUTTON_STOP, IDB_BUTTON_START}) {
        const SIZE s = BitmapSize(id);
        EXPECT_EQ(88, s.cx) << id;
        EXPECT_EQ(28, s.cy) << id;
    }
    EXPECT_EQ(48, BitmapSize(IDB_PAGE_ICON).cx);
}

TEST(ArtworkResources, IconsAndCursor)
{
    for (int pixels : {16, 32, 48})
        EXPECT_TRUE(IconHasSize(IDI_PROGRAM, pixels)) << pixels;
    // The BlockAccess list's image list order.
    for (int id : {IDI_DEVICE_OPTICAL, IDI_DEVICE_REMOVABLE, IDI_DEVICE_FIXED, IDI_DEVICE_NETWORK,
                   IDI_DEVICE_RAMDISK, IDI_DEVICE_TAPE, IDI_DEVICE_ISCSI}) {
        EXPECT_TRUE(IconHasSize(id, 16)) << id;
        EXPECT_TRUE(IconHasSize(id, 32)) << id;
        HICON icon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        EXPECT_NE(nullptr, icon) << id;
        if (icon)
            DestroyIcon(icon);
    }
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDCUR_HAND));
    ASSERT_NE(nullptr, hand);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(11u, info.xHotspot);
    EXPECT_EQ(1u, info.yHotspot);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

TEST(ArtworkResources, PagesAreHtmlResourcesByName)
{
    HMODULE self = GetModuleHandleA(nullptr);
    for (const char* name :
         {QM_HTML_INFO, QM_HTML_BLOCK_ACCESS, QM_HTML_INFO_PICTURE, QM_HTML_BLOCK_ACCESS_PICTURE}) {
        HRSRC found = FindResourceA(self, name, MAKEINTRESOURCEA(23) /* RT_HTML */);
        ASSERT_NE(nullptr, found) << name;
        EXPECT_GT(SizeofResource(self, found), 100u) << name;
    }
    // The pages name their pictures exactly as the resources are called.
    HRSRC info = FindResourceA(self, QM_HTML_INFO, MAKEINTRESOURCEA(23));
    const char* text = static_cast<const char*>(LockResource(LoadResource(self, info)));
    ASSERT_NE(nullptr, text);
    const std::string page(text, SizeofResource(self, info));
    EXPECT_NE(std::string::npos, page.find("src=\"IDR_QUELLMOR_GIF\""));
    // The splash is raw data of neutral language.
    EXPECT_NE(nullptr, FindResourceExA(self, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(IDR_SPLASH_IMAGE),
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)));
}
