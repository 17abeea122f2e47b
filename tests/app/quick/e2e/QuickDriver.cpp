// Works the QuickAccess page as a user would: picks the test drives (folders mapped to
// drive letters by the script), chooses 10 MByte, presses Start, Ctrl+Start and Stop, and
// checks the result texts, the control states, the test folder and the desktop log.
//
//   QuickDriver <Quellmor.exe> <screenshot folder> <test letter> <test letter> <refusing letter>
//               <browser recorder (a Unix path)>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <dbt.h>
#include <cctype>
#include <string>
#include <vector>
#include "app/pages/quick/QuickIds.h"
#include "tests/app/e2e_common/GuiE2e.h"
#include "tests/app/e2e_common/RealInput.h"
#include "tests/app/e2e_common/RemoteList.h"

namespace {
using namespace e2e;

enum {
    kList = IDC_QUICK_DRIVES,
    kFileSize = IDC_QUICK_FILE_SIZE,
    kBlock64k = IDC_QUICK_BLOCK_64K,
    kBlock1M = IDC_QUICK_BLOCK_1M,
    kStart = IDC_QUICK_START,
    kStop = IDC_QUICK_STOP,
    kSeqWrite = IDC_QUICK_SEQ_WRITE,
    kRndWrite = IDC_QUICK_RND_WRITE,
    kWriteHint = IDC_QUICK_WRITE_HINT,
    kSeqRead = IDC_QUICK_SEQ_READ,
    kRndRead = IDC_QUICK_RND_READ,
    kReadHint = IDC_QUICK_READ_HINT,
    kCompare = IDC_QUICK_COMPARE
};

bool IsRunning(HWND page) { return IsEnabled(page, kStop) && !IsEnabled(page, kStart); }
bool WaitRunning(HWND page, DWORD timeoutMs)
{
    return WaitUntil([&] { return IsRunning(page); }, timeoutMs);
}
bool WaitIdle(HWND page, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsRunning(page); }, timeoutMs);
}

// "12.3 MByte/sec, 3149.6 IOPS, 0.32 ms".
bool IsAccessText(const std::string& text)
{
    const size_t first = text.find(", "), iops = text.find(" IOPS, ");
    if (first == std::string::npos || iops == std::string::npos || !EndsWith(text, " ms"))
        return false;
    const std::string ms = text.substr(iops + 7, text.size() - iops - 10);
    return IsRateText(text.substr(0, first)) && isdigit((unsigned char)text[first + 2]) && !ms.empty() &&
           ms.find_first_not_of("0123456789.") == std::string::npos;
}

bool FolderExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CheckIdleControls(HWND page, const char* when)
{
    for (int id : {kList, kFileSize, kBlock64k, kBlock1M, kStart})
        CHECK(IsEnabled(page, id), "control %d disabled %s", id, when);
    CHECK(!IsEnabled(page, kStop), "Stop enabled %s", when);
}

std::string DesktopLog()
{
    char desktop[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_DESKTOP, nullptr, 0, desktop);
    return std::string(desktop) + "\\Quellmor.txt";
}

// The log's lines; each must end with CR LF.
std::vector<std::string> LogLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        CHECK(end != std::string::npos, "a log line without CR LF at %zu", at);
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> cells;
    size_t at = 0, tab;
    while ((tab = line.find('\t', at)) != std::string::npos) {
        cells.push_back(line.substr(at, tab - at));
        at = tab + 1;
    }
    cells.push_back(line.substr(at));
    return cells;
}

struct LogWindow {
    DWORD programPid;
    HWND found;
};

// A window of another program named after the log (an editor shows "Quellmor" or
// "Quellmor.txt" in its title, depending on how it shows file names).
BOOL CALLBACK FindLogWindow(HWND window, LPARAM lParam)
{
    LogWindow* data = (LogWindow*)lParam;
    char title[256] = "";
    GetWindowTextA(window, title, sizeof(title));
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (IsWindowVisible(window) && pid != data->programPid && pid != GetCurrentProcessId() &&
        strstr(title, "Quellmor") && strncmp(title, "Quellmor [", 10) != 0) {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintWindowTitle(HWND window, LPARAM)
{
    char title[256] = "";
    GetWindowTextA(window, title, sizeof(title));
    if (IsWindowVisible(window) && title[0])
        printf("  window: %s\n", title);
    return TRUE;
}

// The editor the shell opened for the log, or none after the time.
HWND WaitLogWindow(DWORD programPid, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        LogWindow data = {programPid, nullptr};
        EnumWindows(FindLogWindow, (LPARAM)&data);
        if (data.found)
            return data.found;
        Sleep(100);
    }
    return nullptr;
}

// The browser Wine starts for web addresses is the recorder script of the test, which
// appends each address it gets to browser.txt beside itself.
std::string g_recorder;

std::string RecordedAddresses() { return ReadWholeFile(g_shots + "\\browser.txt"); }

bool UseRecorderAsBrowser(bool on)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = on ? RegSetValueExA(key, "Browsers", 0, REG_SZ, (const BYTE*)g_recorder.c_str(),
                                 (DWORD)g_recorder.size() + 1)
                : RegDeleteValueA(key, "Browsers");
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

std::string Encoded(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += (char)c;
        } else {
            char hex[4];
            snprintf(hex, sizeof(hex), "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

void ClickLink(HWND page)
{
    HWND link = GetDlgItem(page, kCompare);
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

struct Session {
    Program p;
    HWND page = nullptr;
    HWND list = nullptr;
    RemoteList List() const { return RemoteList(list, p.pi.hProcess); }
};

bool Open(Session& s, const std::string& exe)
{
    ClearRegistry();
    if (!Launch(s.p, exe, ""))
        return false;
    CHECK(WaitPage(s.p.main, kPageQuick) == kPageQuick, "QuickAccess is not the first page (%d)",
          CurrentPage(s.p.main));
    s.page = PageWindow(s.p.main);
    s.list = GetDlgItem(s.page, kList);
    Settle(800);
    return s.page && s.list;
}

// The items of the drives with these letters; none when one of them is missing.
std::vector<int> Items(const Session& s, std::initializer_list<char> letters)
{
    std::vector<int> items;
    for (char letter : letters) {
        const int item = s.List().FindLetter(letter);
        CHECK(item >= 0, "drive %c: not in the list", letter);
        if (item < 0)
            return {};
        items.push_back(item);
    }
    return items;
}

// Selects only these drives and sets the file size; false when a drive is missing.
bool Choose(Session& s, std::initializer_list<char> letters, const char* size = "10")
{
    const std::vector<int> items = Items(s, letters);
    if (items.empty())
        return false;
    s.List().SelectOnly(items);
    SetDlgItemTextA(s.page, kFileSize, size);
    return true;
}

// Chooses the drives, presses Start and waits until the run shows.
bool StartOn(Session& s, std::initializer_list<char> letters)
{
    if (!Choose(s, letters))
        return false;
    PressButton(s.page, kStart);
    const bool started = WaitRunning(s.page, 5000);
    CHECK(started, "the run did not start");
    return started;
}

// The random write field once it shows anything (its live speed or its result).
std::string WaitRandomWrite(const Session& s)
{
    std::string shown;
    WaitUntil(
        [&] {
            shown = ItemText(s.page, kRndWrite);
            return !shown.empty();
        },
        10000);
    return shown;
}

bool TestFolderGone(char letter) { return !FolderExists(std::string(1, letter) + ":\\QuellmorTest"); }

// One drive, 10 MByte, every pass: the four results, the idle page, no test folder left.
void FullRun(Session& s, char letter)
{
    Say("-- one drive, 10 MByte, all four passes");
    CHECK(s.List().Text(0, 0) != "" && SendMessageA(s.list, LVM_GETSELECTEDCOUNT, 0, 0) == 1,
          "the first drive is selected at start");
    CHECK(ItemText(s.page, kFileSize) == "1000", "file size at start %s",
          ItemText(s.page, kFileSize).c_str());
    CHECK(IsDlgButtonChecked(s.page, kBlock1M) == BST_CHECKED, "1 MByte is the block size at start");
    CHECK(!IsEnabled(s.page, kCompare), "the link is enabled before any result");
    ClickLink(s.page);
    Settle(3000);
    CHECK(RecordedAddresses().empty(), "the disabled link opened %s", RecordedAddresses().c_str());
    CheckIdleControls(s.page, "at start");
    if (!Choose(s, {letter}))
        return;
    // Small blocks, so that reading 10 MByte from Wine's file cache still takes measurable time.
    SendMessageA(GetDlgItem(s.page, kBlock1M), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(s.page, kBlock64k), BM_SETCHECK, BST_CHECKED, 0);
    Settle(200);
    Screenshot("quick_before");

    const DWORD started = GetTickCount();
    PressButton(s.page, kStart);
    CHECK(WaitRunning(s.page, 5000), "the run did not start");
    for (int id : {kList, kFileSize, kBlock64k, kBlock1M, kStart, kCompare})
        CHECK(!IsEnabled(s.page, id), "control %d enabled while running", id);
    // Into the random write pass, where the live speed shows after its first accesses.
    std::string live;
    WaitUntil(
        [&] {
            live = ItemText(s.page, kRndWrite);
            return EndsWith(live, "/sec ");
        },
        10000);
    Sleep(1000);
    Screenshot("quick_during");
    CHECK(live == "..." || EndsWith(live, "/sec "), "live random text %s", live.c_str());
    CHECK(FolderExists(std::string(1, letter) + ":\\QuellmorTest\\QuellmorTest.bin"),
          "no test file while running");

    CHECK(WaitIdle(s.page, 60000), "the run did not end within a minute");
    const DWORD took = GetTickCount() - started;
    Settle(300);
    Screenshot("quick_after");
    CHECK(took >= 12000, "four passes took only %lu ms", (unsigned long)took);
    const std::string sw = ItemText(s.page, kSeqWrite), sr = ItemText(s.page, kSeqRead);
    const std::string rw = ItemText(s.page, kRndWrite), rr = ItemText(s.page, kRndRead);
    printf("results: %s | %s | %s | %s (%lu ms)\n", sw.c_str(), rw.c_str(), sr.c_str(), rr.c_str(),
           (unsigned long)took);
    CHECK(IsRateText(sw), "sequential write %s", sw.c_str());
    // Wine reads from its file cache: 10 MByte may take less than the clock's millisecond.
    const bool readRate = IsRateText(sr);
    CHECK(readRate || sr == "[too fast]", "sequential read %s", sr.c_str());
    CHECK(IsAccessText(rw), "random write %s", rw.c_str());
    CHECK(IsAccessText(rr), "random read %s", rr.c_str());
    CHECK(ItemText(s.page, kWriteHint).empty() && ItemText(s.page, kReadHint).empty(),
          "a USB hint for a folder drive");
    CHECK(TestFolderGone(letter), "the test folder is still there");
    CheckIdleControls(s.page, "after the run");
    if (readRate)
        CHECK(IsEnabled(s.page, kCompare), "the link stays disabled after a complete run");
    else
        CHECK(!IsEnabled(s.page, kCompare), "the link is enabled without a read rate");
}

// The link sends the last drive's figures, its name and class and the processor, each value
// encoded, to the vendor's page through the system's URL handler.
void CompareLink(Session& s, char letter)
{
    Say("-- the comparison link");
    if (!IsEnabled(s.page, kCompare)) {
        Say("note: the link is disabled (no read rate under Wine's cache), its address is not checked");
        return;
    }
    const std::string drive = s.List().Text(s.List().FindLetter(letter), 0);
    ClickLink(s.page);
    const DWORD start = GetTickCount();
    while (RecordedAddresses().empty() && GetTickCount() - start < 30000)
        Sleep(100);
    const std::string recorded = RecordedAddresses();
    CHECK(!recorded.empty(), "no address reached the browser");
    if (recorded.empty())
        return;
    const std::string address = recorded.substr(0, recorded.find('\n'));
    printf("address: %s\n", address.c_str());
    const std::string head = "http://www.velantix.com/content/quellmor/benchmark.php?r=";
    unsigned read = 0, write = 0;
    int used = 0;
    CHECK(address.compare(0, head.size(), head) == 0, "address %s", address.c_str());
    CHECK(sscanf(address.c_str() + head.size(), "%u&w=%u%n", &read, &write, &used) == 2 && read && write,
          "rates in %s", address.c_str());
    const std::string rest = used ? address.substr(head.size() + used) : "";
    const std::string middle = "&d=" + Encoded(drive) + "&c=internal&o=";
    CHECK(rest.compare(0, middle.size(), middle) == 0, "drive and class in %s (expected %s)", rest.c_str(),
          middle.c_str());
    const std::string processor = rest.size() > middle.size() ? rest.substr(middle.size()) : "";
    CHECK(!processor.empty() &&
              processor.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                          "0123456789-_.~%") == std::string::npos,
          "processor value %s", processor.c_str());
}

// Ctrl on Start skips both random passes.
void CtrlStart(Session& s, char letter)
{
    Say("-- Ctrl+Start");
    if (!Choose(s, {letter}))
        return;
    CtrlClick(s.page, kStart);
    CHECK(WaitRunning(s.page, 3000) || !ItemText(s.page, kRndRead).empty(), "Ctrl+Start started nothing");
    CHECK(WaitIdle(s.page, 20000), "the run did not end");
    Settle(300);
    Screenshot("quick_ctrl");
    CHECK(ItemText(s.page, kRndWrite) == "not tested", "random write %s",
          ItemText(s.page, kRndWrite).c_str());
    CHECK(ItemText(s.page, kRndRead) == "not tested", "random read %s", ItemText(s.page, kRndRead).c_str());
    CHECK(IsRateText(ItemText(s.page, kSeqWrite)), "sequential write %s",
          ItemText(s.page, kSeqWrite).c_str());
    CHECK(IsRateText(ItemText(s.page, kSeqRead)), "sequential read %s", ItemText(s.page, kSeqRead).c_str());
}

// A fresh Wine prefix knows the text editor's file type but not the extension: the
// extension is registered for this test and removed again afterwards.
bool AssociateText()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegSetValueExA(key, nullptr, 0, REG_SZ, (const BYTE*)"txtfile", 8);
    RegCloseKey(key);
    return true;
}

// Opens the desktop log holding one earlier line; returns that line.
std::string SeedLog(const std::string& log)
{
    const std::string old = "an earlier line\r\n";
    if (FILE* f = fopen(log.c_str(), "wb")) {
        fwrite(old.data(), 1, old.size(), f);
        fclose(f);
    }
    return old;
}

// Closes the editor the program opened for the log; false when none came.
bool CloseLogWindow(const Session& s, const char* screenshot = nullptr)
{
    HWND editor = WaitLogWindow(s.p.pi.dwProcessId, 10000);
    if (!editor)
        return false;
    if (screenshot)
        Screenshot(screenshot);
    PostMessageA(editor, WM_CLOSE, 0, 0);
    return true;
}

// Two drives: a date line and one line per drive appended to the desktop log, which opens.
void TwoDrives(Session& s, char first, char second)
{
    Say("-- two drives and the desktop log");
    const std::string log = DesktopLog();
    const std::string old = SeedLog(log);
    const std::vector<int> items = Items(s, {first, second});
    if (items.empty() || !Choose(s, {first, second}))
        return;
    const std::string texts[2] = {s.List().Text(items[0], 0), s.List().Text(items[1], 0)};
    CtrlClick(s.page, kStart);
    CHECK(WaitRunning(s.page, 3000) || FolderExists(log), "the run did not start");
    CHECK(WaitIdle(s.page, 30000), "the run did not end");
    if (!CloseLogWindow(s, "quick_log")) {
        CHECK(false, "the log did not open by itself");
        EnumWindows(PrintWindowTitle, 0);
    }
    const std::string text = ReadWholeFile(log);
    const std::vector<std::string> lines = LogLines(text);
    CHECK(lines.size() == 4, "log has %zu lines: %s", lines.size(), text.c_str());
    if (lines.size() == 4) {
        CHECK(lines[0] + "\r\n" == old, "the earlier line was lost: %s", lines[0].c_str());
        CHECK(!lines[1].empty() && lines[1].find('\t') == std::string::npos, "date line %s",
              lines[1].c_str());
        for (int i = 0; i < 2; ++i) {
            const std::string& line = lines[2 + i];
            const std::string head = texts[i] + "\tread:\t";
            CHECK(line.compare(0, head.size(), head) == 0, "log line %s", line.c_str());
            const std::vector<std::string> cells = Cells(line);
            CHECK(cells.size() == 7 && IsRateText(cells[2]) && cells[3] == "not tested" &&
                      cells[4] == "write:" && IsRateText(cells[5]) && cells[6] == "not tested",
                  "log line %s", line.c_str());
        }
    }
    DeleteFileA(log.c_str());
}

// Stop in the first drive's random write: that drive's test ends, the second drive gets all
// four passes, and the log tells both.
void StopThenNextDrive(Session& s, char first, char second)
{
    Say("-- Stop on the first of two drives");
    const std::string log = DesktopLog();
    DeleteFileA(log.c_str());
    if (!StartOn(s, {first, second}))
        return;
    WaitRandomWrite(s);
    Sleep(500);
    PressButton(s.page, kStop);
    // The stopped pass leaves its field empty; it fills again only with the second drive's
    // random write, which follows that drive's two short sequential passes. Their figures
    // cannot tell the drives apart: 10 MByte in a whole number of milliseconds often gives
    // both drives the same text.
    const DWORD stopAt = GetTickCount();
    WaitUntil([&] { return ItemText(s.page, kRndWrite).empty(); }, 8000);
    WaitUntil([&] { return !ItemText(s.page, kRndWrite).empty(); }, 8000);
    // The first drive stops within a second and the second drive's sequential passes take a
    // fraction of one; the rest is margin for a loaded machine. A stop that is not honoured
    // lets the pass run out its remaining four seconds and more.
    const DWORD began = GetTickCount() - stopAt;
    printf("the second drive's random pass began %lu ms after Stop\n", (unsigned long)began);
    CHECK(began < 3000, "the second drive's random pass began %lu ms after Stop", (unsigned long)began);
    CHECK(IsRunning(s.page), "Stop ended the whole run instead of the first drive's test");
    CHECK(WaitIdle(s.page, 30000), "the run did not end");
    CHECK(IsAccessText(ItemText(s.page, kRndWrite)) && IsAccessText(ItemText(s.page, kRndRead)),
          "the second drive lacks random results: %s / %s", ItemText(s.page, kRndWrite).c_str(),
          ItemText(s.page, kRndRead).c_str());
    CHECK(TestFolderGone(first) && TestFolderGone(second), "a test folder stays");
    CloseLogWindow(s);
    const std::vector<std::string> lines = LogLines(ReadWholeFile(log));
    CHECK(lines.size() == 3, "log has %zu lines", lines.size());
    if (lines.size() == 3) {
        const std::vector<std::string> one = Cells(lines[1]), two = Cells(lines[2]);
        CHECK(one.size() == 7 && one[3].empty() && one[6].empty() && IsRateText(one[5]),
              "stopped drive's line %s", lines[1].c_str());
        CHECK(two.size() == 7 && IsAccessText(two[3]) && IsAccessText(two[6]), "second drive's line %s",
              lines[2].c_str());
    }
    DeleteFileA(log.c_str());
}

// A size of 0 runs nothing: the results of the last run stay and no folder appears.
void ZeroSize(Session& s, char letter)
{
    Say("-- file size 0");
    const std::string before = ItemText(s.page, kSeqWrite) + ItemText(s.page, kRndRead);
    if (!Choose(s, {letter}, "0"))
        return;
    PressButton(s.page, kStart);
    Settle(1000);
    CHECK(!IsRunning(s.page), "still running after a size of 0");
    CheckIdleControls(s.page, "after a size of 0");
    CHECK(ItemText(s.page, kSeqWrite) + ItemText(s.page, kRndRead) == before,
          "results changed by a size of 0");
    CHECK(TestFolderGone(letter), "a size of 0 made the test folder");
}

// Stop in the random write pass ends the drive's test within about a second.
void StopInRandom(Session& s, char letter)
{
    Say("-- Stop during the random passes");
    if (!StartOn(s, {letter}))
        return;
    CHECK(!WaitRandomWrite(s).empty(), "the random write pass never showed");
    Sleep(1000);
    const DWORD stopAt = GetTickCount();
    PressButton(s.page, kStop);
    CHECK(WaitIdle(s.page, 5000), "Stop did not end the run");
    const DWORD took = GetTickCount() - stopAt;
    printf("stop took %lu ms\n", (unsigned long)took);
    // Within a second, with a margin for a loaded machine; an unhonoured stop takes over four.
    CHECK(took < 2500, "Stop took %lu ms", (unsigned long)took);
    CHECK(ItemText(s.page, kRndWrite).empty(), "a stopped pass shows %s",
          ItemText(s.page, kRndWrite).c_str());
    CHECK(ItemText(s.page, kRndRead).empty(), "the pass after a stopped one shows %s",
          ItemText(s.page, kRndRead).c_str());
    CHECK(IsRateText(ItemText(s.page, kSeqRead)), "sequential read %s", ItemText(s.page, kSeqRead).c_str());
    Settle(300);
    CHECK(TestFolderGone(letter), "the test folder stays after Stop");
    CheckIdleControls(s.page, "after Stop");
}

// F5 and a disk's arrival refresh the list (the first drive is selected again); a volume
// notification does not, and neither does F5 while a run goes on.
void Refreshes(Session& s, char letter)
{
    Say("-- list refreshes: F5, disk arrival, refused while running");
    const RemoteList list = s.List();
    const int item = list.FindLetter(letter);
    if (item <= 0) {
        CHECK(item > 0, "the test drive must not be the first one (%d)", item);
        return;
    }
    const int count = list.Count();
    auto pressF5 = [&]() {
        PostMessageA(s.list, WM_KEYDOWN, VK_F5, 0x003F0001);
        PostMessageA(s.list, WM_KEYUP, VK_F5, 0xC03F0001);
    };

    list.SelectOnly({item});
    pressF5();
    Settle(1500);
    CHECK(list.Count() == count, "F5 changed the drive count %d to %d", count, list.Count());
    CHECK(list.Selected() == std::vector<int>{0}, "F5 did not refill the list");

    list.SelectOnly({item});
    list.SendDeviceChange(s.page, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    Settle(2600);
    CHECK(list.Selected() == std::vector<int>{item}, "a volume notification refreshed the list");
    list.SendDeviceChange(s.page, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE);
    Settle(1000);
    CHECK(list.Selected() == std::vector<int>{item}, "the refresh came before its two seconds");
    Settle(1800);
    CHECK(list.Selected() == std::vector<int>{0}, "a disk's removal did not refresh the list");
    CHECK(list.Count() == count, "the refresh changed the drive count %d to %d", count, list.Count());

    // A double click on a drive starts a run on it; while it goes on, neither F5 nor a
    // notification touches the list.
    SetDlgItemTextA(s.page, kFileSize, "10");
    ClickAt(s.p.main, list.ItemCentre(item), false, 2);
    CHECK(WaitRunning(s.page, 5000), "a double click on the drive did not start a run");
    CHECK(list.Selected() == std::vector<int>{item}, "the double click did not choose the drive");
    pressF5();
    list.SendDeviceChange(s.page, DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE);
    Settle(2600);
    CHECK(list.Selected() == std::vector<int>{item}, "the list was refreshed during a run");
    PressButton(s.page, kStop);
    CHECK(WaitIdle(s.page, 5000), "Stop did not end the run");
}

BOOL CALLBACK FindIconControl(HWND child, LPARAM found)
{
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (_stricmp(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *(HWND*)found = child;
        return FALSE;
    }
    return TRUE;
}

// The message box's icon as the screen shows it: the exclamation icon is a yellow triangle,
// the error icon a red disc.
void CheckExclamationIcon(HWND box)
{
    HWND icon = nullptr;
    EnumChildWindows(box, FindIconControl, (LPARAM)&icon);
    CHECK(icon != nullptr, "the message has no icon");
    if (!icon)
        return;
    RECT r;
    GetWindowRect(icon, &r);
    HDC screen = GetDC(nullptr);
    int yellow = 0, red = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = GetPixel(screen, x, y);
            const int R = GetRValue(c), G = GetGValue(c), B = GetBValue(c);
            if (R > 180 && G > 150 && B < 110)
                ++yellow;
            else if (R > 150 && G < 90 && B < 90)
                ++red;
        }
    ReleaseDC(nullptr, screen);
    CHECK(yellow > 30 && red < yellow / 4, "the message shows no exclamation icon (%d yellow, %d red pixels)",
          yellow, red);
}

// A drive where nothing can be created: the message of the failed write with the
// exclamation icon, no results, and the page idle again.
void FailingDrive(Session& s, char letter)
{
    Say("-- a drive that refuses the test file");
    if (!Choose(s, {letter}))
        return;
    PressButton(s.page, kStart);
    HWND box = WaitForDialog(s.p, "Quellmor", 10000, s.p.main);
    CHECK(box != nullptr, "no message about the test file");
    if (box) {
        const std::string text = WindowTexts(box);
        const std::string path = std::string(1, letter) + ":\\QuellmorTest\\QuellmorTest.bin";
        CHECK(text.find("Can't open test file") != std::string::npos && text.find(path) != std::string::npos,
              "message %s", text.c_str());
        Screenshot("quick_failure");
        CheckExclamationIcon(box);
        CHECK(IsRunning(s.page), "the page is idle while its message is open");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    CHECK(WaitIdle(s.page, 10000), "the run did not end after the failure");
    for (int id : {kSeqWrite, kRndWrite, kSeqRead, kRndRead})
        CHECK(ItemText(s.page, id).empty(), "result %d after a failed write: %s", id,
              ItemText(s.page, id).c_str());
    CheckIdleControls(s.page, "after a failed write");
    CHECK(!IsEnabled(s.page, kCompare), "the link is enabled without results");
}

// Ending the program during a run: the page stops its worker and waits for it.
void ExitWhileRunning(Session& s, char letter)
{
    Say("-- Escape during a run");
    if (!StartOn(s, {letter}))
        return;
    WaitRandomWrite(s);
    Sleep(500);
    const DWORD escapeAt = GetTickCount();
    PressEscape(s.p);
    if (WaitForSingleObject(s.p.pi.hProcess, 10000) == WAIT_OBJECT_0)
        printf("program ended %lu ms after Escape\n", (unsigned long)(GetTickCount() - escapeAt));
    CHECK(TestFolderGone(letter), "the test folder stays after the exit");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 7) {
        printf(
            "usage: QuickDriver <Quellmor.exe> <screenshot folder> <letter> <letter> <letter> <recorder>\n");
        return 2;
    }
    const std::string exe = argv[1];
    g_shots = argv[2];
    const char first = (char)toupper((unsigned char)argv[3][0]),
               second = (char)toupper((unsigned char)argv[4][0]);
    const char refusing = (char)toupper((unsigned char)argv[5][0]);
    g_recorder = argv[6];
    CHECK(UseRecorderAsBrowser(true), "cannot set the browser of the prefix");
    CreateDirectoryA(g_shots.c_str(), nullptr);
    Session s;
    if (Open(s, exe)) {
        FullRun(s, first);
        CompareLink(s, first);
        CtrlStart(s, first);
        const bool associated = AssociateText();
        TwoDrives(s, first, second);
        StopThenNextDrive(s, first, second);
        if (associated)
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ".txt");
        ZeroSize(s, first);
        StopInRandom(s, first);
        FailingDrive(s, refusing);
        Refreshes(s, first);
        ExitWhileRunning(s, first);
    }
    ExpectExit(s.p, 0);
    UseRecorderAsBrowser(false);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
