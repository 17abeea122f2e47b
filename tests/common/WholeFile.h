// Whole files read and written at once, for tests that compare images and data files byte by
// byte. Both open with sharing, since the program under test may still hold the file open.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::vector<uint8_t> data;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    data.resize(GetFileSize(h, nullptr));
    DWORD done = 0;
    if (!data.empty() && !ReadFile(h, data.data(), DWORD(data.size()), &done, nullptr))
        done = 0;
    data.resize(done);
    CloseHandle(h);
    return data;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    const BOOL ok = WriteFile(h, data.data(), DWORD(data.size()), &done, nullptr);
    CloseHandle(h);
    return ok && done == data.size();
}
