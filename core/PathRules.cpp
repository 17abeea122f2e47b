#include "core/PathRules.h"
#include <cstdio>

std::vector<std::string> FolderChain(const std::string& path, int lastIsFile, char separator)
{
    size_t start = 0;
    if (separator == '\\') {
        if (path.find(":\\") != std::string::npos)
            start = 2;
        else if (path.compare(0, 2, "\\\\") == 0)
            start = 1;
    }
    std::vector<std::string> folders;
    size_t from = start;
    for (;;) {
        size_t slash = from + 1 > path.size() ? std::string::npos : path.find(separator, from + 1);
        if (slash == std::string::npos) {
            if (!lastIsFile && path.size() != start + 1 && !path.empty())
                folders.push_back(path);
            return folders;
        }
        folders.push_back(path.substr(0, slash));
        from = slash;
    }
}

std::string TestFilePathIn(const char* folder, char separator)
{
    std::string path = folder ? folder : "";
    path += separator;
    path += "QuellmorTest";
    path += separator;
    path += "QuellmorTest.bin";
    return path;
}

std::string CheckFilePathIn(const char* folder, uint32_t index, char separator)
{
    char name[16];
    snprintf(name, sizeof name, "%04lu.bin", (unsigned long)index + 1);
    std::string path = folder ? folder : "";
    path += separator;
    path += "QuellmorCheck";
    path += separator;
    path += name;
    return path;
}

std::string FolderOfPath(const std::string& path, char separator)
{
    size_t slash = path.rfind(separator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
