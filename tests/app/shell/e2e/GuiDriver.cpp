// Drives Quellmor.exe as a user would: starts it, clicks the page bar, presses Escape,
// and checks what the program left in the registry or in its .ini file. Screenshots of
// the screen go to the given folder as BMP files.
//
//   GuiDriver <Quellmor.exe> <screenshot folder> <work folder>
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "tests/app/e2e_common/GuiE2e.h"

namespace {
using namespace e2e;

bool ReadNumber(const char* name, DWORD* value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof(*value), type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD;
}

std::string ReadText(const char* name)
{
    HKEY key;
    char text[512] = "<missing>";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return text;
    DWORD size = sizeof(text) - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &size) != ERROR_SUCCESS || type != REG_SZ)
        strcpy(text, "<missing>");
    RegCloseKey(key);
    return text;
}

std::string ReadIni(const std::string& ini, const char* name)
{
    char text[256];
    GetPrivateProfileStringA("Settings", name, "<missing>", text, sizeof(text), ini.c_str());
    return text;
}

// First start with nothing stored: QuickAccess, and the defaults stored at the end.
void FirstStart(const std::string& exe)
{
    Say("-- first start with empty settings");
    ClearRegistry();
    Program p;
    if (!Launch(p, exe, "", true)) {
        WaitExit(p, 1);
        return;
    }
    Sleep(300);
    Screenshot("splash");
    char title[128] = "";
    GetWindowTextA(p.main, title, sizeof(title));
    CHECK(strcmp(title, "Quellmor [1.00]") == 0, "title %s", title);
    CHECK(WaitPage(p.main, kPageQuick) == kPageQuick, "first page %d", CurrentPage(p.main));
    // Its own 4000 ms timer takes it away; a busy machine delivers the timer late.
    CHECK(WaitUntil([] { return FindSplash() == nullptr; }, 20000), "the splash is still there 20 s later");
    PressEscape(p);
    ExpectExit(p, 0);
    DWORD flags = 0;
    CHECK(ReadNumber("Flags", &flags) && flags == 0x9018, "Flags %#lx", (unsigned long)flags);
    CHECK(ReadText("FileSize") == "0", "FileSize %s", ReadText("FileSize").c_str());
    CHECK(ReadText("BlockSize") == "65536", "BlockSize %s", ReadText("BlockSize").c_str());
    CHECK(ReadText("PreReadSize") == "3145728", "PreReadSize %s", ReadText("PreReadSize").c_str());
    CHECK(ReadText("TestFile") == "", "TestFile %s", ReadText("TestFile").c_str());
}

// The first key press sends the splash away long before its 4000 ms, and does nothing
// else: Escape, which would otherwise end the program, leaves it running.
void SplashKey(const std::string& exe)
{
    Say("-- a key press closes the splash");
    Program p;
    if (!Launch(p, exe, "", true)) {
        WaitExit(p, 1);
        return;
    }
    // The splash is made before the main window shows, so it is there at once.
    const DWORD shown = GetTickCount();
    HWND splash = nullptr;
    WaitUntil([&] { return (splash = FindSplash()) != nullptr; }, 3000);
    CHECK(splash != nullptr, "no splash window");
    // Its own timer would take it away some 4000 ms after it appeared: the key must do so
    // before. The key's way through a busy machine may take long, but not that long.
    const DWORD pressed = GetTickCount();
    PressEscape(p);
    WaitUntil([&] { return !IsWindow(splash); }, 3000);
    CHECK(splash && !IsWindow(splash), "the splash is still there %lu ms after a key was pressed",
          (unsigned long)(GetTickCount() - pressed));
    CHECK(pressed - shown < 2000, "the key came too late (%lu ms) to tell it from the splash's timer",
          (unsigned long)(pressed - shown));
    // A program ending on that key would be gone well within this time.
    CHECK(WaitForSingleObject(p.pi.hProcess, 3000) == WAIT_TIMEOUT && IsWindowVisible(p.main) &&
              CurrentPage(p.main) == kPageQuick,
          "the key that closed the splash also closed the program");
    // The next Escape is the program's again.
    PressEscape(p);
    ExpectExit(p, 0);
}

// Every page from the bar, the dead zone, then the last page and flags survive a restart.
void PagesAndRestart(const std::string& exe)
{
    Say("-- page bar and restart");
    Program p;
    if (!Launch(p, exe, "", true)) {
        WaitExit(p, 1);
        return;
    }
    Settle(600);
    // A click on the splash closes it before its time is up.
    HWND splash = FindSplash();
    if (splash) {
        char cls[128] = "";
        GetClassNameA(splash, cls, sizeof(cls));
        CHECK(strncmp(cls, "Zumbra_{", 8) == 0, "splash class %s", cls);
        ClickSplash(splash);
        CHECK(WaitUntil([&] { return !IsWindow(splash); }, 15000), "the splash stays after a click");
    } else {
        Say("note: no splash window (no picture or no layered windows)");
    }
    struct {
        int x, page;
        const char* shot;
    } steps[] = {{200, kPageFile, "page_file"},   {350, kPageBlock, "page_block"},
                 {600, kPageBlock, nullptr},      {449, kPageCheck, "page_check"},
                 {594, kPageCheck, nullptr},      {760, kPageAbout, "page_about"},
                 {143, kPageQuick, "page_quick"}, {0, kPageQuick, nullptr},
                 {278, kPageFile, nullptr},       {279, kPageBlock, nullptr}};
    for (const auto& step : steps) {
        HWND before = PageWindow(p.main);
        int pageBefore = CurrentPage(p.main);
        ClickBar(p.main, step.x);
        int page = WaitPage(p.main, step.page);
        CHECK(page == step.page, "click at x=%d shows page %d, expected %d", step.x, page, step.page);
        if (pageBefore == step.page)
            CHECK(PageWindow(p.main) == before, "click at x=%d recreated the page already shown", step.x);
        if (step.shot) {
            // A page fills some controls after it shows (the FileAccess browser); the picture waits for them.
            Settle(1500);
            Screenshot(step.shot);
        }
    }
    // Changing a remembered choice on BlockAccess: random access, graph off.
    HWND block = PageWindow(p.main);
    SendMessageA(GetDlgItem(block, IDC_BLOCK_RANDOM), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(block, IDC_BLOCK_SHOW_GRAPH), BM_CLICK, 0, 0);
    // Skipped blocks: the start block is reloaded from the device selected at start.
    SetDlgItemTextA(block, IDC_BLOCK_SKIP, "77");
    Settle(200);
    CHECK(IsWindowEnabled(GetDlgItem(block, IDC_BLOCK_REPEAT)) &&
              !IsWindowEnabled(GetDlgItem(block, IDC_BLOCK_SKIP)),
          "random access enables repeats and disables skipped blocks");
    PressEscape(p);
    ExpectExit(p, 0);
    DWORD flags = 0;
    ReadNumber("Flags", &flags);
    CHECK(flags == ((0x9018 | 0x1 | 0x2000) & ~0x1000u & ~0x8000u), "Flags after BlockAccess %#lx",
          (unsigned long)flags);
    CHECK(ReadText("BlockSkip") == "77", "BlockSkip %s", ReadText("BlockSkip").c_str());
    CHECK(ReadText("BlockRepeat") == "100", "BlockRepeat %s", ReadText("BlockRepeat").c_str());

    Say("-- restart finds BlockAccess and its choices");
    if (Launch(p, exe, "")) {
        Settle(600);
        CHECK(WaitPage(p.main, kPageBlock) == kPageBlock, "restart page %d", CurrentPage(p.main));
        HWND page = PageWindow(p.main);
        CHECK(IsDlgButtonChecked(page, IDC_BLOCK_RANDOM) == BST_CHECKED, "random access is ticked again");
        CHECK(IsDlgButtonChecked(page, IDC_BLOCK_SHOW_GRAPH) == BST_UNCHECKED, "show graph stays unticked");
        char text[32] = "";
        GetDlgItemTextA(page, IDC_BLOCK_SKIP, text, sizeof(text));
        CHECK(strcmp(text, "77") == 0, "skipped blocks %s", text);
        // The close command ends the program like Escape.
        PostMessageA(p.main, WM_COMMAND, IDCLOSE, 0);
    }
    ExpectExit(p, 0);
}

// -z and portable.dat keep everything in Quellmor.ini beside the program.
void Portable(const std::string& exe, const std::string& work)
{
    const char* ways[] = {"-z", "portable.dat"};
    for (const char* way : ways) {
        Say("-- portable mode by %s", way);
        ClearRegistry();
        std::string folder = work + "\\portable_" + (way[0] == '-' ? "switch" : "file"), copy;
        CHECK(CopyProgram(exe, folder, &copy), "cannot copy the program");
        if (way[0] != '-') {
            HANDLE f = CreateFileA((folder + "\\portable.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
            CloseHandle(f);
        }
        Program p;
        bool viaAbout = way[0] != '-';
        if (Launch(p, copy, viaAbout ? "-a" : "-z -a")) {
            Settle(600);
            CHECK(WaitPage(p.main, kPageBlock) == kPageBlock, "-a opens BlockAccess");
            if (viaAbout) {
                // Escape from inside the About page's help text still ends the program.
                ClickBar(p.main, 760);
                CHECK(WaitPage(p.main, kPageAbout) == kPageAbout, "About page");
                HWND notes = GetDlgItem(PageWindow(p.main), IDC_ABOUT_NOTES);
                PostMessageA(notes, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                PostMessageA(notes, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
                const bool focused = WaitUntil(
                    [&] {
                        GUITHREADINFO info = {};
                        info.cbSize = sizeof(info);
                        return GetGUIThreadInfo(p.pi.dwThreadId, &info) && info.hwndFocus == notes;
                    },
                    10000);
                CHECK(focused, "the help text has the focus");
            }
            PressEscape(p);
        }
        ExpectExit(p, 0);
        std::string ini = folder + "\\Quellmor.ini";
        CHECK(GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES, "no %s", ini.c_str());
        // 0x9019 with BlockAccess last, 0x9018 when About was the last page.
        const char* flags = viaAbout ? "36888" : "36889";
        CHECK(ReadIni(ini, "Flags") == flags, "ini Flags %s", ReadIni(ini, "Flags").c_str());
        if (viaAbout)
            CHECK(ReadIni(ini, "AutoUpdate") == "1", "ini AutoUpdate %s", ReadIni(ini, "AutoUpdate").c_str());
        CHECK(ReadIni(ini, "BlockSize") == "65536", "ini BlockSize %s", ReadIni(ini, "BlockSize").c_str());
        CHECK(ReadIni(ini, "BlockRepeat") == "100", "ini BlockRepeat %s",
              ReadIni(ini, "BlockRepeat").c_str());
        CHECK(!KeyExists(), "portable mode wrote to the registry");
    }
}

// A switch that is not a lower-case letter: the information page, exit code -1, nothing stored.
void BadSwitch(const std::string& exe)
{
    Say("-- bad switch -A");
    ClearRegistry();
    Program p;
    CHECK(Start(p, exe, "-b -A"), "cannot start");
    HWND info = WaitForDialog(p, "Quellmor [", 90000);
    CHECK(info != nullptr, "no information window");
    if (info) {
        WaitUntil([&] { return WindowTexts(info).find("specify test file name") != std::string::npos; },
                  10000);
        Screenshot("information");
        CHECK(CurrentPage(info) < 0, "a page opened although the switch was bad");
        std::string shown = WindowTexts(info);
        CHECK(shown.find("start with BlockAccess") != std::string::npos &&
                  shown.find("specify test file name") != std::string::npos,
              "the information page lacks the switch help: %.200s", shown.c_str());
        PostMessageA(info, WM_COMMAND, IDOK, 0);
        PostMessageA(info, WM_CLOSE, 0, 0);
    }
    ExpectExit(p, 0xFFFFFFFF);
    CHECK(!KeyExists(), "settings written after a bad switch");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        printf("usage: GuiDriver <Quellmor.exe> <screenshot folder> <work folder>\n");
        return 2;
    }
    std::string exe = argv[1];
    g_shots = argv[2];
    std::string work = argv[3];
    CreateDirectoryA(g_shots.c_str(), nullptr);
    CreateDirectoryA(work.c_str(), nullptr);
    FirstStart(exe);
    SplashKey(exe);
    PagesAndRestart(exe);
    Portable(exe, work);
    BadSwitch(exe);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
