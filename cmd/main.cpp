// QuellmorCmd: the sequential write-then-read test from the command line.
#include "cmd/ConsoleRun.h"
#include "core/VersionInfo.h"
#include "support/CrashReporter.h"

int main()
{
    C_CrashReporter::Instance().Arm(101, QM_REPORT_HOST, QM_REPORT_PATH);
    return RunConsoleProgram();
}
