// Gathers what the text report says about the crash, the machine and the process.
#include "support/CrashWin.h"
#include <tlhelp32.h>
#include <cstring>
#include "core/Text.h"
#include "support/OsVersion.h"

namespace {

std::string RegistryText(HKEY key, const char* name)
{
    char text[256] = "";
    DWORD size = sizeof(text) - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::string();
    text[sizeof(text) - 1] = 0;
    return text;
}

void ReadProcessors(C_CrashFacts& f)
{
    for (unsigned i = 0; i < 256; ++i) {
        HKEY key;
        std::string path = StringPrintf("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\%u", i);
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            break;
        C_CrashProcessor p;
        p.name = RegistryText(key, "ProcessorNameString");
        p.vendor = RegistryText(key, "VendorIdentifier");
        p.identifier = RegistryText(key, "Identifier");
        DWORD mhz = 0, size = sizeof(mhz), type = 0;
        if (RegQueryValueExA(key, "~MHz", nullptr, &type, (BYTE*)&mhz, &size) == ERROR_SUCCESS &&
            type == REG_DWORD)
            p.mhz = mhz;
        RegCloseKey(key);
        f.processors.push_back(p);
    }
}

void ReadWindows(C_CrashFacts& f)
{
    f.windowsText = DescribeOs(GetOsVersionWord());
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (GetVersionExA(&info)) {
        f.ntPlatform = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
        f.major = info.dwMajorVersion;
        f.minor = info.dwMinorVersion;
        f.build = info.dwBuildNumber;
        f.servicePack = info.szCSDVersion;
    }
    typedef BOOL(WINAPI * Wow64Fn)(HANDLE, PBOOL);
    Wow64Fn isWow64 = (Wow64Fn)GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    f.wow64 = isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

void ReadException(const EXCEPTION_POINTERS* ep, DWORD threadId, C_CrashFacts& f)
{
    if (!ep || !ep->ExceptionRecord)
        return;
    const EXCEPTION_RECORD* r = ep->ExceptionRecord;
    f.hasException = true;
    f.code = r->ExceptionCode;
    f.address = (uintptr_t)r->ExceptionAddress;
    f.threadId = threadId;
    f.paramCount = r->NumberParameters;
    for (DWORD i = 0; i < 2 && i < r->NumberParameters; ++i)
        f.params[i] = r->ExceptionInformation[i];
    const CONTEXT* c = ep->ContextRecord;
    if (!c)
        return;
    f.hasContext = true;
    C_CrashRegisters& g = f.regs;
#ifdef _WIN64
    g.ax = c->Rax, g.bx = c->Rbx, g.cx = c->Rcx, g.dx = c->Rdx, g.si = c->Rsi, g.di = c->Rdi;
    g.bp = c->Rbp, g.sp = c->Rsp, g.ip = c->Rip;
    g.r8 = c->R8, g.r9 = c->R9, g.r10 = c->R10, g.r11 = c->R11;
    g.r12 = c->R12, g.r13 = c->R13, g.r14 = c->R14, g.r15 = c->R15;
    g.flags = c->EFlags;
#else
    g.ax = c->Eax, g.bx = c->Ebx, g.cx = c->Ecx, g.dx = c->Edx, g.si = c->Esi, g.di = c->Edi;
    g.bp = c->Ebp, g.sp = c->Esp, g.ip = c->Eip;
    g.flags = c->EFlags;
#endif
    g.cs = (uint16_t)c->SegCs, g.ss = (uint16_t)c->SegSs, g.ds = (uint16_t)c->SegDs;
    g.es = (uint16_t)c->SegEs, g.fs = (uint16_t)c->SegFs, g.gs = (uint16_t)c->SegGs;
}

// Symbol name and its distance from the address; false when dbghelp knows none.
bool SymbolAt(C_DbgHelp& dbg, uint64_t address, std::string* name, uint64_t* displacement)
{
    HANDLE process = GetCurrentProcess();
    DWORD64 offset = 0;
    if (dbg.SymFromAddr) {
        union {
            SYMBOL_INFO info;
            char bytes[sizeof(SYMBOL_INFO) + 512];
        } sym;
        memset(&sym, 0, sizeof(sym));
        sym.info.SizeOfStruct = sizeof(SYMBOL_INFO);
        sym.info.MaxNameLen = 500;
        if (dbg.SymFromAddr(process, address, &offset, &sym.info) && sym.info.Name[0]) {
            *name = sym.info.Name;
            *displacement = offset;
            return true;
        }
    }
    if (dbg.SymGetSymFromAddr64) {
        union {
            IMAGEHLP_SYMBOL64 info;
            char bytes[sizeof(IMAGEHLP_SYMBOL64) + 512];
        } sym;
        memset(&sym, 0, sizeof(sym));
        sym.info.SizeOfStruct = sizeof(IMAGEHLP_SYMBOL64);
        sym.info.MaxNameLength = 500;
        if (dbg.SymGetSymFromAddr64(process, address, &offset, &sym.info) && sym.info.Name[0]) {
            *name = sym.info.Name;
            *displacement = offset;
            return true;
        }
    }
    return false;
}

bool ModuleAt(C_DbgHelp& dbg, uint64_t address, std::string* name, uint64_t* base)
{
    if (!dbg.SymGetModuleInfo64)
        return false;
    IMAGEHLP_MODULE64 info;
    memset(&info, 0, sizeof(info));
    info.SizeOfStruct = sizeof(info);
    if (!dbg.SymGetModuleInfo64(GetCurrentProcess(), address, &info))
        return false;
    *name = info.ModuleName;
    *base = info.BaseOfImage;
    return true;
}

void WalkStack(const EXCEPTION_POINTERS* ep, HANDLE thread, C_DbgHelp& dbg, C_CrashFacts& f)
{
    if (!ep || !ep->ContextRecord || !dbg.CanWalk())
        return;
    f.stackWalked = true;
    CONTEXT context = *ep->ContextRecord;
    STACKFRAME64 frame;
    memset(&frame, 0, sizeof(frame));
#ifdef _WIN64
    const DWORD machine = IMAGE_FILE_MACHINE_AMD64;
    frame.AddrPC.Offset = context.Rip;
    frame.AddrStack.Offset = context.Rsp;
    frame.AddrFrame.Offset = context.Rbp;
#else
    const DWORD machine = IMAGE_FILE_MACHINE_I386;
    frame.AddrPC.Offset = context.Eip;
    frame.AddrStack.Offset = context.Esp;
    frame.AddrFrame.Offset = context.Ebp;
#endif
    frame.AddrPC.Mode = frame.AddrStack.Mode = frame.AddrFrame.Mode = AddrModeFlat;
    HANDLE process = GetCurrentProcess();
    for (int depth = 0; depth < 64; ++depth) {
        if (!dbg.StackWalk64(machine, process, thread, &frame, &context, nullptr,
                             dbg.SymFunctionTableAccess64, dbg.SymGetModuleBase64, nullptr) ||
            frame.AddrPC.Offset == 0)
            break;
        C_CrashFrame out;
        out.address = frame.AddrPC.Offset;
        for (int i = 0; i < 4; ++i)
            out.params[i] = frame.Params[i];
        ModuleAt(dbg, out.address, &out.module, &out.moduleBase);
        if (!SymbolAt(dbg, out.address, &out.symbol, &out.displacement))
            out.displacement = out.moduleBase ? out.address - out.moduleBase : 0;
        if (dbg.SymGetLineFromAddr64) {
            IMAGEHLP_LINE64 line;
            memset(&line, 0, sizeof(line));
            line.SizeOfStruct = sizeof(line);
            DWORD column = 0;
            if (dbg.SymGetLineFromAddr64(process, out.address, &column, &line) && line.FileName) {
                out.source = line.FileName;
                out.line = line.LineNumber;
            }
        }
        f.stack.push_back(out);
    }
}

template <typename T>
bool ReadOwn(const void* address, T* value)
{
    SIZE_T got = 0;
    return ReadProcessMemory(GetCurrentProcess(), address, value, sizeof(T), &got) && got == sizeof(T);
}

void VersionsOf(const char* path, C_CrashModule& m)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path, &ignored);
    if (!size)
        return;
    std::string data(size, '\0');
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path, 0, size, &data[0]) ||
        !VerQueryValueA(&data[0], "\\", (void**)&fixed, &length) || !fixed || length < sizeof(*fixed))
        return;
    const DWORD words[4] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                            fixed->dwProductVersionLS};
    for (int i = 0; i < 2; ++i) {
        m.fileVersion[2 * i] = HIWORD(words[i]);
        m.fileVersion[2 * i + 1] = LOWORD(words[i]);
        m.productVersion[2 * i] = HIWORD(words[2 + i]);
        m.productVersion[2 * i + 1] = LOWORD(words[2 + i]);
    }
}

void HeaderFactsOf(const BYTE* base, C_CrashModule& m)
{
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    if (!ReadOwn(base, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadOwn(base + dos.e_lfanew, &nt) ||
        nt.Signature != IMAGE_NT_SIGNATURE)
        return;
    m.timeStamp = nt.FileHeader.TimeDateStamp;
    m.checkSum = nt.OptionalHeader.CheckSum;
    ULONGLONG ticks = (ULONGLONG)m.timeStamp * 10000000ull + 116444736000000000ull;
    FILETIME utc = {(DWORD)ticks, (DWORD)(ticks >> 32)}, local;
    SYSTEMTIME st;
    if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &st)) {
        m.day = st.wDay, m.month = st.wMonth, m.year = st.wYear;
        m.hour = st.wHour, m.minute = st.wMinute, m.second = st.wSecond;
    }
}

// Toolhelp is missing on NT4, so its functions are looked up.
struct Toolhelp {
    HANDLE(WINAPI* Snapshot)(DWORD, DWORD);
    BOOL(WINAPI* ModuleFirst)(HANDLE, MODULEENTRY32*);
    BOOL(WINAPI* ModuleNext)(HANDLE, MODULEENTRY32*);
    BOOL(WINAPI* ThreadFirst)(HANDLE, THREADENTRY32*);
    BOOL(WINAPI* ThreadNext)(HANDLE, THREADENTRY32*);
    Toolhelp()
    {
        HMODULE k = GetModuleHandleA("kernel32.dll");
        Snapshot = (decltype(Snapshot))GetProcAddress(k, "CreateToolhelp32Snapshot");
        ModuleFirst = (decltype(ModuleFirst))GetProcAddress(k, "Module32First");
        ModuleNext = (decltype(ModuleNext))GetProcAddress(k, "Module32Next");
        ThreadFirst = (decltype(ThreadFirst))GetProcAddress(k, "Thread32First");
        ThreadNext = (decltype(ThreadNext))GetProcAddress(k, "Thread32Next");
    }
};

void ListModules(const Toolhelp& th, C_CrashFacts& f)
{
    if (!th.Snapshot || !th.ModuleFirst || !th.ModuleNext)
        return;
    HANDLE snap = th.Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snap == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = th.ModuleFirst(snap, &entry); more; more = th.ModuleNext(snap, &entry)) {
        C_CrashModule m;
        m.size = entry.modBaseSize;
        m.imageBase = (uintptr_t)entry.modBaseAddr;
        m.path = entry.szExePath;
        HeaderFactsOf(entry.modBaseAddr, m);
        VersionsOf(entry.szExePath, m);
        f.modules.push_back(m);
        entry.dwSize = sizeof(entry);
    }
    CloseHandle(snap);
}

struct ThreadBasics {
    LONG exitStatus;
    PVOID teb;
    PVOID clientId[2];
    ULONG_PTR affinity;
    LONG priority, basePriority;
};

void ListThreads(const Toolhelp& th, C_DbgHelp& dbg, C_CrashFacts& f)
{
    if (!th.Snapshot || !th.ThreadFirst || !th.ThreadNext)
        return;
    typedef LONG(WINAPI * QueryFn)(HANDLE, int, PVOID, ULONG, PULONG);
    typedef HANDLE(WINAPI * OpenFn)(DWORD, BOOL, DWORD);
    QueryFn query = (QueryFn)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread");
    OpenFn openThread = (OpenFn)GetProcAddress(GetModuleHandleA("kernel32.dll"), "OpenThread");
    HANDLE snap = th.Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return;
    THREADENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = th.ThreadFirst(snap, &entry); more; more = th.ThreadNext(snap, &entry)) {
        entry.dwSize = sizeof(entry);
        if (entry.th32OwnerProcessID != GetCurrentProcessId())
            continue;
        C_CrashThread t;
        t.id = entry.th32ThreadID;
        HANDLE handle =
            openThread && query ? openThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID) : nullptr;
        if (handle) {
            ThreadBasics basics;
            memset(&basics, 0, sizeof(basics));
            NT_TIB tib;
            if (query(handle, 0, &basics, sizeof(basics), nullptr) == 0 && basics.teb &&
                ReadOwn(basics.teb, &tib)) {
                t.stackBase = (uintptr_t)tib.StackBase;
                t.stackEnd = (uintptr_t)tib.StackLimit;
            }
            PVOID start = nullptr;
            // 9 asks for the start address the thread was created with.
            if (query(handle, 9, &start, sizeof(start), nullptr) == 0)
                t.startAddress = (uintptr_t)start;
            CloseHandle(handle);
        }
        if (t.startAddress) {
            uint64_t base = 0, displacement = 0;
            ModuleAt(dbg, t.startAddress, &t.module, &base);
            SymbolAt(dbg, t.startAddress, &t.symbol, &displacement);
        }
        f.threads.push_back(t);
    }
    CloseHandle(snap);
}

} // namespace

void GatherCrashFacts(const EXCEPTION_POINTERS* ep, DWORD threadId, HANDLE thread, C_DbgHelp& dbg,
                      C_CrashFacts& f)
{
    f = C_CrashFacts();
    f.pointerBits = sizeof(void*) * 8;
    ReadWindows(f);
    ReadException(ep, threadId, f);
    ReadProcessors(f);
    if (dbg.SymInitialize) {
        if (dbg.SymSetOptions)
            dbg.SymSetOptions(SYMOPT_UNDNAME | SYMOPT_DEFERRED_LOADS | SYMOPT_LOAD_LINES);
        if (!dbg.SymInitialize(GetCurrentProcess(), nullptr, TRUE))
            dbg.SymInitialize = nullptr;
    }
    if (dbg.SymInitialize)
        WalkStack(ep, thread, dbg, f);
    Toolhelp th;
    ListModules(th, f);
    ListThreads(th, dbg, f);
}
