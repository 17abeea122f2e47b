#include "core/VolumeFacts.h"
#include <cstdlib>
#include <vector>

namespace {
// The table writes blanks, tabs, line breaks and backslashes in its names as octal escapes.
std::string Unescape(const std::string& field)
{
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                text += (char)std::strtol(digits.c_str(), nullptr, 8);
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \r\n", at);
        if (start == std::string::npos)
            break;
        at = line.find_first_of(" \r\n", start);
        if (at == std::string::npos)
            at = line.size();
        fields.push_back(line.substr(start, at - start));
    }
    return fields;
}

// "/a/b" leads "/a/b/c" and "/a/b", not "/a/bc"; "/" leads every absolute path.
bool LeadsPath(const std::string& point, const std::string& path)
{
    if (path.compare(0, point.size(), point) != 0)
        return false;
    return point.size() == path.size() || point.back() == '/' || path[point.size()] == '/';
}
} // namespace

int ParseMountInfoLine(const std::string& line, C_MountEntry* entry)
{
    // "36 35 98:0 /root /point options [optional fields...] - type source super-options"
    const std::vector<std::string> f = Fields(line);
    if (f.size() < 7)
        return 0;
    size_t dash = 6;
    while (dash < f.size() && f[dash] != "-")
        ++dash;
    if (dash + 2 >= f.size())
        return 0;
    const std::string& number = f[2];
    const size_t colon = number.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == number.size() ||
        number.find_first_not_of("0123456789:") != std::string::npos)
        return 0;
    C_MountEntry e;
    e.major = (uint32_t)std::strtoul(number.c_str(), nullptr, 10);
    e.minor = (uint32_t)std::strtoul(number.c_str() + colon + 1, nullptr, 10);
    e.root = Unescape(f[3]);
    e.mountPoint = Unescape(f[4]);
    e.fileSystem = Unescape(f[dash + 1]);
    e.source = Unescape(f[dash + 2]);
    *entry = e;
    return 1;
}

int FindMount(const std::string& mountInfo, uint32_t major, uint32_t minor, const std::string& path,
              C_MountEntry* entry)
{
    int byNumber = 0;
    size_t longest = 0;
    C_MountEntry byPath;
    bool havePath = false;
    size_t at = 0;
    while (at < mountInfo.size()) {
        size_t end = mountInfo.find('\n', at);
        if (end == std::string::npos)
            end = mountInfo.size();
        C_MountEntry e;
        if (ParseMountInfoLine(mountInfo.substr(at, end - at), &e)) {
            if (e.major == major && e.minor == minor) {
                *entry = e;
                byNumber = 1;
            } else if (LeadsPath(e.mountPoint, path) && (!havePath || e.mountPoint.size() >= longest)) {
                longest = e.mountPoint.size();
                byPath = e;
                havePath = true;
            }
        }
        at = end + 1;
    }
    if (byNumber)
        return 1;
    if (havePath)
        *entry = byPath;
    return havePath;
}
