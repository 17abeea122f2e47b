#include <cstddef>
#include <cstdint>
#include <string>
#include "app/settings/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    CommandLineState state;
    ParseSwitches(SkipProgramName(text.c_str()), "E:\\Quellmor.exe", state);
    if (state.testFile.size() > size)
        __builtin_trap();
    return 0;
}
