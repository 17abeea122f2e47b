#include "app/pages/file/DirectoryWalk.h"
#include <windows.h>
#include <cstdio>

bool C_SystemDirectoryWalk::List(const std::string& folder, std::vector<C_DirEntry>& entries)
{
    entries.clear();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        C_DirEntry entry;
        entry.name = data.cFileName;
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.size = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
        entries.push_back(entry);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}

std::string C_SystemDirectoryWalk::FolderIdentity(const std::string& folder)
{
    // A folder opened for its attributes only: no access to its contents is needed.
    HANDLE h = CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    BY_HANDLE_FILE_INFORMATION info;
    std::string key;
    if (GetFileInformationByHandle(h, &info) && (info.nFileIndexHigh || info.nFileIndexLow)) {
        char text[40];
        snprintf(text, sizeof(text), "%08lX:%08lX%08lX", (unsigned long)info.dwVolumeSerialNumber,
                 (unsigned long)info.nFileIndexHigh, (unsigned long)info.nFileIndexLow);
        key = text;
    }
    CloseHandle(h);
    return key;
}
