// Drives Quellmor.exe as a user would: starts it, clicks the page bar, presses Escape,
// and checks what the program left in the registry or in its .ini file. Screenshots of
// the screen go to the given folder as BMP files.
//
//   GuiDriver <Quellmor.exe> <screenshot folder> <work folder>
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* kKey = "Software\\Velantix\\Quellmor";
int g_failures = 0;
std::string g_shots;

#define CHECK(cond, ...)                                           \
    do {                                                           \
        if (!(cond)) {                                             \
            ++g_failures;                                          \
            printf("FAILED %s:%d: %s: ", __FILE__, __LINE__, #cond); \
            printf(__VA_ARGS__);                                   \
            printf("\n");                                          \
            fflush(stdout);                                        \
        }                                                          \
    } while (0)

void Say(const char* format, const char* text = "")
{
    printf(format, text);
    printf("\n");
    fflush(stdout);
}

struct Program {
    PROCESS_INFORMATION pi = {};
    HWND main = nullptr;
};

bool Start(Program& p, const std::string& exe, const char* arguments)
{
    std::string line = "\"" + exe + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p.pi) != 0;
}

struct FindData {
    DWORD pid;
    HWND found;
    const char* titlePrefix;
};

BOOL CALLBACK FindTop(HWND window, LPARAM lParam)
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
HWND WaitForDialog(const Program& p, const char* titlePrefix, DWORD timeoutMs, HWND except = nullptr)
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
int CurrentPage(HWND main)
{
    const struct {
        int id;
        int page;
    } marks[] = {{1084, 0}, {1028, 1}, {1005, 2}, {1098, 3}};
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

// The page once it is the expected one, or whatever is open when the time is up.
int WaitPage(HWND main, int expected, DWORD timeoutMs = 5000)
{
    DWORD start = GetTickCount();
    int page = CurrentPage(main);
    while (page != expected && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        page = CurrentPage(main);
    }
    return page;
}

HWND PageWindow(HWND main)
{
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(child, cls, sizeof(cls));
        if (strcmp(cls, "#32770") == 0)
            return child;
    }
    return nullptr;
}

void Settle(DWORD ms = 400) { Sleep(ms); }

// A left click on the page bar at x bitmap pixels.
void ClickBar(HWND main, int x)
{
    HWND bar = GetDlgItem(main, 1052);
    PostMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(x, 12));
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 12));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 12));
    Settle();
}

// Escape as the keyboard delivers it: a key-down to the control that has the focus.
void PressEscape(const Program& p)
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

DWORD WaitExit(Program& p, DWORD timeoutMs = 15000)
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

// The whole screen as a 24-bit BMP file.
void Screenshot(const char* name)
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u, size = stride * (DWORD)height;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + size;
    std::string path = g_shots + "\\" + name + ".bmp";
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(&fh, sizeof(fh), 1, f);
        fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f);
        fwrite(bits, 1, size, f);
        fclose(f);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

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

bool KeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void ClearRegistry()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    CHECK(!KeyExists(), "the settings key could not be removed");
}

std::string ReadIni(const std::string& ini, const char* name)
{
    char text[256];
    GetPrivateProfileStringA("Settings", name, "<missing>", text, sizeof(text), ini.c_str());
    return text;
}

bool CopyProgram(const std::string& exe, const std::string& folder, std::string* copy)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    *copy = folder + "\\Quellmor.exe";
    DeleteFileA((folder + "\\Quellmor.ini").c_str());
    DeleteFileA((folder + "\\portable.dat").c_str());
    return CopyFileA(exe.c_str(), copy->c_str(), FALSE) != 0;
}

// First start with nothing stored: QuickAccess, and the defaults stored at the end.
void FirstStart(const std::string& exe)
{
    Say("-- first start with empty settings");
    ClearRegistry();
    Program p;
    CHECK(Start(p, exe, ""), "cannot start %s", exe.c_str());
    p.main = WaitForDialog(p, "Quellmor [", 20000);
    CHECK(p.main != nullptr, "no main window");
    if (!p.main) {
        WaitExit(p, 1);
        return;
    }
    Sleep(300);
    Screenshot("splash");
    char title[128] = "";
    GetWindowTextA(p.main, title, sizeof(title));
    CHECK(strcmp(title, "Quellmor [1.00]") == 0, "title %s", title);
    CHECK(WaitPage(p.main, 0) == 0, "first page %d", CurrentPage(p.main));
    Sleep(4500);
    CHECK(FindWindowA(nullptr, "Zumbra") == nullptr, "the splash is still there after its 4000 ms");
    PressEscape(p);
    DWORD code = WaitExit(p);
    CHECK(code == 0, "exit code %lu", (unsigned long)code);
    DWORD flags = 0;
    CHECK(ReadNumber("Flags", &flags) && flags == 0x9018, "Flags %#lx", (unsigned long)flags);
    CHECK(ReadText("FileSize") == "0", "FileSize %s", ReadText("FileSize").c_str());
    CHECK(ReadText("BlockSize") == "65536", "BlockSize %s", ReadText("BlockSize").c_str());
    CHECK(ReadText("PreReadSize") == "3145728", "PreReadSize %s", ReadText("PreReadSize").c_str());
    CHECK(ReadText("TestFile") == "", "TestFile %s", ReadText("TestFile").c_str());
}

// Every page from the bar, the dead zone, then the last page and flags survive a restart.
void PagesAndRestart(const std::string& exe)
{
    Say("-- page bar and restart");
    Program p;
    CHECK(Start(p, exe, ""), "cannot start");
    p.main = WaitForDialog(p, "Quellmor [", 20000);
    CHECK(p.main != nullptr, "no main window");
    if (!p.main) {
        WaitExit(p, 1);
        return;
    }
    Settle(600);
    // A click on the splash closes it before its time is up.
    HWND splash = FindWindowA(nullptr, "Zumbra");
    if (splash) {
        char cls[128] = "";
        GetClassNameA(splash, cls, sizeof(cls));
        CHECK(strncmp(cls, "Zumbra_{", 8) == 0, "splash class %s", cls);
        PostMessageA(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
        Settle(800);
        CHECK(!IsWindow(splash), "the splash stays after a click");
    } else {
        Say("note: no splash window (no picture or no layered windows)");
    }
    struct {
        int x, page;
        const char* shot;
    } steps[] = {{200, 2, "page_file"}, {350, 1, "page_block"}, {600, 1, nullptr}, {449, 1, nullptr},
                 {760, 3, "page_about"}, {143, 0, "page_quick"}, {0, 0, nullptr}, {278, 2, nullptr},
                 {279, 1, nullptr}};
    for (const auto& step : steps) {
        HWND before = PageWindow(p.main);
        int pageBefore = CurrentPage(p.main);
        ClickBar(p.main, step.x);
        int page = WaitPage(p.main, step.page);
        CHECK(page == step.page, "click at x=%d shows page %d, expected %d", step.x, page, step.page);
        if (pageBefore == step.page)
            CHECK(PageWindow(p.main) == before, "click at x=%d recreated the page already shown", step.x);
        if (step.shot)
            Screenshot(step.shot);
    }
    // Changing a remembered choice on BlockAccess: random access, graph off.
    HWND block = PageWindow(p.main);
    SendMessageA(GetDlgItem(block, 1030), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(block, 1049), BM_CLICK, 0, 0);
    SetDlgItemTextA(block, 1034, "77");
    Settle(200);
    CHECK(IsWindowEnabled(GetDlgItem(block, 1038)) && !IsWindowEnabled(GetDlgItem(block, 1037)),
          "random access enables repeats and disables skipped blocks");
    PressEscape(p);
    DWORD code = WaitExit(p);
    CHECK(code == 0, "exit code %lu", (unsigned long)code);
    DWORD flags = 0;
    ReadNumber("Flags", &flags);
    CHECK(flags == ((0x9018 | 0x1 | 0x2000) & ~0x1000u & ~0x8000u), "Flags after BlockAccess %#lx",
          (unsigned long)flags);
    CHECK(ReadText("BlockStart") == "77", "BlockStart %s", ReadText("BlockStart").c_str());
    CHECK(ReadText("BlockRepeat") == "100", "BlockRepeat %s", ReadText("BlockRepeat").c_str());

    Say("-- restart finds BlockAccess and its choices");
    CHECK(Start(p, exe, ""), "cannot start");
    p.main = WaitForDialog(p, "Quellmor [", 20000);
    if (p.main) {
        Settle(600);
        CHECK(WaitPage(p.main, 1) == 1, "restart page %d", CurrentPage(p.main));
        HWND page = PageWindow(p.main);
        CHECK(IsDlgButtonChecked(page, 1030) == BST_CHECKED, "random access is ticked again");
        CHECK(IsDlgButtonChecked(page, 1049) == BST_UNCHECKED, "show graph stays unticked");
        char text[32] = "";
        GetDlgItemTextA(page, 1034, text, sizeof(text));
        CHECK(strcmp(text, "77") == 0, "start block %s", text);
        // The close command ends the program like Escape.
        PostMessageA(p.main, WM_COMMAND, IDCLOSE, 0);
    }
    code = WaitExit(p);
    CHECK(code == 0, "exit code after IDCLOSE %lu", (unsigned long)code);
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
            HANDLE f = CreateFileA((folder + "\\portable.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                   nullptr);
            CloseHandle(f);
        }
        Program p;
        CHECK(Start(p, copy, way[0] == '-' ? "-z -a" : "-a"), "cannot start");
        p.main = WaitForDialog(p, "Quellmor [", 20000);
        CHECK(p.main != nullptr, "no main window");
        bool viaAbout = way[0] != '-';
        if (p.main) {
            Settle(600);
            CHECK(WaitPage(p.main, 1) == 1, "-a opens BlockAccess");
            if (viaAbout) {
                // Escape from inside the About page's help text still ends the program.
                ClickBar(p.main, 760);
                CHECK(WaitPage(p.main, 3) == 3, "About page");
                HWND notes = GetDlgItem(PageWindow(p.main), 1098);
                PostMessageA(notes, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                PostMessageA(notes, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
                Settle();
                GUITHREADINFO info = {};
                info.cbSize = sizeof(info);
                GetGUIThreadInfo(p.pi.dwThreadId, &info);
                CHECK(info.hwndFocus == notes, "the help text has the focus");
            }
            PressEscape(p);
        }
        DWORD code = WaitExit(p);
        CHECK(code == 0, "exit code %lu", (unsigned long)code);
        std::string ini = folder + "\\Quellmor.ini";
        CHECK(GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES, "no %s", ini.c_str());
        // 0x9019 with BlockAccess last, 0x9018 when About was the last page.
        const char* flags = viaAbout ? "36888" : "36889";
        CHECK(ReadIni(ini, "Flags") == flags, "ini Flags %s", ReadIni(ini, "Flags").c_str());
        if (viaAbout)
            CHECK(ReadIni(ini, "AutoUpdate") == "1", "ini AutoUpdate %s", ReadIni(ini, "AutoUpdate").c_str());
        CHECK(ReadIni(ini, "BlockSize") == "65536", "ini BlockSize %s", ReadIni(ini, "BlockSize").c_str());
        CHECK(ReadIni(ini, "BlockRepeat") == "100", "ini BlockRepeat %s", ReadIni(ini, "BlockRepeat").c_str());
        CHECK(!KeyExists(), "portable mode wrote to the registry");
    }
}

BOOL CALLBACK CollectText(HWND window, LPARAM lParam)
{
    // GetWindowText does not ask controls of other processes; WM_GETTEXT does.
    static char text[65536];
    text[0] = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
    *(std::string*)lParam += text;
    return TRUE;
}

// Every text shown in the window's controls.
std::string WindowTexts(HWND window)
{
    std::string all;
    EnumChildWindows(window, CollectText, (LPARAM)&all);
    return all;
}

// A switch that is not a lower-case letter: the information page, exit code -1, nothing stored.
void BadSwitch(const std::string& exe)
{
    Say("-- bad switch -A");
    ClearRegistry();
    Program p;
    CHECK(Start(p, exe, "-b -A"), "cannot start");
    HWND info = WaitForDialog(p, "Quellmor [", 20000);
    CHECK(info != nullptr, "no information window");
    if (info) {
        Settle(800);
        Screenshot("information");
        CHECK(CurrentPage(info) < 0, "a page opened although the switch was bad");
        std::string shown = WindowTexts(info);
        CHECK(shown.find("start with BlockAccess") != std::string::npos &&
                  shown.find("specify test file name") != std::string::npos,
              "the information page lacks the switch help: %.200s", shown.c_str());
        PostMessageA(info, WM_COMMAND, IDOK, 0);
        PostMessageA(info, WM_CLOSE, 0, 0);
    }
    DWORD code = WaitExit(p);
    CHECK(code == 0xFFFFFFFF, "exit code %#lx", (unsigned long)code);
    CHECK(!KeyExists(), "settings written after a bad switch");
}

}  // namespace

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
    PagesAndRestart(exe);
    Portable(exe, work);
    BadSwitch(exe);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
