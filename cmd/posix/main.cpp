// QuellmorCmd on POSIX. A crash here leaves the system's core dump; the Windows program's
// crash reporter has no part in it.
#include "cmd/ConsoleRun.h"

int main() { return RunConsoleProgram(); }
