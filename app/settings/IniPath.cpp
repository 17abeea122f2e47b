#include "app/settings/IniPath.h"

std::string DeriveIniPath(const std::string& programPath)
{
    size_t slash = programPath.find_last_of("\\/");
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string folder = programPath.substr(0, nameStart);
    std::string name = programPath.substr(nameStart);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot + 4 >= name.size())
        name.resize(dot);
    return folder + name + ".ini";
}
