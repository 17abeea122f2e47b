// Works the FileAccess page as a user would, on a drive letter mapped by the script to a
// folder holding files of known sizes: picks the folder in the tree and a file in the list,
// reads with F9, writes with F2, deletes through the context menu, searches the biggest
// file of a tree with a link loop, stops a pass, dismisses the open dialog of a missing
// file, runs -w -r from the command line and checks the settings after a restart.
//
//   FileDriver <Quellmor.exe> <screenshot folder> <test letter> <optical drive letter>
#include <windows.h>
#include <commctrl.h>
#include <cctype>
#include <string>
#include <vector>
#include "tests/app/e2e_common/GuiE2e.h"
#include "tests/app/e2e_common/RealInput.h"
#include "tests/app/e2e_common/RemoteList.h"

namespace {
using namespace e2e;

struct Session {
    Program p;
    HWND page = nullptr;
    HWND tree = nullptr;
    HWND list = nullptr;
};

std::string g_drive; // "T:"
std::string g_disc;  // "U:", a folder the system reports as a CD-ROM drive

std::string Path(const char* rest) { return g_drive + "\\" + rest; }

bool IsRunning(HWND page) { return IsEnabled(page, IDC_FILE_STOP); }
bool IsIdle(HWND page) { return !IsEnabled(page, IDC_FILE_STOP); }

uint64_t FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return UINT64_MAX;
    return ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

void SetText(HWND page, int id, const char* text)
{
    SendMessageTimeoutA(GetDlgItem(page, id), WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
}

// A check box ticked or cleared as a click does it: the state, then the notification.
void SetCheck(HWND page, int id, bool on)
{
    SendMessageA(GetDlgItem(page, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(page, id));
    Sleep(300);
}

void Key(HWND window, UINT key)
{
    PostMessageA(window, WM_KEYDOWN, key, 0x00000001);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    Sleep(250);
}

bool PathIs(HWND page, const std::string& expected, DWORD timeoutMs = 3000)
{
    const DWORD start = GetTickCount();
    while (lstrcmpiA(ItemText(page, IDC_FILE_PATH).c_str(), expected.c_str()) != 0) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// Selects tree items as a click would, going down every item whose folder leads to the
// target (or that has no folder of its own, like "My Computer").
HTREEITEM FindFolder(Session& s, HTREEITEM item, const std::string& target, int depth)
{
    for (; item; item = (HTREEITEM)SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
        SetText(s.page, IDC_FILE_PATH, "");
        SendMessageA(s.tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
        Sleep(150);
        std::string path = ItemText(s.page, IDC_FILE_PATH);
        if (lstrcmpiA(path.c_str(), target.c_str()) == 0)
            return item;
        const bool leads = !path.empty() && path.size() < target.size() &&
                           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), (int)path.size(),
                                          target.c_str(), (int)path.size()) == CSTR_EQUAL;
        if ((leads || (path.empty() && depth < 2)) && depth < 6) {
            SendMessageA(s.tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)item);
            Sleep(300);
            HTREEITEM child = (HTREEITEM)SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item);
            HTREEITEM found = FindFolder(s, child, target, depth + 1);
            if (found)
                return found;
        }
    }
    return nullptr;
}

bool SelectFolder(Session& s, const std::string& folder)
{
    HTREEITEM root = (HTREEITEM)SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    HTREEITEM child = (HTREEITEM)SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)root);
    HTREEITEM found = FindFolder(s, child, folder, 0);
    Sleep(300);
    return found != nullptr && PathIs(s.page, folder);
}

// Put into the result field before a run starts; only the run replaces it (a pass empties
// the field as it begins), so a run not yet started, or one that ended between two looks,
// is never taken for the result.
const char* const kNoResultYet = "(no result yet)";
void MarkResult(HWND page) { SetText(page, IDC_FILE_RESULT, kNoResultYet); }

// The result once the run started after MarkResult has ended.
std::string WaitResult(HWND page, DWORD timeoutMs)
{
    if (!WaitUntil([&] { return IsIdle(page) && ItemText(page, IDC_FILE_RESULT) != kNoResultYet; },
                   timeoutMs))
        return "(still running)";
    return ItemText(page, IDC_FILE_RESULT);
}

// A message box of the program other than the main window, with its text.
HWND WaitBox(Session& s, std::string& text, DWORD timeoutMs = 10000)
{
    HWND box = WaitForDialog(s.p, "Quellmor", timeoutMs, s.p.main);
    text.clear();
    if (box)
        EnumChildWindows(box, CollectText, (LPARAM)&text);
    return box;
}

bool Open(Session& s, const std::string& exe, const char* arguments, DWORD settleMs = 1500)
{
    // The splash would otherwise cover the page in the pictures and take the first key.
    if (!Launch(s.p, exe, arguments))
        return false;
    const int page = WaitPage(s.p.main, 2, 10000);
    CHECK(page == 2, "page %d open instead of FileAccess", page);
    if (page != 2)
        return false;
    s.page = PageWindow(s.p.main);
    s.tree = GetDlgItem(s.page, IDC_FILE_TREE);
    s.list = GetDlgItem(s.page, IDC_FILE_LIST);
    Settle(settleMs);
    return true;
}

void Close(Session& s)
{
    PostMessageA(s.p.main, WM_CLOSE, 0, 0);
    CHECK(WaitExit(s.p) == 0, "the program did not end cleanly");
}

void FirstStart(Session& s)
{
    Say("-- -n opens FileAccess on a first start");
    CHECK(IsIdle(s.page), "Stop enabled while idle");
    CHECK(ItemText(s.page, IDC_FILE_EXPERT) == "Expert Mode >", "expert box reads %s",
          ItemText(s.page, IDC_FILE_EXPERT).c_str());
    CHECK(!IsWindowVisible(GetDlgItem(s.page, IDC_FILE_BLOCK_SIZE)),
          "expert controls shown outside expert mode");
    Screenshot("file_idle");
}

void ReadWithF9(Session& s)
{
    Say("-- folder in the tree, file in the list, F9");
    CHECK(SelectFolder(s, Path("data")), "could not select %s in the tree", Path("data").c_str());
    CHECK(ItemText(s.page, IDC_FILE_SIZE) == "0", "a folder shows size %s",
          ItemText(s.page, IDC_FILE_SIZE).c_str());
    RemoteList list(s.list, s.p.pi.hProcess);
    CHECK(list.Count() == 2, "the list holds %d files", list.Count());
    // Biggest first.
    CHECK(list.Text(0, 0) == "big.bin" && list.Text(1, 0) == "small.bin", "list order %s, %s",
          list.Text(0, 0).c_str(), list.Text(1, 0).c_str());
    CHECK(list.Text(0, 1) == "64.0 MByte", "size column %s", list.Text(0, 1).c_str());
    SetFocus(s.list);
    Key(s.list, VK_DOWN);
    if (!PathIs(s.page, Path("data\\big.bin"), 1000))
        Key(s.list, VK_HOME);
    CHECK(PathIs(s.page, Path("data\\big.bin")), "the list selection gave %s",
          ItemText(s.page, IDC_FILE_PATH).c_str());
    CHECK(ItemText(s.page, IDC_FILE_SIZE) == "64", "file size field %s",
          ItemText(s.page, IDC_FILE_SIZE).c_str());
    MarkResult(s.page);
    Key(s.list, VK_F9);
    const std::string result = WaitResult(s.page, 20000);
    CHECK(IsRateText(result), "read result %s", result.c_str());
    Screenshot("file_result");
}

void WriteWithF2(Session& s)
{
    Say("-- F2 writes _TestFile of the chosen size");
    CHECK(SelectFolder(s, Path("data")), "could not select the folder again");
    SetText(s.page, IDC_FILE_SIZE, "20");
    MarkResult(s.page);
    Key(s.tree, VK_F2);
    const std::string result = WaitResult(s.page, 30000);
    CHECK(IsRateText(result), "write result %s", result.c_str());
    CHECK(FileSize(Path("data\\_TestFile")) == 20ull << 20, "_TestFile has %llu bytes",
          (unsigned long long)FileSize(Path("data\\_TestFile")));
    // The refreshed list shows the new file, selected.
    CHECK(PathIs(s.page, Path("data\\_TestFile")), "path after the write %s",
          ItemText(s.page, IDC_FILE_PATH).c_str());
    RemoteList list(s.list, s.p.pi.hProcess);
    std::vector<int> selected = list.Selected();
    CHECK(selected.size() == 1 && list.Text(selected[0], 0) == "_TestFile",
          "the written file is not selected");
}

void DeleteFromMenu(Session& s)
{
    Say("-- the context menu deletes the written file");
    RemoteList list(s.list, s.p.pi.hProcess);
    std::vector<int> selected = list.Selected();
    CHECK(selected.size() == 1, "no file selected for the menu");
    if (selected.size() != 1)
        return;
    POINT at = list.ItemCentre(selected[0]);
    BringToFront(s.p.main);
    INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at.x, at.y);
    SendInput(1, &move, sizeof(INPUT));
    Sleep(300);
    INPUT click[2] = {MouseInput(MOUSEEVENTF_RIGHTDOWN), MouseInput(MOUSEEVENTF_RIGHTUP)};
    SendInput(2, click, sizeof(INPUT));
    HWND menu = nullptr;
    for (int i = 0; i < 50 && !menu; ++i) {
        Sleep(100);
        menu = FindWindowA("#32768", nullptr);
    }
    CHECK(menu != nullptr, "no context menu");
    if (!menu)
        return;
    Screenshot("file_menu");
    INPUT keys[4] = {KeyInput(VK_DOWN, 0), KeyInput(VK_DOWN, KEYEVENTF_KEYUP), KeyInput(VK_RETURN, 0),
                     KeyInput(VK_RETURN, KEYEVENTF_KEYUP)};
    SendInput(2, keys, sizeof(INPUT));
    Sleep(300);
    SendInput(2, keys + 2, sizeof(INPUT));
    std::string text;
    HWND box = WaitBox(s, text);
    CHECK(box != nullptr, "no question before deleting");
    if (!box)
        return;
    CHECK(text.find("Delete file \xBB" + Path("data\\_TestFile") + "\xAB ?") != std::string::npos,
          "question %s", text.c_str());
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    // Under Wine the name leaves the folder listing at once, the file itself a moment later.
    for (int i = 0; i < 100 && FileSize(Path("data\\_TestFile")) != UINT64_MAX; ++i)
        Sleep(100);
    CHECK(FileSize(Path("data\\_TestFile")) == UINT64_MAX, "_TestFile still exists");
    CHECK(list.Count() == 2, "the list was not refreshed (%d files)", list.Count());
}

void RefreshWithF5(Session& s)
{
    Say("-- F5 keeps the folder and the file");
    Key(s.list, VK_HOME);
    CHECK(PathIs(s.page, Path("data\\big.bin")), "Home in the list gave %s",
          ItemText(s.page, IDC_FILE_PATH).c_str());
    Key(s.list, VK_F5);
    Sleep(1500);
    RemoteList list(s.list, s.p.pi.hProcess);
    std::vector<int> selected = list.Selected();
    CHECK(selected.size() == 1 && list.Text(selected[0], 0) == "big.bin", "F5 lost the file selection");
    CHECK(PathIs(s.page, Path("data\\big.bin")), "after F5 the path is %s",
          ItemText(s.page, IDC_FILE_PATH).c_str());
    HTREEITEM item = (HTREEITEM)SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    CHECK(item != nullptr, "F5 left no folder selected");
}

void BiggestInLinkedTree(Session& s)
{
    Say("-- the biggest-file search ends on a tree with a link loop");
    SetCheck(s.page, IDC_FILE_BIGGEST, true);
    SetText(s.page, IDC_FILE_PATH, Path("tree").c_str());
    MarkResult(s.page);
    PressButton(s.page, IDC_FILE_READ);
    const std::string result = WaitResult(s.page, 60000);
    // Which file was chosen is the point here; a fast machine reads 5 MiB from the cache
    // within one clock tick.
    CHECK(IsRateText(result) || result == "[too fast]", "read of the biggest file: %s", result.c_str());
    CHECK(PathIs(s.page, Path("tree\\a\\deep.bin")), "the search chose %s",
          ItemText(s.page, IDC_FILE_PATH).c_str());
    SetCheck(s.page, IDC_FILE_BIGGEST, false);
}

void StopDuringRead(Session& s)
{
    Say("-- Stop during a pass");
    SetText(s.page, IDC_FILE_PATH, Path("huge\\sparse.bin").c_str());
    PressButton(s.page, IDC_FILE_READ);
    CHECK(WaitUntil([&] { return IsRunning(s.page); }, 5000), "the read did not start");
    Sleep(400);
    Screenshot("file_running");
    CHECK(!IsEnabled(s.page, IDC_FILE_SIZE) && !IsEnabled(s.page, IDC_FILE_TREE),
          "controls enabled during the run");
    PressButton(s.page, IDC_FILE_STOP);
    CHECK(WaitUntil([&] { return IsIdle(s.page); }, 10000), "Stop did not end the pass");
    CHECK(ItemText(s.page, IDC_FILE_RESULT).empty(), "a stopped pass shows %s",
          ItemText(s.page, IDC_FILE_RESULT).c_str());
    std::string text;
    CHECK(!WaitBox(s, text, 500), "a stopped pass showed %s", text.c_str());
}

void MissingFile(Session& s)
{
    Say("-- a missing file opens the file dialog");
    SetText(s.page, IDC_FILE_PATH, Path("gone.bin").c_str());
    PressButton(s.page, IDC_FILE_READ);
    const std::string title = "The test file \xBB" + Path("gone.bin") + "\xAB doesn't exist.";
    HWND dialog = WaitForDialog(s.p, title.c_str(), 15000, s.p.main);
    CHECK(dialog != nullptr, "no open dialog titled %s", title.c_str());
    if (dialog) {
        Screenshot("file_open_dialog");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    CHECK(WaitUntil([&] { return IsIdle(s.page); }, 10000), "the run did not end after the dialog");
    std::string text;
    CHECK(!WaitBox(s, text, 500), "cancelling showed %s", text.c_str());
}

void OpticalDrive(Session& s)
{
    Say("-- a file on an optical drive: its own size, a pre-read and the dvd speed factor");
    char root[4] = {g_disc[0], ':', '\\', 0};
    CHECK(GetDriveTypeA(root) == DRIVE_CDROM, "%s is no CD-ROM drive for the system (%u)", root,
          GetDriveTypeA(root));
    const std::string movie = g_disc + "\\video\\movie.vob";
    SetText(s.page, IDC_FILE_PATH, movie.c_str());
    Sleep(300);
    CHECK(!IsEnabled(s.page, IDC_FILE_SIZE), "the File Size field is enabled for a file on a CD");
    SetCheck(s.page, IDC_FILE_FASTEST, true);
    CHECK(IsEnabled(s.page, IDC_FILE_SIZE), "with the fastest file the File Size field stays disabled");
    SetCheck(s.page, IDC_FILE_FASTEST, false);
    MarkResult(s.page);
    PressButton(s.page, IDC_FILE_READ);
    const std::string result = WaitResult(s.page, 20000);
    const size_t dash = result.find(" - ");
    CHECK(dash != std::string::npos && IsRateText(result.substr(0, dash)) && EndsWith(result, "x dvd"),
          "read on the optical drive: %s", result.c_str());
}

void ExpertSettings(Session& s)
{
    Say("-- expert settings for the restart");
    SetCheck(s.page, IDC_FILE_EXPERT, true);
    CHECK(IsWindowVisible(GetDlgItem(s.page, IDC_FILE_BLOCK_SIZE)), "expert controls hidden in expert mode");
    SetText(s.page, IDC_FILE_BLOCK_SIZE, "1048576");
    SetCheck(s.page, IDC_FILE_WRITE_THROUGH, true);
    SetText(s.page, IDC_FILE_PATH, Path("data\\small.bin").c_str());
    SetText(s.page, IDC_FILE_SIZE, "250");
    Sleep(300);
    Screenshot("file_expert");
}

void AfterRestart(Session& s)
{
    Say("-- the settings survive a restart");
    CHECK(ItemText(s.page, IDC_FILE_EXPERT) == "Expert Mode <", "expert mode lost");
    CHECK(ItemText(s.page, IDC_FILE_BLOCK_SIZE) == "1048576", "block size %s",
          ItemText(s.page, IDC_FILE_BLOCK_SIZE).c_str());
    CHECK(SendMessageA(GetDlgItem(s.page, IDC_FILE_WRITE_THROUGH), BM_GETCHECK, 0, 0) == BST_CHECKED,
          "write through lost");
    CHECK(PathIs(s.page, Path("data\\small.bin")), "test file %s", ItemText(s.page, IDC_FILE_PATH).c_str());
    HKEY key;
    char text[300] = "";
    DWORD size = sizeof(text), type = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "TestFile", nullptr, &type, (BYTE*)text, &size);
        RegCloseKey(key);
    }
    CHECK(lstrcmpiA(text, Path("data\\small.bin").c_str()) == 0, "stored TestFile %s", text);
}

// -w -r: the write pass's refresh must not put the page back to idle before the read.
void WriteThenRead(Session& s)
{
    Say("-- -w -r keeps the page running until the read has ended");
    bool sawRunning = false, idleInBetween = false;
    std::string result;
    const DWORD start = GetTickCount();
    int results = 0;
    std::string last;
    while (GetTickCount() - start < 60000) {
        const bool running = IsEnabled(s.page, IDC_FILE_STOP);
        const std::string text = ItemText(s.page, IDC_FILE_RESULT);
        if (running)
            sawRunning = true;
        if (text != last && !text.empty())
            ++results;
        last = text;
        if (sawRunning && !running) {
            // Idle: the run has ended, unless a read is still to come.
            Sleep(300);
            if (!IsEnabled(s.page, IDC_FILE_STOP) && ItemText(s.page, IDC_FILE_RESULT) == text)
                break;
            idleInBetween = true;
        }
        Sleep(2);
    }
    CHECK(sawRunning, "the run from the command line never showed Stop");
    CHECK(!idleInBetween, "the page went idle between the write and the read");
    CHECK(results >= 2, "%d results seen; the read after the write did not run", results);
    CHECK(IsRateText(last), "final result %s", last.c_str());
    CHECK(FileSize(Path("rw\\_TestFile")) == 256ull << 20, "written file has %llu bytes",
          (unsigned long long)FileSize(Path("rw\\_TestFile")));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        printf("usage: FileDriver <Quellmor.exe> <screenshot folder> <letter> <optical letter>\n");
        return 2;
    }
    const std::string exe = argv[1];
    g_shots = argv[2];
    g_drive = std::string(1, (char)toupper((unsigned char)argv[3][0])) + ":";
    g_disc = std::string(1, (char)toupper((unsigned char)argv[4][0])) + ":";
    CreateDirectoryA(g_shots.c_str(), nullptr);
    ClearRegistry();
    Session s;
    if (Open(s, exe, "-n")) {
        FirstStart(s);
        ReadWithF9(s);
        WriteWithF2(s);
        DeleteFromMenu(s);
        RefreshWithF5(s);
        BiggestInLinkedTree(s);
        StopDuringRead(s);
        MissingFile(s);
        OpticalDrive(s);
        ExpertSettings(s);
        Close(s);
    }
    Session again;
    if (Open(again, exe, "")) {
        AfterRestart(again);
        Close(again);
    }
    Session rw;
    const std::string args = "-l " + Path("rw") + " -i 268435456 -c -w -r";
    if (Open(rw, exe, args.c_str(), 0)) {
        WriteThenRead(rw);
        Close(rw);
    }
    printf("%s: %d failure(s)\n", g_failures ? "FAILED" : "passed", g_failures);
    return g_failures ? 1 : 0;
}
