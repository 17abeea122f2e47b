// Works the BlockAccess page of Quellmor.exe as a user would: chooses devices from the list
// (an image file behind drive letter X: and the test ASPI layer's disk and CD-ROM), sets
// the range, reads with a data file, writes after the question, runs random and seek
// passes, stops a run, and restarts the program to find its settings again. Checks the
// image and data files byte by byte and takes screenshots.
//
//   BlockDriver <Quellmor.exe> <output folder (holds x.img)>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "tests/app/e2e_common/GuiE2e.h"
#include "tests/app/e2e_common/RegistryText.h"
#include "tests/app/e2e_common/RemoteList.h"
#include "tests/common/WholeFile.h"

namespace {
using namespace e2e;

enum {
    kList = 1028,
    kLinear = 1029,
    kRandom = 1030,
    kSeek = 1032,
    kStart = 1034,
    kEnd = 1035,
    kPerAccess = 1036,
    kSkip = 1037,
    kRepeat = 1038,
    kCalc = 1043,
    kSaveData = 1033,
    kDataFile = 1067,
    kShowGraph = 1049,
    kRead = 1065,
    kStop = 1004,
    kWrite = 1066,
    kBufferSize = 1039,
    kSpeed = 1040,
    kHelp = 1069,
    kBrowse = 1068,
};
const uint32_t kImageBlocks = 4096;

uint8_t ImageByte(uint64_t block, uint32_t offset) { return uint8_t(block * 11 + offset * 5 + 3); }
// What the test ASPI layer's disk holds.
uint8_t AspiByte(uint64_t block, uint32_t offset) { return uint8_t(block * 7 + offset * 3 + 1); }

std::string g_folder;
// The graph window's placement as the driver left it, in the stored form.
std::string g_graphPlacement;
std::vector<uint8_t> g_expected; // what the image should hold now

std::string Text(HWND page, int id)
{
    char text[512] = "";
    SendMessageTimeoutA(GetDlgItem(page, id), WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

bool IsEnabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != 0; }
bool IsIdle(HWND page) { return IsEnabled(page, kRead) && !IsEnabled(page, kStop); }
bool IsRunning(HWND page) { return IsEnabled(page, kStop); }

bool WaitUntil(bool (*state)(HWND), HWND page, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!state(page)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

std::string ImagePath() { return g_folder + "\\x.img"; }

// The first block where the image differs from what it should hold, or -1.
long long ImageDifference()
{
    const std::vector<uint8_t> now = ReadFileBytes(ImagePath());
    if (now.size() != g_expected.size())
        return -2;
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i] != g_expected[i])
            return (long long)(i / 512);
    return -1;
}

struct Session {
    Program p;
    HWND page = nullptr;
    HWND list = nullptr;
};

// A top-level dialog of the program other than the main window and the graph window.
struct BoxSearch {
    DWORD pid;
    HWND main;
    HWND found;
};
BOOL CALLBACK FindBox(HWND window, LPARAM lParam)
{
    BoxSearch* s = (BoxSearch*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64] = "", title[256] = "";
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, title, sizeof title);
    const size_t n = strlen(title);
    if (pid == s->pid && window != s->main && IsWindowVisible(window) && strcmp(cls, "#32770") == 0 &&
        !(n > 6 && strcmp(title + n - 6, " Graph") == 0)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}
HWND WaitBox(Session& s, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        BoxSearch search = {s.p.pi.dwProcessId, s.p.main, nullptr};
        EnumWindows(FindBox, (LPARAM)&search);
        if (search.found)
            return search.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}
BOOL CALLBACK CollectText(HWND window, LPARAM lParam)
{
    char text[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
    *(std::string*)lParam += text;
    return TRUE;
}
std::string BoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, CollectText, (LPARAM)&text);
    return text;
}

struct GraphSearch {
    DWORD pid;
    HWND found;
};
BOOL CALLBACK FindGraph(HWND window, LPARAM lParam)
{
    GraphSearch* s = (GraphSearch*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    const size_t n = strlen(title);
    if (pid == s->pid && IsWindowVisible(window) && n > 6 && strcmp(title + n - 6, " Graph") == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}
HWND GraphWindow(Session& s)
{
    GraphSearch search = {s.p.pi.dwProcessId, nullptr};
    EnumWindows(FindGraph, (LPARAM)&search);
    return search.found;
}

void Click(HWND page, int id)
{
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(page, id));
}
// A real click through the input queue, as the user's mouse makes it.
void ClickButton(HWND button)
{
    RECT r = {};
    GetWindowRect(button, &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        i.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(300);
    SendInput(1, &in[1], sizeof(INPUT));
    Sleep(50);
    SendInput(1, &in[2], sizeof(INPUT));
}

void SetBox(HWND page, int id, bool on)
{
    SendMessageA(GetDlgItem(page, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(page, id));
}
void ChooseRadio(HWND page, int id)
{
    for (int r : {kLinear, kRandom, kSeek})
        SendMessageA(GetDlgItem(page, r), BM_SETCHECK, r == id ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(page, id));
}
void SetField(HWND page, int id, const std::string& text) { SetDlgItemTextA(page, id, text.c_str()); }

int FindRow(Session& s, int column, const char* text, bool prefix)
{
    RemoteList list(s.list, s.p.pi.hProcess);
    for (int i = 0; i < list.Count(); ++i) {
        const std::string t = list.Text(i, column);
        if (prefix ? t.compare(0, strlen(text), text) == 0 : t.find(text) != std::string::npos)
            return i;
    }
    return -1;
}

bool Select(Session& s, int row)
{
    if (row < 0)
        return false;
    RemoteList(s.list, s.p.pi.hProcess).SelectOnly({row});
    Sleep(200);
    return true;
}

// Waits for the run to end; any message box fails the check and is closed.
void FinishRun(Session& s, const char* what, DWORD timeoutMs = 60000)
{
    const DWORD start = GetTickCount();
    DWORD quietSince = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (HWND box = WaitBox(s, 0)) {
            CHECK(false, "%s: message %s", what, BoxText(box).c_str());
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            PostMessageA(box, WM_COMMAND, IDNO, 0);
            quietSince = GetTickCount();
        }
        if (!IsIdle(s.page))
            quietSince = GetTickCount();
        else if (GetTickCount() - quietSince > 700)
            break;
        Sleep(50);
    }
    CHECK(IsIdle(s.page), "%s did not end", what);
}

// Presses a button and waits for the run it starts to end. The page looks idle until its
// worker enters the running state, which a loaded machine may delay: the speed label, marked
// here and cleared by the worker as its first step, tells when the run has begun.
void RunAndWait(Session& s, int button, const char* what, DWORD timeoutMs = 60000)
{
    SetDlgItemTextA(s.page, kSpeed, "(not started)");
    Click(s.page, button);
    const DWORD start = GetTickCount();
    while (Text(s.page, kSpeed) == "(not started)" && !WaitBox(s, 0) && GetTickCount() - start < 20000)
        Sleep(20);
    FinishRun(s, what, timeoutMs);
}

bool Open(Session& s, const std::string& exe, const char* arguments)
{
    if (!Launch(s.p, exe, arguments))
        return false;
    CHECK(WaitPage(s.p.main, 1) == 1, "the BlockAccess page is not open");
    s.page = PageWindow(s.p.main);
    s.list = GetDlgItem(s.page, kList);
    return s.page && s.list;
}

void Close(Session& s)
{
    PostMessageA(s.p.main, WM_CLOSE, 0, 0);
    const DWORD code = WaitExit(s.p);
    CHECK(code == 0, "exit code %lu", (unsigned long)code);
}

void PrintRows(Session& s)
{
    RemoteList list(s.list, s.p.pi.hProcess);
    for (int i = 0; i < list.Count(); ++i)
        printf("  row %d: %s | %s | %s | %s | %s\n", i, list.Text(i, 0).c_str(), list.Text(i, 1).c_str(),
               list.Text(i, 2).c_str(), list.Text(i, 3).c_str(), list.Text(i, 4).c_str());
}

void ListAndSelection(Session& s)
{
    Say("-- the device list");
    PrintRows(s);
    const int x = FindRow(s, 1, "X", true);
    CHECK(x >= 0, "drive X: is not listed");
    const int disk = FindRow(s, 0, "QUELLMOR ASPI DISK", true);
    CHECK(disk >= 0, "the ASPI disk is not listed");
    CHECK(FindRow(s, 0, "QUELLMOR ASPI CDROM", true) >= 0, "the ASPI CD-ROM is not listed");
    const int data = FindRow(s, 4, "track 1 [data]", false), audio = FindRow(s, 4, "track 2 [audio]", false);
    CHECK(data >= 0 && audio >= 0, "the CD's tracks are not listed");
    if (data >= 0) {
        Select(s, data);
        CHECK(IsEnabled(s.page, kRead) && !IsEnabled(s.page, kWrite), "a track row offers writing");
    }
    if (x < 0)
        return;
    Select(s, x);
    CHECK(Text(s.page, kStart) == "0" && Text(s.page, kEnd) == "4096", "range of X: %s..%s",
          Text(s.page, kStart).c_str(), Text(s.page, kEnd).c_str());
    CHECK(Text(s.page, kPerAccess) == "1", "blocks per access %s", Text(s.page, kPerAccess).c_str());
    CHECK(Text(s.page, kBufferSize) == "512 Bytes", "buffer label %s", Text(s.page, kBufferSize).c_str());
    CHECK(IsEnabled(s.page, kRead) && IsEnabled(s.page, kWrite), "X: cannot be read and written");
    SetField(s.page, kPerAccess, "0");
    CHECK(Text(s.page, kPerAccess) == "1", "blocks per access 0 became %s", Text(s.page, kPerAccess).c_str());
    SetField(s.page, kPerAccess, "20");
    CHECK(Text(s.page, kBufferSize) == "10 kBytes", "buffer label %s", Text(s.page, kBufferSize).c_str());
    // F5 rebuilds the list and keeps the device.
    PostMessageA(s.list, WM_KEYDOWN, VK_F5, 0x003F0001);
    PostMessageA(s.list, WM_KEYUP, VK_F5, 0xC03F0001);
    Sleep(2000);
    RemoteList list(s.list, s.p.pi.hProcess);
    const std::vector<int> selected = list.Selected();
    CHECK(selected.size() == 1 && list.Text(selected[0], 1) == "X", "F5 lost the selection of X:");
    PrintRows(s);
}

void HelpPage(Session& s)
{
    Say("-- the help behind confused?");
    Click(s.page, kHelp);
    HWND help = WaitBox(s, 10000);
    CHECK(help != nullptr, "no help window");
    if (!help)
        return;
    char caption[256] = "";
    GetWindowTextA(help, caption, sizeof caption);
    const std::string text = std::string(caption) + BoxText(help);
    CHECK(text.find("block access information") != std::string::npos, "help window %s", text.c_str());
    CHECK(text.find("skipped blocks") != std::string::npos, "the help does not explain the loop: %s",
          text.c_str());
    Screenshot("block_help");
    PostMessageA(help, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(help) && IsWindowVisible(help) && GetTickCount() - start < 5000)
        Sleep(50);
    CHECK(!IsWindowVisible(help), "the help window stays");
}

void LinearReadWithDataFile(Session& s)
{
    Say("-- linear read into a data file, with the graph");
    if (!Select(s, FindRow(s, 1, "X", true)))
        return;
    ChooseRadio(s.page, kLinear);
    SetBox(s.page, kSaveData, true);
    SetBox(s.page, kShowGraph, true);
    const std::string file = g_folder + "\\read.bin";
    DeleteFileA(file.c_str());
    SetField(s.page, kDataFile, file);
    SetField(s.page, kStart, "100");
    SetField(s.page, kEnd, "612");
    SetField(s.page, kPerAccess, "64");
    SetField(s.page, kCalc, "2");
    RunAndWait(s, kRead, "the linear read");
    const std::vector<uint8_t> data = ReadFileBytes(file);
    CHECK(data.size() == 512u * 512, "data file of %u bytes", (unsigned)data.size());
    bool same = data.size() == 512u * 512;
    for (size_t i = 0; same && i < data.size(); ++i)
        same = data[i] == g_expected[100 * 512 + i];
    CHECK(same, "the data file differs from the image's blocks 100 to 611");
    const std::string speed = Text(s.page, kSpeed);
    CHECK(speed.find("/sec - ") != std::string::npos || speed == "[too fast]", "speed label %s",
          speed.c_str());
    HWND graph = GraphWindow(s);
    CHECK(graph != nullptr, "no graph window after a linear run with the graph");
    if (graph) {
        SetWindowPos(graph, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
        Sleep(500);
        Screenshot("block_graph");
        Screenshot("block_list");
        // Where it is when the program ends is what the next start restores.
        SetWindowPos(graph, HWND_TOP, 30, 40, 700, 400, 0);
        Sleep(200);
        RECT r;
        GetWindowRect(graph, &r);
        char text[80];
        snprintf(text, sizeof text, "1,%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
        g_graphPlacement = text;
    }
}

// The graph window's placement value under the settings key ("" when there is none).
std::string StoredGraphPlacement() { return ReadRegistryText(HKEY_CURRENT_USER, kKey, "Graph"); }

// In portable mode a linear run still shows the graph, and nothing reaches the registry.
void GraphInPortableMode(const std::string& exe)
{
    Say("-- the graph in portable mode");
    ClearRegistry();
    std::string copy;
    CHECK(CopyProgram(exe, g_folder + "\\portable", &copy), "cannot copy the program");
    Session s;
    if (!Open(s, copy, "-z -a")) {
        WaitExit(s.p);
        return;
    }
    if (Select(s, FindRow(s, 1, "X", true))) {
        ChooseRadio(s.page, kLinear);
        SetBox(s.page, kSaveData, false);
        SetBox(s.page, kShowGraph, true);
        SetField(s.page, kStart, "0");
        SetField(s.page, kEnd, "512");
        SetField(s.page, kPerAccess, "64");
        SetField(s.page, kCalc, "1");
        RunAndWait(s, kRead, "the portable linear read");
        HWND graph = GraphWindow(s);
        CHECK(graph != nullptr, "no graph window in portable mode");
        if (graph)
            SetWindowPos(graph, HWND_TOP, 50, 60, 640, 380, 0);
    }
    Close(s);
    CHECK(!KeyExists(), "portable mode wrote to the registry (graph placement %s)",
          StoredGraphPlacement().c_str());
}

void WriteAfterQuestion(Session& s)
{
    Say("-- write from a data file after the question");
    if (!Select(s, FindRow(s, 1, "X", true)))
        return;
    std::vector<uint8_t> pattern(64 * 512);
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = uint8_t(0x5A ^ (i * 13));
    const std::string file = g_folder + "\\pattern.bin";
    CHECK(WriteFileBytes(file, pattern), "cannot write the pattern file");
    SetBox(s.page, kSaveData, true);
    SetField(s.page, kDataFile, file);
    SetField(s.page, kStart, "1000");
    SetField(s.page, kEnd, "1300");
    SetField(s.page, kPerAccess, "64");
    Click(s.page, kWrite);
    HWND box = WaitBox(s, 10000);
    CHECK(box != nullptr, "no question before the first write");
    if (!box)
        return;
    const std::string question = BoxText(box);
    CHECK(question.find("Are you sure that you wanna write to device \xBB\\\\.\\X:\xAB?") !=
              std::string::npos,
          "question %s", question.c_str());
    Screenshot("block_question");
    ClickButton(GetDlgItem(box, IDYES));
    // Under Wine the box's loop may linger a moment after it vanished; the run's speed
    // label, cleared when the run began, tells when its accesses were made.
    const DWORD asked = GetTickCount();
    while (Text(s.page, kSpeed).empty() && GetTickCount() - asked < 10000)
        Sleep(20);
    FinishRun(s, "the first write");
    // (1300 - 1000) / 64 = 4 accesses: blocks 1000 to 1255.
    for (uint64_t b = 1000; b < 1256; ++b)
        memcpy(&g_expected[b * 512], &pattern[(b - 1000) % 64 * 512], 512);
    CHECK(ImageDifference() == -1, "image differs at block %lld after the write (speed %s)",
          ImageDifference(), Text(s.page, kSpeed).c_str());

    // The same device again: no question.
    SetField(s.page, kStart, "1300");
    SetField(s.page, kEnd, "1364");
    RunAndWait(s, kWrite, "the second write");
    for (uint64_t b = 1300; b < 1364; ++b)
        memcpy(&g_expected[b * 512], &pattern[(b - 1300) * 512], 512);
    CHECK(ImageDifference() == -1, "image differs at block %lld after the second write", ImageDifference());
}

// Expects one message box whose text holds what, answers it, and waits for the page.
void ExpectMessage(Session& s, const char* what, const char* when)
{
    HWND box = WaitBox(s, 10000);
    CHECK(box != nullptr, "%s: no message", when);
    if (!box)
        return;
    const std::string text = BoxText(box);
    CHECK(text.find(what) != std::string::npos, "%s: message %s", when, text.c_str());
    ClickButton(GetDlgItem(box, IDOK));
    const DWORD clicked = GetTickCount();
    while (IsWindow(box) && GetTickCount() - clicked < 5000)
        Sleep(20);
    FinishRun(s, when);
}

void WritesGoOnlyToTheChosenDevice(Session& s)
{
    Say("-- a write after the medium behind X: changed, and with no row selected");
    const int x = FindRow(s, 1, "X", true);
    if (!Select(s, x))
        return;
    SetBox(s.page, kSaveData, false);
    SetField(s.page, kStart, "0");
    SetField(s.page, kEnd, "64");
    SetField(s.page, kPerAccess, "8");
    // The device was confirmed before, so nothing is asked: only the check stands between
    // the write and a medium the list never saw.
    std::vector<uint8_t> other(3 << 20, 0x77);
    CHECK(WriteFileBytes(ImagePath(), other), "cannot replace the image");
    Click(s.page, kWrite);
    ExpectMessage(s, "has changed since the list was made. Press F5 to refresh the list.", "the stale write");
    CHECK(ReadFileBytes(ImagePath()) == other, "the write reached the replaced image");
    CHECK(WriteFileBytes(ImagePath(), g_expected), "cannot put the image back");

    // A click on the list's empty area leaves no row selected: nothing is the target.
    RemoteList(s.list, s.p.pi.hProcess).SelectOnly({});
    Sleep(200);
    CHECK(RemoteList(s.list, s.p.pi.hProcess).Selected().empty(), "a row is still selected");
    Click(s.page, kWrite);
    ExpectMessage(s, "select a testdrive dude...", "the write without a row");
    CHECK(ImageDifference() == -1, "a write without a row changed block %lld", ImageDifference());
}

void RandomAndSeekWrites(Session& s)
{
    Say("-- random and seek writes up to the image's end");
    if (!Select(s, FindRow(s, 1, "X", true)))
        return;
    SetBox(s.page, kSaveData, false);
    for (int pattern : {kRandom, kSeek}) {
        ChooseRadio(s.page, pattern);
        CHECK(!IsEnabled(s.page, kSkip) && IsEnabled(s.page, kRepeat) && !IsEnabled(s.page, kSaveData),
              "controls of random and seek");
        SetField(s.page, kStart, "2000");
        SetField(s.page, kEnd, "4096");
        SetField(s.page, kPerAccess, "7");
        SetField(s.page, kRepeat, "300");
        RunAndWait(s, kWrite, pattern == kRandom ? "the random write" : "the seek write");
        // Zeros land somewhere inside the range; outside it nothing may change.
        const std::vector<uint8_t> now = ReadFileBytes(ImagePath());
        CHECK(now.size() == g_expected.size(), "the image changed its size");
        if (now.size() != g_expected.size())
            return;
        for (size_t i = 2000 * 512; i < now.size(); ++i)
            g_expected[i] = now[i];
        CHECK(ImageDifference() == -1, "write outside the range at block %lld", ImageDifference());
    }
    // The seek's far end is the last whole access: blocks 4089 to 4095, now zeros.
    CHECK(g_expected[4089 * 512] == 0 && g_expected[4095 * 512 + 511] == 0,
          "the seek missed the range's end");
    ChooseRadio(s.page, kLinear);
    CHECK(IsEnabled(s.page, kSkip) && !IsEnabled(s.page, kRepeat), "controls of linear");
}

void CrcBlocksAreZeros(Session& s)
{
    Say("-- No to the question on the ASPI disk, CRC errors on it, then a write after Yes");
    if (!Select(s, FindRow(s, 0, "QUELLMOR ASPI DISK", true)))
        return;
    // A device of its own identity asks again; No ends the run without a word and stores
    // nothing (the end of the test finds X:'s confirmation and the one of the Yes below).
    Click(s.page, kWrite);
    HWND box = WaitBox(s, 10000);
    CHECK(box != nullptr && BoxText(box).find("Are you sure") != std::string::npos,
          "no question for the disk");
    if (box)
        ClickButton(GetDlgItem(box, IDNO));
    Sleep(300);
    FinishRun(s, "the refused write");
    ChooseRadio(s.page, kLinear);
    SetBox(s.page, kSaveData, true);
    const std::string file = g_folder + "\\crc.bin";
    SetField(s.page, kDataFile, file);
    SetField(s.page, kStart, "16");
    SetField(s.page, kEnd, "112");
    SetField(s.page, kPerAccess, "16");
    SetField(s.page, kSkip, "0");
    RunAndWait(s, kRead, "the read over CRC errors");
    const std::vector<uint8_t> data = ReadFileBytes(file);
    CHECK(data.size() == 96u * 512, "data file of %u bytes", (unsigned)data.size());
    if (data.size() != 96u * 512)
        return;
    for (uint64_t b = 16; b < 112; ++b) {
        const bool zero = b == 30 || b == 31 || b == 77;
        bool ok = true;
        for (uint32_t i = 0; i < 512 && ok; ++i)
            ok = data[(b - 16) * 512 + i] == (zero ? 0 : AspiByte(b, i));
        CHECK(ok, "block %u of the data file is wrong", (unsigned)b);
    }

    // Yes on the same disk: it answers again as the list saw it, so the write goes ahead
    // (zeros, without a data file) and reads back.
    SetBox(s.page, kSaveData, false);
    SetField(s.page, kStart, "200");
    SetField(s.page, kEnd, "216");
    Click(s.page, kWrite);
    box = WaitBox(s, 10000);
    CHECK(box != nullptr && BoxText(box).find("Are you sure") != std::string::npos,
          "no question for the disk's write");
    if (box)
        ClickButton(GetDlgItem(box, IDYES));
    Sleep(300);
    FinishRun(s, "the write to the ASPI disk");
    SetBox(s.page, kSaveData, true);
    SetField(s.page, kStart, "200");
    SetField(s.page, kEnd, "216");
    RunAndWait(s, kRead, "the read of the written blocks");
    const std::vector<uint8_t> back = ReadFileBytes(file);
    CHECK(back.size() == 16u * 512 && std::all_of(back.begin(), back.end(), [](uint8_t b) { return b == 0; }),
          "the ASPI disk's written blocks read back as %u bytes, not zeros", (unsigned)back.size());
}

void StopWaits(Session& s)
{
    Say("-- Stop during a slow run");
    if (!Select(s, FindRow(s, 0, "QUELLMOR ASPI DISK", true)))
        return;
    SetBox(s.page, kSaveData, false);
    SetField(s.page, kStart, "600");
    SetField(s.page, kEnd, "1000");
    SetField(s.page, kPerAccess, "1");
    Click(s.page, kRead);
    CHECK(WaitUntil(IsRunning, s.page, 5000), "the slow run did not start");
    Sleep(1200);
    SendMessageA(s.page, WM_COMMAND, MAKEWPARAM(kStop, BN_CLICKED), (LPARAM)GetDlgItem(s.page, kStop));
    const std::string label = Text(s.page, kStop);
    CHECK(label == "Wait", "Stop reads %s", label.c_str());
    const DWORD stopped = GetTickCount();
    CHECK(WaitUntil(IsIdle, s.page, 3000), "the run did not end after Stop");
    printf("run ended %lu ms after Stop\n", (unsigned long)(GetTickCount() - stopped));
    CHECK(Text(s.page, kStop) == "&Stop", "Stop reads %s after the run", Text(s.page, kStop).c_str());
}

// The file dialog behind Browse; cancelling it keeps the name.
void BrowseCancelled(Session& s)
{
    Say("-- Browse, cancelled");
    ChooseRadio(s.page, kLinear);
    SetBox(s.page, kSaveData, true);
    SetField(s.page, kDataFile, "kept.bin");
    CHECK(IsEnabled(s.page, kBrowse), "Browse is disabled with save/read data on");
    Click(s.page, kBrowse);
    HWND dialog = WaitBox(s, 10000);
    CHECK(dialog != nullptr, "no file dialog");
    if (!dialog)
        return;
    char caption[256] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    CHECK(strcmp(caption, "Please select filename to save or read data") == 0, "file dialog %s", caption);
    Sleep(1000);
    // The name box (a combo box or an edit, by the dialog's style) starts with the field's name.
    char name[MAX_PATH] = "";
    for (int id : {0x47C, 0x480})
        if (!name[0])
            SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof name, (LPARAM)name,
                                SMTO_ABORTIFHUNG, 2000, nullptr);
    CHECK(strcmp(name, "kept.bin") == 0, "the file dialog starts with %s", name);
    Screenshot("block_browse");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - start < 5000)
        Sleep(50);
    CHECK(Text(s.page, kDataFile) == "kept.bin", "the name changed to %s", Text(s.page, kDataFile).c_str());
}

// Closing the program during a run: the page stops the worker and waits for its access.
void CloseDuringRun(Session& s)
{
    Say("-- closing the program during a slow run");
    if (!Select(s, FindRow(s, 0, "QUELLMOR ASPI DISK", true)))
        return;
    ChooseRadio(s.page, kLinear);
    SetBox(s.page, kSaveData, false);
    SetField(s.page, kStart, "600");
    SetField(s.page, kEnd, "1000");
    SetField(s.page, kPerAccess, "1");
    Click(s.page, kRead);
    CHECK(WaitUntil(IsRunning, s.page, 5000), "the slow run did not start");
    Sleep(700);
    const DWORD closed = GetTickCount();
    PostMessageA(s.p.main, WM_CLOSE, 0, 0);
    const DWORD code = WaitExit(s.p, 10000);
    CHECK(code == 0, "exit code %lu", (unsigned long)code);
    printf("program ended %lu ms after the close\n", (unsigned long)(GetTickCount() - closed));
}

void SettingsSurvive(Session& s, const std::string& exe)
{
    Say("-- the settings after a restart");
    SetField(s.page, kSkip, "3");
    SetField(s.page, kCalc, "5");
    SetField(s.page, kRepeat, "77");
    SetField(s.page, kDataFile, "keep.bin");
    ChooseRadio(s.page, kSeek);
    SetBox(s.page, kShowGraph, false);
    Close(s);
    Session again;
    if (!Open(again, exe, ""))
        return;
    CHECK(Text(again.page, kSkip) == "3" && Text(again.page, kCalc) == "5" &&
              Text(again.page, kRepeat) == "77" && Text(again.page, kDataFile) == "keep.bin",
          "fields after a restart: %s %s %s %s", Text(again.page, kSkip).c_str(),
          Text(again.page, kCalc).c_str(), Text(again.page, kRepeat).c_str(),
          Text(again.page, kDataFile).c_str());
    CHECK(SendDlgItemMessageA(again.page, kSeek, BM_GETCHECK, 0, 0) == BST_CHECKED, "seek is not chosen");
    CHECK(SendDlgItemMessageA(again.page, kShowGraph, BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "show graph is on");
    Close(again);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        printf("usage: BlockDriver <Quellmor.exe> <output folder>\n");
        return 2;
    }
    const std::string exe = argv[1];
    g_folder = g_shots = argv[2];
    g_expected.resize(size_t(kImageBlocks) * 512);
    for (size_t i = 0; i < g_expected.size(); ++i)
        g_expected[i] = ImageByte(i / 512, uint32_t(i % 512));
    CHECK(WriteFileBytes(ImagePath(), g_expected), "cannot write the image");
    ClearRegistry();
    Session s;
    if (Open(s, exe, "-a")) {
        ListAndSelection(s);
        HelpPage(s);
        LinearReadWithDataFile(s);
        WriteAfterQuestion(s);
        WritesGoOnlyToTheChosenDevice(s);
        RandomAndSeekWrites(s);
        CrcBlocksAreZeros(s);
        StopWaits(s);
        BrowseCancelled(s);
        SettingsSurvive(s, exe);
        Session last;
        if (Open(last, exe, ""))
            CloseDuringRun(last);
    } else {
        WaitExit(s.p);
    }
    HKEY key;
    bool confirmed = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Velantix\\Quellmor\\Write", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        DWORD count = 0;
        confirmed = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                     nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                    count == 2;
        RegCloseKey(key);
    }
    // X: and the ASPI disk.
    CHECK(confirmed, "the two write confirmations are not stored in section Write");
    // The main window closed the graph window at its end, which stored where it was.
    CHECK(!g_graphPlacement.empty() && StoredGraphPlacement() == g_graphPlacement,
          "graph placement stored \"%s\", the window was at \"%s\"", StoredGraphPlacement().c_str(),
          g_graphPlacement.c_str());
    GraphInPortableMode(exe);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
