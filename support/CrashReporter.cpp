#include "support/CrashReporter.h"
#include <cstdio>
#include <cstring>
#include <string>
#include "core/System.h"
#include "core/Text.h"
#include "support/CrashWin.h"
#include "support/MachineId.h"
#include "support/ReportForm.h"

namespace {

const int kPathSize = MAX_PATH + 32;

// How long the report may work on its own before the process ends without it. The dump, the
// stack walk with its symbol look-ups and the text take seconds (seven to twenty under Wine
// on a busy machine, for a small program); an upload may run into its three 15-second
// timeouts. Two minutes cover all of it on a slow machine. Past that the report is stuck,
// most likely on the heap lock the faulting thread holds. The time the dialog waits for the
// user does not count.
const DWORD kReportLimitMs = 120000;
// How often the filter looks at whether the dialog is waiting for the user.
const DWORD kReportPollMs = 100;

// Everything the filter touches lives here, made ready by construction and arming.
struct ReporterState {
    C_DbgHelp dbg;
    // [0] beside the program, [1] in the temporary folder.
    char dumpPath[2][kPathSize] = {};
    char textPath[2][kPathSize] = {};
    UINT icon = 0;
    std::string host, path, product, extra, title, machineId, productName, company, webAddress;

    volatile LONG active = 0;
    volatile LONG dialogShown = 0;
    DWORD limitMs = kReportLimitMs;
#ifdef QM_TEST_HOOKS
    void (*afterDump)() = nullptr;
#endif
    DWORD faultThreadId = 0, reportThreadId = 0;
    EXCEPTION_POINTERS* exception = nullptr;
    HANDLE faultThread = nullptr;
};
ReporterState g_state;

void SetReportPaths(ReporterState& s)
{
    char program[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(nullptr, program, sizeof(program));
    std::string stem, base = "MiniDump";
    if (n > 0 && n < sizeof(program)) {
        stem = program;
        size_t slash = stem.find_last_of("\\/");
        size_t dot = stem.rfind('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            stem.erase(dot);
        base = stem.substr(slash == std::string::npos ? 0 : slash + 1);
    }
    char temp[MAX_PATH] = "";
    DWORD t = GetTempPathA(sizeof(temp), temp);
    if (t == 0 || t >= sizeof(temp))
        temp[0] = 0;
    if (!stem.empty()) {
        snprintf(s.dumpPath[0], kPathSize, "%s_Debug.dmp", stem.c_str());
        snprintf(s.textPath[0], kPathSize, "%s_Debug.txt", stem.c_str());
    }
    if (temp[0]) {
        snprintf(s.dumpPath[1], kPathSize, "%s%s_Debug.dmp", temp, base.c_str());
        snprintf(s.textPath[1], kPathSize, "%s%s_Debug.txt", temp, base.c_str());
    }
}

// The first of the two places where the file can be created; the index says which.
HANDLE CreateReportFile(char (&paths)[2][kPathSize], int* which)
{
    for (int i = 0; i < 2; ++i) {
        if (!paths[i][0])
            continue;
        HANDLE file = CreateFileA(paths[i], GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            *which = i;
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// The small kind of dump: threads, stacks, modules and the exception, none of the user's data.
const char* WriteDump(ReporterState& s)
{
    if (!s.dbg.MiniDumpWriteDump)
        return nullptr;
    int which = 0;
    HANDLE file = CreateReportFile(s.dumpPath, &which);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    MINIDUMP_EXCEPTION_INFORMATION info;
    info.ThreadId = s.faultThreadId;
    info.ExceptionPointers = s.exception;
    info.ClientPointers = FALSE;
    BOOL ok = s.dbg.MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                      s.exception ? &info : nullptr, nullptr, nullptr);
    CloseHandle(file);
    if (ok)
        return s.dumpPath[which];
    DeleteFileA(s.dumpPath[which]);
    return nullptr;
}

const char* WriteText(ReporterState& s, const std::string& text)
{
    int which = 0;
    HANDLE file = CreateReportFile(s.textPath, &which);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok ? s.textPath[which] : nullptr;
}

bool ReadWholeFile(const char* path, std::string* bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr), got = 0;
    bool ok = size != INVALID_FILE_SIZE;
    if (ok) {
        bytes->resize(size);
        ok = size == 0 || (ReadFile(file, &(*bytes)[0], size, &got, nullptr) && got == size);
    }
    CloseHandle(file);
    return ok;
}

std::string FileName(const char* path)
{
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

void OfferUpload(ReporterState& s, const char* dumpFile, const char* textFile)
{
    C_ProblemDialog dialog;
    dialog.icon = s.icon;
    dialog.heading = s.productName + " has stopped working.";
    dialog.company = s.company;
    dialog.webAddress = s.webAddress;
    dialog.shown = &s.dialogShown;
    for (const char* file : {dumpFile, textFile})
        if (file)
            dialog.files.push_back(file);
    if (RunProblemDialog(dialog) != 1)
        return;
    std::vector<C_FormPart> parts;
    const char* const names[] = {"a", "p", "s", "v", "g", "e", "x"};
    const std::string values[] = {"r",         s.product,    s.extra,           s.title,
                                  s.machineId, dialog.email, dialog.description};
    for (int i = 0; i < 7; ++i)
        parts.push_back({names[i], values[i], false, ""});
    const char* fileFields[] = {"d", "t"};
    const char* files[] = {dumpFile, textFile};
    for (int i = 0; i < 2; ++i) {
        C_FormPart part;
        if (!files[i] || !ReadWholeFile(files[i], &part.value))
            continue;
        part.name = fileFields[i];
        part.isFile = true;
        part.fileName = FileName(files[i]);
        parts.push_back(part);
    }
    PostProblemReport(s.host, s.path, BuildMultipartBody(parts));
}

DWORD WINAPI ReportThread(void*)
{
    ReporterState& s = g_state;
    const char* dumpFile = WriteDump(s);
#ifdef QM_TEST_HOOKS
    if (s.afterDump)
        s.afterDump();
#endif
    // From here on the heap is used: the dump, the one thing that must not depend on it, is written.
    C_CrashFacts facts;
    GatherCrashFacts(s.exception, s.faultThreadId, s.faultThread, s.dbg, facts);
    const char* textFile = WriteText(s, BuildCrashText(facts));
    if (!s.host.empty())
        OfferUpload(s, dumpFile, textFile);
    return 0;
}

// Waits for the report thread, counting only the time it works on its own; false when that
// passed the limit. Runs on the faulting thread, so it calls nothing that allocates.
bool WaitForReport(HANDLE thread, const ReporterState& s)
{
    DWORD worked = 0, last = GetTickCount();
    while (WaitForSingleObject(thread, kReportPollMs) != WAIT_OBJECT_0) {
        const DWORD now = GetTickCount();
        if (!s.dialogShown)
            worked += now - last;
        last = now;
        if (worked >= s.limitMs)
            return false;
    }
    return true;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* ep)
{
    ReporterState& s = g_state;
    const DWORD self = GetCurrentThreadId();
    const UINT code = ep && ep->ExceptionRecord ? ep->ExceptionRecord->ExceptionCode : 1;
    if (InterlockedCompareExchange(&s.active, 1, 0) != 0) {
        // A fault inside the report itself ends the process at once; another thread that
        // crashes meanwhile waits for the running report to end the process.
        if (self == s.faultThreadId || self == s.reportThreadId)
            TerminateProcess(GetCurrentProcess(), code);
        for (;;)
            Sleep(INFINITE);
    }
    s.faultThreadId = self;
    s.exception = ep;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &s.faultThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    // The report runs on a fresh thread with a stack of its own (the faulting one may be
    // exhausted), which is also where a dump of the faulting thread has to be written from.
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 1 << 20, ReportThread, nullptr, CREATE_SUSPENDED, &id);
    if (thread) {
        s.reportThreadId = id;
        ResumeThread(thread);
        // A report that cannot finish is left behind: the process ends with the fault's code.
        WaitForReport(thread, s);
        CloseHandle(thread);
    } else {
        s.reportThreadId = self;
        ReportThread(nullptr);
    }
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}

std::string VersionText(const char* name)
{
    std::string value;
    GetOwnVersionString(name, value);
    return value;
}

} // namespace

void C_DbgHelp::Load()
{
    module = LoadLibraryA("dbghelp.dll");
    if (!module)
        return;
    MiniDumpWriteDump = (decltype(MiniDumpWriteDump))GetProcAddress(module, "MiniDumpWriteDump");
    SymInitialize = (decltype(SymInitialize))GetProcAddress(module, "SymInitialize");
    SymSetOptions = (decltype(SymSetOptions))GetProcAddress(module, "SymSetOptions");
    SymGetSymFromAddr64 = (decltype(SymGetSymFromAddr64))GetProcAddress(module, "SymGetSymFromAddr64");
    SymFromAddr = (decltype(SymFromAddr))GetProcAddress(module, "SymFromAddr");
    SymGetModuleInfo64 = (decltype(SymGetModuleInfo64))GetProcAddress(module, "SymGetModuleInfo64");
    StackWalk64 = (decltype(StackWalk64))GetProcAddress(module, "StackWalk64");
    SymFunctionTableAccess64 =
        (decltype(SymFunctionTableAccess64))GetProcAddress(module, "SymFunctionTableAccess64");
    SymGetModuleBase64 = (decltype(SymGetModuleBase64))GetProcAddress(module, "SymGetModuleBase64");
    SymGetLineFromAddr64 = (decltype(SymGetLineFromAddr64))GetProcAddress(module, "SymGetLineFromAddr64");
}

C_CrashReporter& C_CrashReporter::Instance()
{
    static C_CrashReporter reporter;
    return reporter;
}

C_CrashReporter::C_CrashReporter()
{
    SetTraceEnabled((m_dwOptions & kOptionTrace) != 0);
    SetReportPaths(g_state);
    g_state.dbg.Load();
    if (!(m_dwOptions & kOptionNoFilter))
        SetUnhandledExceptionFilter(CrashFilter);
}

#ifdef QM_TEST_HOOKS
void SetCrashReportHook(void (*afterDump)(), uint32_t limitMs)
{
    g_state.afterDump = afterDump;
    g_state.limitMs = limitMs;
}
#endif

void C_CrashReporter::Arm(uint32_t iconResource, const char* host, const char* path, const char* product,
                          const char* extra)
{
    ReporterState& s = g_state;
    m_dwIcon = iconResource;
    s.icon = iconResource;
    s.host = host ? host : "";
    s.path = path ? path : "/";
    s.product = product ? product : VersionText("InternalName");
    s.extra = extra ? extra : "";
    s.productName = VersionText("ProductName");
    s.company = VersionText("CompanyName");
    s.webAddress = FindWebAddress(VersionText("Comments"), VersionText("SpecialBuild"));
    uint32_t major = 1, minor = 1;
    GetOwnVersionNumbers(&major, &minor);
    s.title = FormatTitle(s.productName.c_str(), major, minor);
    s.machineId = GetMachineIdentifier();
    m_bArmed = 1;
}
