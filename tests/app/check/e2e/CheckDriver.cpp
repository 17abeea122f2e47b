// Works the CheckAccess page as a user would, on two drive letters the script maps to FUSE file
// systems without a page cache: an honest one, and one that claims four times what it keeps.
// Stop, the check of the fake drive with its verdict and curves, the check of the honest one,
// the files removed, and the page's values after a restart.
//
//   CheckDriver <Quellmor.exe> <screenshot folder> <honest letter> <fake letter>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <cctype>
#include <string>
#include <vector>
#include "app/pages/check/CheckIds.h"
#include "graph/GraphModel.h"
#include "tests/app/e2e_common/GuiE2e.h"
#include "tests/app/e2e_common/RegistryText.h"
#include "tests/app/e2e_common/RemoteList.h"

namespace {
using namespace e2e;

bool IsRunning(HWND page) { return IsEnabled(page, IDC_CHECK_STOP) && !IsEnabled(page, IDC_CHECK_START); }

bool FolderExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string CheckFolder(char letter) { return std::string(1, letter) + ":\\QuellmorCheck"; }

std::string DesktopLog()
{
    char desktop[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, desktop, 0x0000 /* CSIDL_DESKTOP */, FALSE);
    return ReadWholeFile(std::string(desktop) + "\\Quellmor.txt");
}

HWND FindChildOfClass(HWND parent, const char* wanted)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(child, cls, sizeof(cls));
        if (strcmp(cls, wanted) == 0)
            return child;
    }
    return nullptr;
}

// Pixels of the graph as the screen shows them that have a series' colour.
int CurvePixels(HWND graph, int series)
{
    RECT r;
    if (!graph || !GetWindowRect(graph, &r))
        return 0;
    const uint32_t colour = GraphSeriesColour(series, true);
    HDC screen = GetDC(nullptr);
    int found = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if ((uint32_t)GetPixel(screen, x, y) == colour)
                ++found;
    ReleaseDC(nullptr, screen);
    return found;
}

int ProgressPosition(HWND page)
{
    HWND bar = FindChildOfClass(page, PROGRESS_CLASSA);
    return bar ? (int)SendMessageA(bar, PBM_GETPOS, 0, 0) : -1;
}

struct Session {
    Program p;
    HWND page = nullptr;
};

bool OpenCheckPage(Session& s, const std::string& exe, bool clickBar)
{
    if (!Launch(s.p, exe, ""))
        return false;
    if (clickBar)
        ClickBar(s.p.main, 500);
    CHECK(WaitPage(s.p.main, kPageCheck) == kPageCheck, "the CheckAccess page does not show");
    s.page = PageWindow(s.p.main);
    return s.page != nullptr;
}

void Choose(Session& s, char letter, const char* limit)
{
    RemoteList list(GetDlgItem(s.page, IDC_CHECK_DRIVES), s.p.pi.hProcess);
    const int item = list.FindLetter(letter);
    CHECK(item >= 0, "no item for %c:", letter);
    list.SelectOnly({item});
    SetWindowTextA(GetDlgItem(s.page, IDC_CHECK_LIMIT), limit);
}

// Start, then the wait until the check has gone again.
bool RunToTheEnd(Session& s, DWORD timeoutMs)
{
    PressButton(s.page, IDC_CHECK_START);
    CHECK(WaitUntil([&] { return IsRunning(s.page); }, 10000), "the check does not start");
    return WaitUntil([&] { return !IsRunning(s.page); }, timeoutMs);
}

void Idle(Session& s)
{
    Say("-- idle");
    for (int id : {IDC_CHECK_DRIVES, IDC_CHECK_LIMIT, IDC_CHECK_KEEP, IDC_CHECK_START})
        CHECK(IsEnabled(s.page, id), "control %d disabled when idle", id);
    CHECK(!IsEnabled(s.page, IDC_CHECK_STOP), "Stop enabled when idle");
    CHECK(ItemText(s.page, IDC_CHECK_VERDICT).empty(), "a verdict before any check");
    CHECK(FindChildOfClass(s.page, "___C_GRAPH__") != nullptr, "no graph on the page");
    Settle(800);
    Screenshot("check_idle");
}

void StopWhileWriting(Session& s, char fake)
{
    Say("-- Stop while the fill is written");
    Choose(s, fake, "");
    PressButton(s.page, IDC_CHECK_START);
    CHECK(WaitUntil([&] { return IsRunning(s.page); }, 10000), "the check does not start");
    CHECK(WaitUntil([&] { return ItemText(s.page, IDC_CHECK_STATUS).rfind("Writing ", 0) == 0; }, 30000),
          "no write pass to stop: %s", ItemText(s.page, IDC_CHECK_STATUS).c_str());
    CHECK(FolderExists(CheckFolder(fake)), "no test folder while the check writes");
    const DWORD pressed = GetTickCount();
    PressButton(s.page, IDC_CHECK_STOP);
    CHECK(WaitUntil([&] { return !IsRunning(s.page); }, 10000), "Stop does not end the check");
    const DWORD took = GetTickCount() - pressed;
    CHECK(took < 1000, "Stop took %lu ms", (unsigned long)took);
    CHECK(ItemText(s.page, IDC_CHECK_STATUS) == "The check was stopped; its test files are removed.",
          "status %s", ItemText(s.page, IDC_CHECK_STATUS).c_str());
    CHECK(ItemText(s.page, IDC_CHECK_VERDICT).empty(), "a verdict after Stop: %s",
          ItemText(s.page, IDC_CHECK_VERDICT).c_str());
    CHECK(!FolderExists(CheckFolder(fake)), "the test folder stays after Stop");
}

void FakeDrive(Session& s, char fake)
{
    Say("-- the drive that keeps a quarter of what it claims");
    const size_t logBefore = DesktopLog().size();
    Choose(s, fake, "");
    const DWORD started = GetTickCount();
    PressButton(s.page, IDC_CHECK_START);
    CHECK(WaitUntil([&] { return IsRunning(s.page); }, 10000), "the check does not start");
    // The picture of a check under way: a good part of the write curve drawn.
    CHECK(WaitUntil([&] { return ProgressPosition(s.page) >= 25 || !IsRunning(s.page); }, 120000),
          "the progress bar does not move");
    Screenshot("check_running");
    CHECK(WaitUntil([&] { return !IsRunning(s.page); }, 300000), "the check does not end");
    printf("the whole check of the fake drive took %.1f s\n", (GetTickCount() - started) / 1000.0);
    Settle(500);

    const std::string verdict = ItemText(s.page, IDC_CHECK_VERDICT);
    CHECK(verdict.rfind("Only 256.0 MByte of ", 0) == 0 &&
              EndsWith(verdict, " This drive is smaller than it claims."),
          "verdict %s", verdict.c_str());
    CHECK(EndsWith(ItemText(s.page, IDC_CHECK_AXIS_END), " written"), "axis %s",
          ItemText(s.page, IDC_CHECK_AXIS_END).c_str());
    for (int id : {IDC_CHECK_WRITE, IDC_CHECK_READ})
        CHECK(IsRateText(ItemText(s.page, id)), "result %d: %s", id, ItemText(s.page, id).c_str());
    for (int id : {IDC_CHECK_WRITE_SPREAD, IDC_CHECK_READ_SPREAD})
        CHECK(ItemText(s.page, id).rfind("min ", 0) == 0, "spread %d: %s", id, ItemText(s.page, id).c_str());
    HWND graph = FindChildOfClass(s.page, "___C_GRAPH__");
    CHECK(CurvePixels(graph, 0) > 100, "no write curve on the screen");
    CHECK(CurvePixels(graph, 1) > 100, "no read curve on the screen");
    CHECK(!FolderExists(CheckFolder(fake)), "the test folder stays after the check");
    const std::string log = DesktopLog();
    CHECK(log.size() > logBefore &&
              log.find("\tcheck:\tOnly 256.0 MByte of ", logBefore) != std::string::npos,
          "no log line: %s", log.substr(logBefore < log.size() ? logBefore : log.size()).c_str());
    Screenshot("check_smaller");
}

void HonestDrive(Session& s, char honest)
{
    Say("-- the honest drive");
    Choose(s, honest, "");
    CHECK(RunToTheEnd(s, 300000), "the check does not end");
    Settle(500);
    const std::string verdict = ItemText(s.page, IDC_CHECK_VERDICT);
    CHECK(verdict.rfind("All ", 0) == 0 && EndsWith(verdict, " came back intact."), "verdict %s",
          verdict.c_str());
    CHECK(!FolderExists(CheckFolder(honest)), "the test folder stays after the check");
    Screenshot("check_intact");
}

void ValuesAfterRestart(Session& s, const std::string& exe, char fake)
{
    Say("-- the page's values after a restart");
    Choose(s, fake, "77");
    SendMessageA(GetDlgItem(s.page, IDC_CHECK_KEEP), BM_SETCHECK, BST_CHECKED, 0);
    PressEscape(s.p);
    ExpectExit(s.p, 0);
    CHECK(ReadRegistryText(HKEY_CURRENT_USER, kKey, "CheckLimit") == "77", "CheckLimit %s",
          ReadRegistryText(HKEY_CURRENT_USER, kKey, "CheckLimit").c_str());
    CHECK(ReadRegistryText(HKEY_CURRENT_USER, kKey, "CheckDrive") == std::string(1, fake), "CheckDrive %s",
          ReadRegistryText(HKEY_CURRENT_USER, kKey, "CheckDrive").c_str());

    // The program opens on CheckAccess again, with the values the user left.
    Session again;
    if (!OpenCheckPage(again, exe, false))
        return;
    CHECK(ItemText(again.page, IDC_CHECK_LIMIT) == "77", "limit %s",
          ItemText(again.page, IDC_CHECK_LIMIT).c_str());
    CHECK(SendMessageA(GetDlgItem(again.page, IDC_CHECK_KEEP), BM_GETCHECK, 0, 0) == BST_CHECKED,
          "keep the test files is not ticked");
    RemoteList list(GetDlgItem(again.page, IDC_CHECK_DRIVES), again.p.pi.hProcess);
    CHECK(list.Selected() == std::vector<int>{list.FindLetter(fake)},
          "the drive checked last is not selected");
    PressEscape(again.p);
    ExpectExit(again.p, 0);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        printf("usage: CheckDriver <Quellmor.exe> <screenshot folder> <honest letter> <fake letter>\n");
        return 2;
    }
    const std::string exe = argv[1];
    g_shots = argv[2];
    const char honest = (char)toupper((unsigned char)argv[3][0]),
               fake = (char)toupper((unsigned char)argv[4][0]);
    CreateDirectoryA(g_shots.c_str(), nullptr);
    ClearRegistry();
    Session s;
    if (OpenCheckPage(s, exe, true)) {
        Idle(s);
        StopWhileWriting(s, fake);
        FakeDrive(s, fake);
        HonestDrive(s, honest);
        ValuesAfterRestart(s, exe, fake);
    } else {
        ExpectExit(s.p, 0);
    }
    ClearRegistry();
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
