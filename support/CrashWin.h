// The Win32 pieces of the crash reporter, shared between its files.
#pragma once
#include <windows.h>
#include <dbghelp.h>
#include <string>
#include <vector>
#include "support/CrashText.h"

// The functions of "dbghelp.dll", looked up by name; any of them may be missing.
struct C_DbgHelp {
    HMODULE module = nullptr;
    BOOL(WINAPI* MiniDumpWriteDump)
    (HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION,
     PMINIDUMP_CALLBACK_INFORMATION) = nullptr;
    BOOL(WINAPI* SymInitialize)(HANDLE, PCSTR, BOOL) = nullptr;
    DWORD(WINAPI* SymSetOptions)(DWORD) = nullptr;
    BOOL(WINAPI* SymGetSymFromAddr64)(HANDLE, DWORD64, PDWORD64, PIMAGEHLP_SYMBOL64) = nullptr;
    BOOL(WINAPI* SymFromAddr)(HANDLE, DWORD64, PDWORD64, PSYMBOL_INFO) = nullptr;
    BOOL(WINAPI* SymGetModuleInfo64)(HANDLE, DWORD64, PIMAGEHLP_MODULE64) = nullptr;
    BOOL(WINAPI* StackWalk64)
    (DWORD, HANDLE, HANDLE, LPSTACKFRAME64, PVOID, PREAD_PROCESS_MEMORY_ROUTINE64,
     PFUNCTION_TABLE_ACCESS_ROUTINE64, PGET_MODULE_BASE_ROUTINE64, PTRANSLATE_ADDRESS_ROUTINE64) = nullptr;
    PVOID(WINAPI* SymFunctionTableAccess64)(HANDLE, DWORD64) = nullptr;
    DWORD64(WINAPI* SymGetModuleBase64)(HANDLE, DWORD64) = nullptr;
    BOOL(WINAPI* SymGetLineFromAddr64)(HANDLE, DWORD64, PDWORD, PIMAGEHLP_LINE64) = nullptr;

    void Load();
    bool CanWalk() const
    {
        return SymInitialize && StackWalk64 && SymFunctionTableAccess64 && SymGetModuleBase64;
    }
};

// Everything of the report except the dump; thread = a handle of the faulting thread.
void GatherCrashFacts(const EXCEPTION_POINTERS* ep, DWORD threadId, HANDLE thread, C_DbgHelp& dbg,
                      C_CrashFacts& facts);

// The texts of the problem-report dialog.
struct C_ProblemDialog {
    UINT icon = 0;
    std::string heading; // "%s has stopped working."
    std::string company, webAddress;
    std::vector<std::string> files; // full paths of the written files
    std::string email, description; // what the user typed, after "Send Problem Report"
    volatile LONG* shown = nullptr; // optional: 1 while the dialog is up, waiting for the user
};
// 1 for "Send Problem Report", 2 for "Don't Send", 0 when the dialog could not be shown.
INT_PTR RunProblemDialog(C_ProblemDialog& dialog);

// POSTs the body to http://host[:port]/path with the report's Content-Type; 1 when sent.
int PostProblemReport(const std::string& hostPort, const std::string& path, const std::string& body);
