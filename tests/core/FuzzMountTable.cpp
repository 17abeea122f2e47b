// Fuzzes the mount table reader: the input is a whole table; the first two bytes choose the
// device number looked for and the rest of the first line is the folder's path.
#include <cstddef>
#include <cstdint>
#include <string>
#include "core/VolumeFacts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const std::string text((const char*)data + 2, size - 2);
    const std::string path = text.substr(0, text.find('\n'));
    C_MountEntry entry;
    if (FindMount(text, data[0] % 16, data[1], path, &entry) &&
        entry.mountPoint.size() + entry.source.size() > 2 * text.size())
        __builtin_trap(); // nothing read can be longer than the table
    return 0;
}
