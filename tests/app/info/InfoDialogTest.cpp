#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/info/ShowHtmlDialog.h"
#include "tests/app/info/DialogWatcher.h"
#include "app/info/TextPageDialog.h"

namespace {

const char kInfoOptions[] = "help:no;resizable:yes;dialogWidth:740px";
const char kHelpOptions[] = "help:no;resizable:yes;dialogWidth:700px;dialogHeight:640px";

} // namespace

using info_test::Contains;
using info_test::DialogWatcher;

TEST(InfoDialog, InformationPageFallsBackToItsText)
{
    // Wine has the HTML library but no engine behind ShowHTMLDialog: the real call must
    // end in the text view, not in silence.
    HMODULE engine = LoadLibraryA("mshtml.dll");
    ASSERT_NE(nullptr, engine);
    ASSERT_NE(nullptr, GetProcAddress(engine, "ShowHTMLDialog"));
    FreeLibrary(engine);
    ASSERT_EQ(nullptr, GetModuleHandleA("mshtml.dll"));
    std::string result = "untouched";
    DialogWatcher watcher("Quellmor [1.0]", "info-fallback.bmp");
    EXPECT_EQ(0, ShowHtmlDialog(nullptr, nullptr, "IDR_INFO", "Quellmor [1.0]", kInfoOptions, &result));
    watcher.Join();
    ASSERT_TRUE(watcher.found);
    EXPECT_EQ("untouched", result);
    EXPECT_EQ("Quellmor [1.0]", watcher.heading);
    // The heading is not repeated; the body starts with the line after it.
    EXPECT_EQ(0u, watcher.body.find("http://www.velantix.com/quellmor/\r\n")) << watcher.body;
    EXPECT_TRUE(Contains(watcher.body, "\r\nBlockAccess Notes:\r\n1.\tFor best/correct"));
    EXPECT_TRUE(Contains(watcher.body, "F9\tstart read test\r\n"));
    EXPECT_TRUE(Contains(watcher.body, "\r\n-a\tstart with BlockAccess\r\n-n\tstart with FileAccess"));
    EXPECT_TRUE(Contains(watcher.body, "-x\tsupport floppy drives\r\n"));
    EXPECT_TRUE(Contains(watcher.body, "Example: -n -l e:\\ -m -r will search"));
    EXPECT_EQ(740, watcher.width);
    EXPECT_TRUE(watcher.pictureSaved);
    // The engine's libraries and COM were given back.
    EXPECT_EQ(nullptr, GetModuleHandleA("mshtml.dll"));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(S_OK, com);
    if (SUCCEEDED(com))
        CoUninitialize();
}

TEST(InfoDialog, MissingEngineLibraryShowsTheHelpPageAsText)
{
    DialogWatcher watcher("Quellmor", "info-block-access.bmp");
    EXPECT_EQ(0, ShowHtmlDialogUsing("qm-no-such-engine.dll", "urlmon.dll", nullptr, nullptr,
                                     "IDR_BLOCK_ACCESS", "Quellmor [1.0];more", kHelpOptions, nullptr));
    watcher.Join();
    ASSERT_TRUE(watcher.found);
    EXPECT_EQ("block access information", watcher.heading);
    EXPECT_EQ(0u, watcher.body.find("example: blocks per access=4")) << watcher.body;
    EXPECT_TRUE(Contains(watcher.body, "\r\n    DeviceAccess(current_block, blocks_per_access)\r\n"))
        << watcher.body;
    EXPECT_TRUE(Contains(watcher.body, "while (current_block < end_block)"));
    EXPECT_EQ(700, watcher.width);
    EXPECT_EQ(640, watcher.height);
}

TEST(InfoDialog, PageByNumberOverAHiddenOwner)
{
    // At start-up the owner is the main window, not yet shown: the page is centred on the
    // screen rather than on the owner's provisional corner.
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);
    DialogWatcher watcher("Quellmor", nullptr);
    EXPECT_EQ(0, ShowHtmlDialogUsing("qm-no-such-engine.dll", "urlmon.dll", owner, nullptr,
                                     MAKEINTRESOURCEA(130), nullptr, kHelpOptions, nullptr));
    watcher.Join();
    DestroyWindow(owner);
    ASSERT_TRUE(watcher.found);
    EXPECT_EQ("block access information", watcher.heading);
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_NEAR(work.left + (work.right - work.left - 700) / 2, watcher.left, 1);
    EXPECT_NEAR(work.top + (work.bottom - work.top - 640) / 2, watcher.top, 1);
}

TEST(InfoDialog, NothingToShowReturnsAtOnce)
{
    {
        DialogWatcher watcher("Quellmor", nullptr, 1500);
        EXPECT_EQ(0, ShowHtmlDialog(nullptr, nullptr, "NO_SUCH_PAGE", nullptr, kInfoOptions, nullptr));
        watcher.Join();
        EXPECT_FALSE(watcher.found);
    }
    {
        DialogWatcher watcher("Quellmor", nullptr, 1500);
        EXPECT_EQ(0, ShowHtmlDialogUsing("qm-no-such-engine.dll", "urlmon.dll", nullptr, nullptr,
                                         "http://www.velantix.com/quellmor/", nullptr, nullptr, nullptr));
        watcher.Join();
        EXPECT_FALSE(watcher.found);
    }
    // A module without the page has nothing for the text view either.
    EXPECT_EQ(-1, ShowTextPage(nullptr, GetModuleHandleA("kernel32.dll"), "IDR_INFO", nullptr, nullptr));
}

TEST(InfoDialog, CallerComApartmentIsLeftAlone)
{
    // A caller already in the multithreaded apartment keeps its COM use after the call.
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    DialogWatcher watcher("Quellmor", nullptr);
    EXPECT_EQ(0, ShowHtmlDialogUsing("qm-no-such-engine.dll", "urlmon.dll", nullptr, nullptr,
                                     "IDR_BLOCK_ACCESS", nullptr, nullptr, nullptr));
    watcher.Join();
    EXPECT_TRUE(watcher.found);
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    CoUninitialize();
    CoUninitialize();
}
