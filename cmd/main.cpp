// QuellmorCmd: the sequential write-then-read test from the command line.
#include <atomic>
#include "cmd/ConsoleRun.h"
#include "core/System.h"
#include "support/CrashReporter.h"
#include "support/VersionInfo.h"

static std::atomic<int> g_interrupted{0};

int main()
{
    C_CrashReporter::Instance().Arm(101, QM_REPORT_HOST, QM_REPORT_PATH);
    // Ctrl+C ends the running pass after its current block, so the test file is still removed.
    InstallInterruptHandler(&g_interrupted);
    C_ConsoleRun run(&g_interrupted);
    return run.Run(GetProcessCommandLine());
}
