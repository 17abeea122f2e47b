// A test program that arms the crash reporter and then writes to address 0x10, so the
// tests can watch a real crash. Arguments: the report server as host:port, or "-" for
// none; then "both" to crash three more threads at the same moment, or "stuck" to make the
// report freeze after its dump, as it would on a heap lock the faulting thread holds.
#include <windows.h>
#include <cstdint>
#include <cstring>
#include "support/CrashReporter.h"

static HANDLE g_go = nullptr;

// The report limit of the "stuck" mode, shortened so the test stays quick.
const uint32_t kStuckLimitMs = 1500;

static void NeverReturn() { Sleep(INFINITE); }

static void WriteToSixteen()
{
    volatile uintptr_t address = 0x10;
    *(volatile int*)address = 1;
}

static DWORD WINAPI SecondCrash(void*)
{
    WaitForSingleObject(g_go, INFINITE);
    WriteToSixteen();
    return 0;
}

int main(int argc, char** argv)
{
    const char* host = argc > 1 && strcmp(argv[1], "-") != 0 ? argv[1] : nullptr;
    C_CrashReporter::Instance().Arm(101, host, "/pelmar/report.php");
    if (argc > 2 && strcmp(argv[2], "stuck") == 0)
        SetCrashReportHook(NeverReturn, kStuckLimitMs);
#ifdef QM_PROBE_PLAIN
    // Wine's common controls offer the link class also without version 6; the plain
    // variant takes it away, as a system without version 6 would not have it.
    UnregisterClassW(L"SysLink", LoadLibraryA("comctl32.dll"));
#endif
    if (argc > 2 && strcmp(argv[2], "both") == 0) {
        g_go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        for (int i = 0; i < 3; ++i)
            CloseHandle(CreateThread(nullptr, 0, SecondCrash, nullptr, 0, nullptr));
        Sleep(200);
        SetEvent(g_go);
    }
    WriteToSixteen();
    return 0;
}
