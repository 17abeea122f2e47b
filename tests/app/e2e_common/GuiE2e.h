// Helpers shared by the end-to-end drivers: start Quellmor.exe under Wine, find its
// windows, click, wait, and photograph the screen. Failures are counted, not thrown.
#pragma once
#include <windows.h>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "app/pages/about/AboutIds.h"
#include "app/pages/block/BlockIds.h"
#include "app/pages/check/CheckIds.h"
#include "app/pages/file/FileIds.h"
#include "app/pages/quick/QuickIds.h"
#include "app/shell/MainIds.h"
#include "app/shell/PageBar.h"
#include "tests/app/e2e_common/BitmapPicture.h"
#include "tests/common/WholeFile.h"

namespace e2e {

inline const char* const kKey = "Software\\Velantix\\Quellmor";
inline int g_failures = 0;
inline std::string g_shots; // folder of the screenshots

#define CHECK(cond, ...)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            ++e2e::g_failures;                                                                               \
            printf("FAILED %s:%d: %s: ", __FILE__, __LINE__, #cond);                                         \
            printf(__VA_ARGS__);                                                                             \
            printf("\n");                                                                                    \
            fflush(stdout);                                                                                  \
        }                                                                                                    \
    } while (0)

inline void Say(const char* format, const char* text = "")
{
    printf(format, text);
    printf("\n");
    fflush(stdout);
}

// Polls until the condition holds; false when the time ran out first.
template <class Ready>
bool WaitUntil(Ready ready, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!ready()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

struct Program {
    PROCESS_INFORMATION pi = {};
    HWND main = nullptr;
};

inline bool Start(Program& p, const std::string& exe, const char* arguments)
{
    std::string line = "\"" + exe + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &p.pi) != 0;
}

struct FindData {
    DWORD pid;
    HWND found;
    const char* titlePrefix;
};

inline BOOL CALLBACK FindTop(HWND window, LPARAM lParam)
{
    FindData* data = (FindData*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64] = "", title[256] = "";
    GetClassNameA(window, cls, sizeof(cls));
    GetWindowTextA(window, title, sizeof(title));
    if (pid == data->pid && IsWindowVisible(window) && strcmp(cls, "#32770") == 0 &&
        strncmp(title, data->titlePrefix, strlen(data->titlePrefix)) == 0) {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog of the process whose title starts with the prefix.
inline HWND WaitForDialog(const Program& p, const char* titlePrefix, DWORD timeoutMs, HWND except = nullptr)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        FindData data = {p.pi.dwProcessId, nullptr, titlePrefix};
        EnumWindows(FindTop, (LPARAM)&data);
        if (data.found && data.found != except)
            return data.found;
        if (WaitForSingleObject(p.pi.hProcess, 100) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

// The open page: the child dialog of the main window, told apart by a control only it has.
inline int CurrentPage(HWND main)
{
    const struct {
        int id;
        int page;
    } marks[] = {{IDC_QUICK_DRIVES, kPageQuick},
                 {IDC_BLOCK_DEVICES, kPageBlock},
                 {IDC_FILE_TREE, kPageFile},
                 {IDC_ABOUT_NOTES, kPageAbout},
                 {IDC_CHECK_DRIVES, kPageCheck}};
    int found = -1, count = 0;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(child, cls, sizeof(cls));
        if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(child))
            continue;
        ++count;
        for (const auto& m : marks)
            if (GetDlgItem(child, m.id))
                found = m.page;
    }
    return count == 1 ? found : -10 - count;
}

// The page once it is the expected one, or whatever is open when the time is up. A page
// that fills its controls as it opens (the FileAccess browser) takes seconds on a loaded
// machine: the bound is generous, the wait ends as soon as the page is there.
inline int WaitPage(HWND main, int expected, DWORD timeoutMs = 20000)
{
    DWORD start = GetTickCount();
    int page = CurrentPage(main);
    while (page != expected && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        page = CurrentPage(main);
    }
    return page;
}

inline HWND PageWindow(HWND main)
{
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(child, cls, sizeof(cls));
        if (strcmp(cls, "#32770") == 0)
            return child;
    }
    return nullptr;
}

inline void Settle(DWORD ms = 400) { Sleep(ms); }

// A left click on the page bar at x bitmap pixels.
inline void ClickBar(HWND main, int x)
{
    HWND bar = GetDlgItem(main, IDC_MAIN_PAGE_BAR);
    PostMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(x, 12));
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 12));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 12));
    Settle();
}

// Escape as the keyboard delivers it: a key-down to the control that has the focus.
inline void PressEscape(const Program& p)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND target = nullptr;
    if (GetGUIThreadInfo(p.pi.dwThreadId, &info))
        target = info.hwndFocus ? info.hwndFocus : info.hwndActive;
    if (!target)
        target = p.main;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

inline DWORD WaitExit(Program& p, DWORD timeoutMs = 30000)
{
    DWORD code = 12345;
    if (WaitForSingleObject(p.pi.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(p.pi.hProcess, 99);
        WaitForSingleObject(p.pi.hProcess, 5000);
        Say("program did not end in time");
        ++g_failures;
    }
    GetExitCodeProcess(p.pi.hProcess, &code);
    CloseHandle(p.pi.hProcess);
    CloseHandle(p.pi.hThread);
    p = Program();
    return code;
}

// The splash is a window of its own; a click sends it away.
inline HWND FindSplash() { return FindWindowA(nullptr, "Zumbra"); }
inline void ClickSplash(HWND splash) { PostMessageA(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20)); }

// While the splash is up, the first key press only sends it away: a driver that means to
// type sends it away first and waits until it has gone.
inline void DismissSplash()
{
    HWND splash = FindSplash();
    if (!splash)
        return;
    ClickSplash(splash);
    CHECK(WaitUntil([&] { return !IsWindow(splash); }, 15000), "the splash stays after a click");
}

// Starts the program and waits for its main window; the splash is sent away unless the
// driver looks at it itself. A start can take long while the machine is busy (the first
// start of a prefix, parallel tests); the wait ends early when the program does.
inline bool Launch(Program& p, const std::string& exe, const char* arguments, bool keepSplash = false)
{
    CHECK(Start(p, exe, arguments), "cannot start %s %s", exe.c_str(), arguments);
    p.main = WaitForDialog(p, "Quellmor [", 90000);
    CHECK(p.main != nullptr, "no main window");
    if (p.main && !keepSplash)
        DismissSplash();
    return p.main != nullptr;
}

// A copy of the program in a folder of its own, without a portable marker or .ini file there,
// so that portable mode can be tried without touching the build's program folder.
inline bool CopyProgram(const std::string& exe, const std::string& folder, std::string* copy)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    *copy = folder + "\\Quellmor.exe";
    DeleteFileA((folder + "\\Quellmor.ini").c_str());
    DeleteFileA((folder + "\\portable.dat").c_str());
    return CopyFileA(exe.c_str(), copy->c_str(), FALSE) != 0;
}

// Waits for the end and checks the exit code.
inline void ExpectExit(Program& p, DWORD expected)
{
    const DWORD code = WaitExit(p);
    CHECK(code == expected, "exit code %#lx, expected %#lx", (unsigned long)code, (unsigned long)expected);
}

// The text of a control of another process (GetWindowText does not ask those; WM_GETTEXT does).
inline std::string WindowText(HWND window)
{
    static char text[65536];
    text[0] = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}
inline std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

inline BOOL CALLBACK CollectText(HWND window, LPARAM lParam)
{
    *(std::string*)lParam += WindowText(window);
    return TRUE;
}

// Every text shown in the window's controls.
inline std::string WindowTexts(HWND window)
{
    std::string all;
    EnumChildWindows(window, CollectText, (LPARAM)&all);
    return all;
}

inline bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

inline void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

inline bool EndsWith(const std::string& text, const char* tail)
{
    const size_t n = strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// "123.4 MByte/sec" and the like: a number, a blank, a unit of bytes, "/sec".
inline bool IsRateText(const std::string& text)
{
    if (text.empty() || !isdigit((unsigned char)text[0]) || !EndsWith(text, "Byte/sec"))
        return false;
    const size_t blank = text.find(' ');
    return blank != std::string::npos && text.find_first_not_of("0123456789.", 0) == blank;
}

// The whole screen as a 24-bit BMP file.
inline void Screenshot(const char* name)
{
    HDC screen = GetDC(nullptr);
    SaveBitmapPicture(screen, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                      g_shots + "\\" + name + ".bmp", SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
}

inline bool KeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline void ClearRegistry()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    CHECK(!KeyExists(), "the settings key could not be removed");
}

} // namespace e2e
