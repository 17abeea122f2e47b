// Whole files read and written at once, for tests that compare images, logs and data files
// byte by byte. Standard C++ only, so native and Windows tests share them. The C library
// opens files with read and write sharing, so a file the program under test still holds
// open can be read and replaced.
#pragma once
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The file's bytes; empty when it cannot be opened.
inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Replaces the file with data; false when it cannot be written in full.
inline bool WriteWholeFile(const std::string& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), (std::streamsize)data.size());
    out.close();
    return !out.fail();
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    const std::string data = ReadWholeFile(path);
    return std::vector<uint8_t>(data.begin(), data.end());
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data)
{
    return WriteWholeFile(path, std::string(data.begin(), data.end()));
}
