// Drives the About page of Quellmor.exe against an update server on 127.0.0.1 that this
// driver runs itself: ticking the update box asks the server at once, even when a check
// ran the same day; an unticked box is stored and keeps the next start from asking;
// Escape inside the help text ends the program.
//
//   AboutDriver <Quellmor.exe> <screenshot folder> <work folder>
#include "tests/common/LocalHttpServer.h"
#include <cstdio>
#include <string>
#include "tests/app/e2e_common/GuiE2e.h"

namespace {
using namespace e2e;

const int kAboutX = 760;     // the About picture of the page bar
const int kQuickX = 143;     // the QuickAccess picture
const int kUpdateBox = 1094; // "Automatically check for updates"
const int kHelpText = 1098;

DWORD Now()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULONGLONG ticks = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (DWORD)((ticks - 116444736000000000ull) / 10000000ull);
}

void WriteNumber(const char* name, DWORD value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value));
    RegCloseKey(key);
}

DWORD ReadNumber(const char* name, DWORD fallback)
{
    HKEY key;
    DWORD value = fallback, size = sizeof(value), type = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return fallback;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        value = fallback;
    RegCloseKey(key);
    return value;
}

std::string ItemText(HWND window, int id)
{
    char text[512] = "";
    SendMessageTimeoutA(GetDlgItem(window, id), WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return text;
}

// Starts the program, opens the About page and returns its window (null on failure).
HWND OpenAbout(Program& p, const std::string& exe)
{
    if (!Launch(p, exe, "-a"))
        return nullptr;
    ClickBar(p.main, kAboutX);
    return WaitPage(p.main, 3) == 3 ? PageWindow(p.main) : nullptr;
}

// Escape with the focus in the help text, as the keyboard delivers it.
void EscapeFromHelpText(Program& p, HWND about)
{
    HWND notes = GetDlgItem(about, kHelpText);
    PostMessageA(notes, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(notes, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Settle();
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(p.pi.dwThreadId, &info);
    char focusClass[64] = "", activeTitle[128] = "";
    GetClassNameA(info.hwndFocus, focusClass, sizeof(focusClass));
    GetWindowTextA(info.hwndActive, activeTitle, sizeof(activeTitle));
    CHECK(info.hwndFocus == notes, "the help text has the focus, not %s in %s", focusClass, activeTitle);
    PressEscape(p);
}

void TickingChecksAtOnce(const std::string& exe)
{
    Say("-- ticking the box asks the server at once, although it was asked today");
    C_LocalHttpServer server("9.99\r\n");
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", ("http://" + server.Address()).c_str());
    ClearRegistry();
    const DWORD earlier = Now() - 60;
    WriteNumber("AutoUpdate", 0);
    WriteNumber("LastCheck", earlier);
    Program p;
    HWND about = OpenAbout(p, exe);
    CHECK(about != nullptr, "no About page");
    if (!about) {
        WaitExit(p, 1);
        return;
    }
    std::string box = ItemText(about, kUpdateBox);
    CHECK(box.rfind("Automatically check for updates [Last Check: ", 0) == 0 && box.back() == ']',
          "box text %s", box.c_str());
    CHECK(IsDlgButtonChecked(about, kUpdateBox) == BST_UNCHECKED, "the box starts unticked");
    Screenshot("about_page");
    Settle(1000);
    CHECK(server.Count() == 0, "the start asked the server although AutoUpdate is 0");

    SendMessageA(GetDlgItem(about, kUpdateBox), BM_CLICK, 0, 0);
    CHECK(server.WaitFor(1, 10000), "ticking the box did not ask the server");
    std::string line = server.Get(0).Line();
    CHECK(line.rfind("GET /data/update.php?p=quellmor&v=1.00&id=", 0) == 0, "request %s", line.c_str());
    // The newer version on the server is offered in a question owned by the main window.
    HWND question = WaitForDialog(p, "Quellmor [", 10000, p.main);
    CHECK(question != nullptr, "no question about the newer version");
    if (question) {
        std::string shown;
        for (HWND child = GetWindow(question, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[512] = "";
            SendMessageTimeoutA(child, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000,
                                nullptr);
            shown += text;
        }
        CHECK(shown.find("Version 9.99 of Quellmor is available.") != std::string::npos, "question %s",
              shown.c_str());
        Screenshot("about_update_question");
        PostMessageA(question, WM_COMMAND, IDNO, 0);
        for (int i = 0; i < 50 && IsWindow(question); ++i)
            Settle(100);
        CHECK(!IsWindow(question), "No did not close the question");
        // The main window takes back the focus it had before the question.
        Settle(1000);
    }
    DWORD stored = ReadNumber("LastCheck", 0);
    CHECK(stored > earlier && stored <= Now(), "LastCheck %lu not renewed", (unsigned long)stored);
    EscapeFromHelpText(p, about);
    DWORD code = WaitExit(p);
    CHECK(code == 0, "exit code %lu", (unsigned long)code);
    CHECK(ReadNumber("AutoUpdate", 7) == 1, "AutoUpdate %lu after ticking",
          (unsigned long)ReadNumber("AutoUpdate", 7));
    CHECK(server.Count() == 1, "%u requests", (unsigned)server.Count());
}

void UntickedBoxIsStoredAndRespected(const std::string& exe)
{
    Say("-- an unticked box is stored when the page closes, and the next start asks nobody");
    C_LocalHttpServer server("1.00\r\n");
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", ("http://" + server.Address()).c_str());
    ClearRegistry();
    Program p;
    HWND about = OpenAbout(p, exe);
    CHECK(about != nullptr, "no About page");
    CHECK(server.WaitFor(1, 10000), "the first start did not ask the server");
    if (about) {
        CHECK(IsDlgButtonChecked(about, kUpdateBox) == BST_CHECKED, "the box starts ticked");
        SendMessageA(GetDlgItem(about, kUpdateBox), BM_CLICK, 0, 0);
        Settle();
        ClickBar(p.main, kQuickX);
        CHECK(WaitPage(p.main, 0) == 0, "QuickAccess");
        CHECK(ReadNumber("AutoUpdate", 7) == 0, "AutoUpdate %lu after leaving the page",
              (unsigned long)ReadNumber("AutoUpdate", 7));
        PressEscape(p);
    }
    DWORD code = WaitExit(p);
    CHECK(code == 0, "exit code %lu", (unsigned long)code);
    CHECK(server.Count() == 1, "unticking asked the server: %u requests", (unsigned)server.Count());

    // Even a week-old check is not repeated while the box is unticked.
    WriteNumber("LastCheck", Now() - 8 * 86400);
    about = OpenAbout(p, exe);
    CHECK(about != nullptr, "no About page on the second start");
    if (about) {
        CHECK(IsDlgButtonChecked(about, kUpdateBox) == BST_UNCHECKED, "the box stays unticked");
        Settle(2000);
        EscapeFromHelpText(p, about);
    }
    code = WaitExit(p);
    CHECK(code == 0, "exit code %lu", (unsigned long)code);
    CHECK(server.Count() == 1, "the second start asked the server: %u requests", (unsigned)server.Count());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        printf("usage: AboutDriver <Quellmor.exe> <screenshot folder> <work folder>\n");
        return 2;
    }
    std::string exe = argv[1];
    g_shots = argv[2];
    CreateDirectoryA(g_shots.c_str(), nullptr);
    TickingChecksAtOnce(exe);
    UntickedBoxIsStoredAndRespected(exe);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
