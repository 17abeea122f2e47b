// End to end: a test program arms the reporter and writes to address 0x10; these tests
// check the files it leaves, answer its dialog and read what reaches a local server.
#include <gtest/gtest.h>
#include "tests/common/LocalHttpServer.h"
#include "tests/app/e2e_common/BitmapPicture.h"
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kCaption = "Quellmor has stopped working.";
const char* const kDelimiter = "-------------------------------1234567890123";

std::string ProbePath(const char* unixPath = QM_CRASH_PROBE)
{
    std::string p = unixPath; // the build's Unix path; Wine shows the root as Z:
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p[0] == '\\' ? "Z:" + p : p;
}

std::string Folder(const char* name, const char* probe = QM_CRASH_PROBE)
{
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof(here), here);
    std::string folder = std::string(here) + "\\crash_" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* file : {"\\CrashProbe_Debug.dmp", "\\CrashProbe_Debug.txt"}) {
        SetFileAttributesA((folder + file).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((folder + file).c_str());
    }
    CopyFileA(ProbePath(probe).c_str(), (folder + "\\CrashProbe.exe").c_str(), FALSE);
    return folder;
}

std::string TempFolder()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    std::string folder = temp;
    return folder.substr(0, folder.size() - 1);
}

bool ReadAll(const std::string& path, std::string* bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes->append(buffer, n);
    fclose(f);
    return true;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Probe {
    PROCESS_INFORMATION pi = {};
    bool Start(const std::string& folder, const std::string& host, const char* mode = "")
    {
        return StartProgram(folder + "\\CrashProbe.exe", folder, host + " " + mode);
    }
    bool StartProgram(const std::string& exe, const std::string& folder, const std::string& arguments)
    {
        std::string line = "\"" + exe + "\" " + arguments;
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back(0);
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        return CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                              &si, &pi) != 0;
    }
    // The exit code, or 0 when the program had to be stopped.
    DWORD Finish(DWORD timeoutMs = 60000)
    {
        DWORD code = 0;
        if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 5000);
        } else {
            GetExitCodeProcess(pi.hProcess, &code);
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }
};

struct Found {
    DWORD pid;
    HWND window;
    int count;
};

BOOL CALLBACK FindCaption(HWND window, LPARAM lParam)
{
    Found* found = (Found*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof(title));
    if (pid == found->pid && IsWindowVisible(window) && strcmp(title, kCaption) == 0) {
        found->window = window;
        ++found->count;
    }
    return TRUE;
}

int CountDialogs(const Probe& probe)
{
    Found found = {probe.pi.dwProcessId, nullptr, 0};
    EnumWindows(FindCaption, (LPARAM)&found);
    return found.count;
}

HWND WaitForDialog(const Probe& probe, DWORD timeoutMs = 60000)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        Found found = {probe.pi.dwProcessId, nullptr, 0};
        EnumWindows(FindCaption, (LPARAM)&found);
        if (found.window)
            return found.window;
        if (WaitForSingleObject(probe.pi.hProcess, 100) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

struct Controls {
    std::vector<HWND> edits, buttons;
    std::string texts; // every control text, one per line
};

BOOL CALLBACK Collect(HWND window, LPARAM lParam)
{
    Controls* c = (Controls*)lParam;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof(cls));
    static char text[8192];
    text[0] = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
    if (_stricmp(cls, "Edit") == 0)
        c->edits.push_back(window);
    if (_stricmp(cls, "Button") == 0)
        c->buttons.push_back(window);
    c->texts += std::string(text) + "\n";
    return TRUE;
}

Controls ReadControls(HWND dialog)
{
    Controls c;
    EnumChildWindows(dialog, Collect, (LPARAM)&c);
    return c;
}

HWND ButtonNamed(const Controls& c, const char* name)
{
    for (HWND b : c.buttons) {
        char text[64] = "";
        SendMessageTimeoutA(b, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
        if (strcmp(text, name) == 0)
            return b;
    }
    return nullptr;
}

void Click(HWND dialog, HWND button)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), (LPARAM)button);
}

// The first two lines of the report and the order of its sections.
void CheckReportText(const std::string& text, DWORD threadId, const std::string& exeName)
{
    std::string first = text.substr(0, text.find("\r\n") + 2);
    EXPECT_EQ(first.rfind("Access Violation [0xC0000005] at 0x", 0), 0u) << first;
    std::string tail = " in Thread " + std::to_string(threadId) + ".\r\n";
    EXPECT_EQ(first.size() - tail.size(), first.rfind(tail)) << first;
#ifdef _WIN64
    // The 64-bit test build prints the same layout with its own registers and widths.
    const std::string location = "Write to location 0x0000000000000010.\r\n";
    const char *firstRegister = "\r\n\r\nRAX=0x", *ip = ", RIP=0x", *fourth = "\r\nRDX=", *arch = "x64";
#else
    const std::string location = "Write to location 0x00000010.\r\n";
    const char *firstRegister = "\r\n\r\nEAX=0x", *ip = ", EIP=0x", *fourth = "\r\nEDX=", *arch = "x86";
#endif
    EXPECT_EQ(text.substr(first.size(), location.size()), location);
    const std::string thread = std::to_string(threadId);
    size_t at = 0;
    for (const char* section : {firstRegister, ip, fourth, " Mhz", "] Build ", arch, " Ansi\r\n",
                                "\r\nStack:\r\n", "\r\nModuleList:\r\n    Size TimeStamp", exeName.c_str(),
                                "\r\nThreadList:\r\nId         StackBase", thread.c_str()}) {
        size_t next = text.find(section, at);
        EXPECT_NE(next, std::string::npos) << "missing or out of order: " << section << "\n" << text;
        if (next != std::string::npos)
            at = next;
    }
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "a bare line end at " << i;
        }
}

template <typename T>
T At(const std::string& bytes, size_t offset)
{
    T value = T();
    if (offset + sizeof(T) <= bytes.size())
        memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// A valid minidump of the small kind whose exception stream holds the access violation.
void CheckDump(const std::string& dump, DWORD threadId)
{
    ASSERT_GE(dump.size(), 32u);
    EXPECT_EQ(dump.substr(0, 4), "MDMP");
    uint32_t count = At<uint32_t>(dump, 8), directory = At<uint32_t>(dump, 12);
    ASSERT_LE(directory + 12ull * count, dump.size());
    bool threads = false, modules = false, exception = false, fullMemory = false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t type = At<uint32_t>(dump, directory + 12 * i),
                 size = At<uint32_t>(dump, directory + 12 * i + 4),
                 rva = At<uint32_t>(dump, directory + 12 * i + 8);
        EXPECT_LE(rva + (uint64_t)size, dump.size()) << "stream " << type;
        threads |= type == 3;
        modules |= type == 4;
        fullMemory |= type == 9;
        if (type == 6) {
            exception = true;
            EXPECT_EQ(At<uint32_t>(dump, rva), threadId) << "the faulting thread";
            EXPECT_EQ(At<uint32_t>(dump, rva + 8), 0xC0000005u) << "the exception code";
        }
    }
    EXPECT_TRUE(threads && modules && exception) << "thread, module and exception streams";
    EXPECT_FALSE(fullMemory) << "a full memory dump would carry the user's data";
}

// The parts of a multipart body, in order: name and value (file bytes for files).
std::vector<std::pair<std::string, std::string>> Parts(const std::string& body,
                                                       std::vector<std::string>* fileNames)
{
    std::vector<std::pair<std::string, std::string>> parts;
    const std::string start = std::string(kDelimiter) + "\r\n";
    size_t at = 0;
    while (body.compare(at, start.size(), start) == 0) {
        size_t headEnd = body.find("\r\n\r\n", at);
        if (headEnd == std::string::npos)
            break;
        std::string head = body.substr(at + start.size(), headEnd + 2 - at - start.size());
        size_t nameAt = head.find("name=\"") + 6;
        std::string name = head.substr(nameAt, head.find('"', nameAt) - nameAt);
        size_t next = body.find(kDelimiter, headEnd + 4);
        if (next == std::string::npos)
            break;
        std::string value = body.substr(headEnd + 4, next - headEnd - 4);
        size_t file = head.find("; filename=\"");
        if (file != std::string::npos) {
            fileNames->push_back(head.substr(file + 12, head.find('"', file + 12) - file - 12));
            EXPECT_NE(head.find("\r\nContent-Type: application/octet-stream\r\n"), std::string::npos) << head;
        } else {
            EXPECT_EQ(value.substr(value.size() - 2), "\r\n") << name;
            value.resize(value.size() - 2);
        }
        parts.push_back({name, value});
        at = next;
    }
    EXPECT_EQ(body.substr(at), std::string(kDelimiter) + "--\r\n");
    return parts;
}

TEST(CrashReporter, WithoutAServerBothFilesLandBesideTheProgram)
{
    std::string folder = Folder("beside");
    Probe probe;
    ASSERT_TRUE(probe.Start(folder, "-"));
    DWORD thread = probe.pi.dwThreadId;
    EXPECT_EQ(probe.Finish(), 0xC0000005u) << "the process ends with the exception code";
    std::string text, dump;
    ASSERT_TRUE(ReadAll(folder + "\\CrashProbe_Debug.txt", &text));
    CheckReportText(text, thread, "\\crash_beside\\CrashProbe.exe\r\n");
    ASSERT_TRUE(ReadAll(folder + "\\CrashProbe_Debug.dmp", &dump)) << "Wine ships dbghelp.dll";
    CheckDump(dump, thread);
}

TEST(CrashReporter, FilesThatCannotBeCreatedBesideTheProgramGoToTheTemporaryFolder)
{
    std::string folder = Folder("locked"), temp = TempFolder();
    // Wine lets root write into read-only folders and files, so the names are held open
    // without sharing instead: creating them beside the program fails all the same.
    std::vector<HANDLE> held;
    for (const char* name : {"\\CrashProbe_Debug.dmp", "\\CrashProbe_Debug.txt"}) {
        HANDLE h = CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, "old", 3, &written, nullptr);
        held.push_back(h);
        DeleteFileA((temp + name).c_str());
    }
    Probe probe;
    ASSERT_TRUE(probe.Start(folder, "-"));
    DWORD thread = probe.pi.dwThreadId;
    EXPECT_EQ(probe.Finish(), 0xC0000005u);
    std::string text, dump, old;
    ASSERT_TRUE(ReadAll(temp + "\\CrashProbe_Debug.txt", &text)) << temp;
    CheckReportText(text, thread, "\\crash_locked\\CrashProbe.exe\r\n");
    ASSERT_TRUE(ReadAll(temp + "\\CrashProbe_Debug.dmp", &dump));
    CheckDump(dump, thread);
    for (HANDLE h : held)
        CloseHandle(h);
    ASSERT_TRUE(ReadAll(folder + "\\CrashProbe_Debug.txt", &old));
    EXPECT_EQ(old, "old");
    for (const char* name : {"\\CrashProbe_Debug.dmp", "\\CrashProbe_Debug.txt"})
        DeleteFileA((temp + name).c_str());
}

TEST(CrashReporter, SendPostsTheReportWithEveryField)
{
    C_LocalHttpServer server;
    std::string folder = Folder("send");
    Probe probe;
    ASSERT_TRUE(probe.Start(folder, server.Address()));
    HWND dialog = WaitForDialog(probe);
    ASSERT_TRUE(dialog) << "no problem-report dialog";
    Controls c = ReadControls(dialog);
    std::string dumpPath = folder + "\\CrashProbe_Debug.dmp", textPath = folder + "\\CrashProbe_Debug.txt";
    EXPECT_NE(c.texts.find("Quellmor has stopped working.\n"), std::string::npos) << c.texts;
    EXPECT_NE(c.texts.find("Please tell Velantix about this problem.\n\nYou can check the website "),
              std::string::npos)
        << c.texts;
    EXPECT_NE(c.texts.find("Can you please describe what you were doing when the problem occurred?\n"),
              std::string::npos);
    EXPECT_NE(c.texts.find("Your E-mail address:\n"), std::string::npos);
    std::string linked =
        "The files <a href=\"" + dumpPath + "\">CrashProbe_Debug.dmp</a> and <a href=\"" + textPath +
        "\">CrashProbe_Debug.txt</a> will be send. They do not contain any personal information.";
    EXPECT_NE(c.texts.find(linked), std::string::npos) << c.texts;
    ASSERT_EQ(c.edits.size(), 2u);
    Sleep(300);
    RECT r;
    GetWindowRect(dialog, &r);
    HDC screen = GetDC(nullptr);
    SaveBitmapPicture(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, "crash_dialog_empty.bmp");
    EXPECT_EQ(SendMessageA(c.edits[0], EM_GETLIMITTEXT, 0, 0), 2048)
        << "the description takes 2048 characters";
    SendMessageA(c.edits[0], WM_SETTEXT, 0, (LPARAM) "Pressed Start twice");
    SendMessageA(c.edits[1], WM_SETTEXT, 0, (LPARAM) "user@example.com");
    Sleep(300);
    SaveBitmapPicture(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, "crash_dialog.bmp");
    ReleaseDC(nullptr, screen);
    HWND send = ButtonNamed(c, "Send Problem Report");
    ASSERT_TRUE(send && ButtonNamed(c, "Don't Send"));
    Click(dialog, send);
    DWORD thread = probe.pi.dwThreadId;
    EXPECT_EQ(probe.Finish(), 0xC0000005u);
    ASSERT_TRUE(server.WaitFor(1, 10000)) << "nothing was posted";
    C_LocalHttpServer::Request request = server.Get(0);
    EXPECT_EQ(request.Line(), "POST /pelmar/report.php HTTP/1.1");
    EXPECT_EQ(request.Header("Content-Type"),
              "multipart/form-data; boundary=-----------------------------1234567890123");
    std::vector<std::string> fileNames;
    auto parts = Parts(request.body, &fileNames);
    std::string names;
    for (auto& p : parts)
        names += p.first;
    ASSERT_EQ(names, "apsvgexdt");
    EXPECT_EQ(parts[0].second, "r");
    EXPECT_EQ(parts[1].second, "CrashProbe") << "the product text is the internal name";
    EXPECT_EQ(parts[2].second, "");
    EXPECT_EQ(parts[3].second, "Quellmor [1.00]");
    EXPECT_EQ(parts[4].second.size(), 16u) << parts[4].second;
    EXPECT_EQ(parts[4].second.find_first_not_of("0123456789ABCDEF"), std::string::npos) << parts[4].second;
    EXPECT_EQ(parts[5].second, "user@example.com");
    EXPECT_EQ(parts[6].second, "Pressed Start twice");
    std::string dump, text;
    ASSERT_TRUE(ReadAll(dumpPath, &dump) && ReadAll(textPath, &text));
    EXPECT_EQ(parts[7].second, dump);
    EXPECT_EQ(parts[8].second, text);
    EXPECT_EQ(fileNames, (std::vector<std::string>{"CrashProbe_Debug.dmp", "CrashProbe_Debug.txt"}));
    CheckReportText(text, thread, "\\crash_send\\CrashProbe.exe\r\n");
}

TEST(CrashReporter, EmptyAnswersAreSentEmptyAndDontSendSendsNothing)
{
    C_LocalHttpServer server;
    std::string folder = Folder("empty");
    Probe probe;
    ASSERT_TRUE(probe.Start(folder, server.Address()));
    HWND dialog = WaitForDialog(probe);
    ASSERT_TRUE(dialog);
    Click(dialog, ButtonNamed(ReadControls(dialog), "Send Problem Report"));
    EXPECT_EQ(probe.Finish(), 0xC0000005u);
    ASSERT_TRUE(server.WaitFor(1, 10000));
    std::vector<std::string> fileNames;
    auto parts = Parts(server.Get(0).body, &fileNames);
    ASSERT_EQ(parts.size(), 9u);
    EXPECT_EQ(parts[5].first + parts[6].first, "ex");
    EXPECT_EQ(parts[5].second + parts[6].second, "") << "e and x go out empty";

    Probe declined;
    ASSERT_TRUE(declined.Start(folder, server.Address()));
    dialog = WaitForDialog(declined);
    ASSERT_TRUE(dialog);
    Click(dialog, ButtonNamed(ReadControls(dialog), "Don't Send"));
    EXPECT_EQ(declined.Finish(), 0xC0000005u);
    Sleep(1500);
    EXPECT_EQ(server.Count(), 1u) << "Don't Send posted something";
    EXPECT_TRUE(Exists(folder + "\\CrashProbe_Debug.txt") && Exists(folder + "\\CrashProbe_Debug.dmp"))
        << "the files stay for the user";
}

// Four threads fault at once: one reports, the others wait for it to end the process.
TEST(CrashReporter, SimultaneousCrashesGiveOneReport)
{
    C_LocalHttpServer server;
    std::string folder = Folder("both");
    Probe probe;
    ASSERT_TRUE(probe.Start(folder, server.Address(), "both"));
    HWND dialog = WaitForDialog(probe);
    ASSERT_TRUE(dialog);
    Sleep(2000);
    EXPECT_EQ(CountDialogs(probe), 1) << "more than one report runs";
    Click(dialog, ButtonNamed(ReadControls(dialog), "Don't Send"));
    EXPECT_EQ(probe.Finish(20000), 0xC0000005u) << "the process did not end after the report";
    std::string text;
    ASSERT_TRUE(ReadAll(folder + "\\CrashProbe_Debug.txt", &text));
    EXPECT_EQ(text.rfind("Access Violation [0xC0000005] at 0x", 0), 0u);
    size_t threads = text.find("\r\nThreadList:\r\n");
    ASSERT_NE(threads, std::string::npos);
    int lines = 0;
    for (size_t at = text.find("\r\n", threads + 2); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    // The header, the four crashed threads and the reporting thread at least.
    EXPECT_GE(lines, 6) << text.substr(threads);
    EXPECT_EQ(server.Count(), 0u);
}

// The probe's report limit in its "stuck" mode.
const DWORD kProbeLimitMs = 1500;

// The report freezes once its dump is written, as it would on the heap lock the faulting
// thread holds: the process still ends, with the fault's code, once the limit has passed.
TEST(CrashReporter, AReportThatCannotFinishStillEndsTheProcess)
{
    std::string folder = Folder("stuck");
    Probe probe;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(probe.Start(folder, "-", "stuck"));
    EXPECT_EQ(probe.Finish(kProbeLimitMs + 15000), 0xC0000005u) << "the process hung on its report";
    EXPECT_GE(GetTickCount() - start, kProbeLimitMs) << "the frozen report was not waited for";
    EXPECT_TRUE(Exists(folder + "\\CrashProbe_Debug.dmp")) << "the dump comes before the freeze";
    EXPECT_FALSE(Exists(folder + "\\CrashProbe_Debug.txt"));
}

// Without version 6 of the common controls there is no link control: the plain forms.
TEST(CrashReporter, WithoutTheLinkControlTheTextsArePlain)
{
    C_LocalHttpServer server;
    std::string folder = Folder("plain", QM_CRASH_PROBE_PLAIN);
    Probe probe;
    ASSERT_TRUE(probe.Start(folder, server.Address()));
    HWND dialog = WaitForDialog(probe);
    ASSERT_TRUE(dialog);
    Controls c = ReadControls(dialog);
    std::string dumpPath = folder + "\\CrashProbe_Debug.dmp", textPath = folder + "\\CrashProbe_Debug.txt";
    EXPECT_NE(c.texts.find("Please tell Velantix about this problem.\n\nYou can check the website "
                           "'http://www.velantix.com/quellmor/' for a newer version.\n"),
              std::string::npos)
        << c.texts;
    EXPECT_NE(c.texts.find("The files " + dumpPath + " and " + textPath +
                           " will be send. They do not contain any personal information.\n"),
              std::string::npos)
        << c.texts;
    EXPECT_EQ(c.texts.find("<a href"), std::string::npos);
    Click(dialog, ButtonNamed(c, "Don't Send"));
    EXPECT_EQ(probe.Finish(), 0xC0000005u);
}

#ifdef QM_GUI_PROGRAM
BOOL CALLBACK FindMain(HWND window, LPARAM lParam)
{
    Found* found = (Found*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof(title));
    if (pid == found->pid && IsWindowVisible(window) && strncmp(title, "Quellmor [", 10) == 0)
        found->window = window;
    return TRUE;
}

// The shipped GUI program has no crash switch: a thread started in it at address 0x10
// faults there, and the reporter the program armed at start takes over.
TEST(CrashReporter, TheGuiProgramReportsAFaultInAnyOfItsThreads)
{
    std::string folder = Folder("gui");
    std::string exe = folder + "\\Quellmor.exe";
    ASSERT_TRUE(CopyFileA(ProbePath(QM_GUI_PROGRAM).c_str(), exe.c_str(), FALSE));
    // Portable mode keeps the registry out of it.
    fclose(fopen((folder + "\\portable.dat").c_str(), "wb"));
    DeleteFileA((folder + "\\Quellmor_Debug.txt").c_str());
    DeleteFileA((folder + "\\Quellmor_Debug.dmp").c_str());
    Probe program;
    ASSERT_TRUE(program.StartProgram(exe, folder, "-a"));
    Found main = {program.pi.dwProcessId, nullptr, 0};
    for (int i = 0; i < 200 && !main.window; ++i) {
        Sleep(100);
        EnumWindows(FindMain, (LPARAM)&main);
    }
    ASSERT_TRUE(main.window) << "no main window";
    Sleep(500);
    DWORD thread = 0;
    HANDLE remote = CreateRemoteThread(program.pi.hProcess, nullptr, 0,
                                       (LPTHREAD_START_ROUTINE)(uintptr_t)0x10, nullptr, 0, &thread);
    ASSERT_TRUE(remote != nullptr);
    CloseHandle(remote);
    HWND dialog = WaitForDialog(program);
    ASSERT_TRUE(dialog) << "no problem-report dialog";
    Controls c = ReadControls(dialog);
    EXPECT_NE(c.texts.find("Please tell Velantix about this problem."), std::string::npos) << c.texts;
    EXPECT_NE(c.texts.find(">Quellmor_Debug.dmp</a> and <a href="), std::string::npos) << c.texts;
    Click(dialog, ButtonNamed(c, "Don't Send"));
    EXPECT_EQ(program.Finish(), 0xC0000005u);
    std::string text, dump;
    ASSERT_TRUE(ReadAll(folder + "\\Quellmor_Debug.txt", &text));
    char first[96];
    snprintf(first, sizeof(first), "Access Violation [0xC0000005] at 0x%0*X in Thread %lu.\r\n",
             (int)sizeof(void*) * 2, 0x10, (unsigned long)thread);
    EXPECT_EQ(text.rfind(first, 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("\\crash_gui\\Quellmor.exe\r\n"), std::string::npos) << "in the module list";
    ASSERT_TRUE(ReadAll(folder + "\\Quellmor_Debug.dmp", &dump));
    CheckDump(dump, thread);
}
#endif

#ifdef QM_CONSOLE_PROGRAM
// The console program too: it waits on a command file that is a pipe nobody writes to,
// and a thread started in it at address 0x10 faults there.
TEST(CrashReporter, TheConsoleProgramReportsAFaultInAnyOfItsThreads)
{
    std::string folder = Folder("cmd");
    std::string exe = folder + "\\QuellmorCmd.exe";
    ASSERT_TRUE(CopyFileA(ProbePath(QM_CONSOLE_PROGRAM).c_str(), exe.c_str(), FALSE));
    DeleteFileA((folder + "\\QuellmorCmd_Debug.txt").c_str());
    DeleteFileA((folder + "\\QuellmorCmd_Debug.dmp").c_str());
    std::string pipeName = "\\\\.\\pipe\\quellmor_crash_" + std::to_string(GetCurrentProcessId());
    HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                   4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    Probe program;
    ASSERT_TRUE(program.StartProgram(exe, folder, "@" + pipeName));
    BOOL connected = ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    EXPECT_TRUE(connected) << "the program did not open its command file";
    Sleep(1000);
    DWORD thread = 0;
    HANDLE remote = CreateRemoteThread(program.pi.hProcess, nullptr, 0,
                                       (LPTHREAD_START_ROUTINE)(uintptr_t)0x10, nullptr, 0, &thread);
    ASSERT_TRUE(remote != nullptr);
    CloseHandle(remote);
    HWND dialog = WaitForDialog(program);
    ASSERT_TRUE(dialog) << "no problem-report dialog";
    Click(dialog, ButtonNamed(ReadControls(dialog), "Don't Send"));
    EXPECT_EQ(program.Finish(), 0xC0000005u);
    CloseHandle(pipe);
    std::string text, dump;
    ASSERT_TRUE(ReadAll(folder + "\\QuellmorCmd_Debug.txt", &text));
    char first[96];
    snprintf(first, sizeof(first), "Access Violation [0xC0000005] at 0x%0*X in Thread %lu.\r\n",
             (int)sizeof(void*) * 2, 0x10, (unsigned long)thread);
    EXPECT_EQ(text.rfind(first, 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("\\crash_cmd\\QuellmorCmd.exe\r\n"), std::string::npos) << "in the module list";
    ASSERT_TRUE(ReadAll(folder + "\\QuellmorCmd_Debug.dmp", &dump));
    CheckDump(dump, thread);
}
#endif

} // namespace
