// A test program that arms the crash reporter and then writes to address 0x10, so the
// tests can watch a real crash. Argument: the report server as host:port, or "-" for none.
#include <cstdint>
#include <cstring>
#include "support/CrashReporter.h"

int main(int argc, char** argv)
{
    const char* host = argc > 1 && strcmp(argv[1], "-") != 0 ? argv[1] : nullptr;
    C_CrashReporter::Instance().Arm(101, host, "/pelmar/report.php");
    volatile uintptr_t address = 0x10;
    *(volatile int*)address = 1;
    return 0;
}
