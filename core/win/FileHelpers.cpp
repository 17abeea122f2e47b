// Free file helpers: existence, sizes, folders and forced deletion.
#include <windows.h>
#include <shlobj.h>
#include <cstring>
#include <string>
#include "core/File.h"
#include "core/PathRules.h"

int FileExists(const char* path)
{
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(h);
    return 1;
}

int IsDirectory(const char* path)
{
    UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    DWORD attributes = GetFileAttributesA(path);
    SetErrorMode(old);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int GetFreeBytes(const char* folder, uint64_t* freeBytes)
{
    // The caller's share: quotas make it smaller than the volume's free space.
    ULARGE_INTEGER callerFree, total, totalFree;
    if (!GetDiskFreeSpaceExA(folder, &callerFree, &total, &totalFree))
        return 0;
    *freeBytes = callerFree.QuadPart;
    return 1;
}

int GetFileSizeByName(const char* path, uint32_t* low, uint32_t* high)
{
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_ACCESS_DENIED)
            return 0;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(path, &data);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        FindClose(find);
        *low = data.nFileSizeLow;
        *high = data.nFileSizeHigh;
        return 1;
    }
    DWORD hi = 0;
    SetLastError(NO_ERROR);
    DWORD lo = GetFileSize(h, &hi);
    DWORD error = GetLastError();
    CloseHandle(h);
    if (lo == INVALID_FILE_SIZE && error != NO_ERROR) {
        SetLastError(error);
        return 0;
    }
    *low = lo;
    *high = hi;
    return 1;
}

static int CreateOneFolder(const std::string& folder)
{
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return 0;
    // Keep only the hidden bit: read-only or system folders would stop the test file later.
    DWORD attributes = GetFileAttributesA(folder.c_str());
    DWORD hidden = (attributes != INVALID_FILE_ATTRIBUTES) ? (attributes & FILE_ATTRIBUTE_HIDDEN) : 0;
    SetFileAttributesA(folder.c_str(), hidden | FILE_ATTRIBUTE_ARCHIVE);
    return 1;
}

int CreateDirectoryTree(const char* path, int lastIsFile)
{
    int result = 0;
    DWORD lastError = ERROR_PATH_NOT_FOUND;
    // Every folder is tried, even after a failure; the result is that of the last one.
    for (const std::string& folder : FolderChain(path ? path : "", lastIsFile, '\\')) {
        result = CreateOneFolder(folder);
        lastError = result ? NO_ERROR : GetLastError();
    }
    SetLastError(lastError);
    return result;
}

int DeleteFileForce(const char* path)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) ? 1 : 0;
}

int RemoveFolder(const char* path) { return RemoveDirectoryA(path) ? 1 : 0; }

char PathSeparator() { return '\\'; }

const char* DefaultTestFolder() { return "C:\\"; }

int ProbeCacheBypass(const char*)
{
    // Windows honours the bypass on every local file system. Wine takes the flag and ignores it
    // (the data stays in the page cache), and says who it is through an ntdll export.
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll && GetProcAddress(ntdll, "wine_get_version"))
        return kBypassIgnored;
    return kBypassDevice;
}

typedef HRESULT(WINAPI* PFN_SHGetFolderPathA)(HWND, int, HANDLE, DWORD, LPSTR);
typedef BOOL(WINAPI* PFN_GetProfilesDirectoryA)(LPSTR, LPDWORD);
typedef BOOL(WINAPI* PFN_GetUserProfileDirectoryA)(HANDLE, LPSTR, LPDWORD);
typedef BOOL(WINAPI* PFN_OpenProcessToken)(HANDLE, DWORD, PHANDLE);

static int ProfileFolder(uint32_t folder, char* path)
{
    HMODULE userenv = LoadLibraryA("userenv.dll");
    if (!userenv)
        return 0;
    int ok = 0;
    DWORD size = MAX_PATH;
    if (folder == kFolderProfiles) {
        auto fn = (PFN_GetProfilesDirectoryA)GetProcAddress(userenv, "GetProfilesDirectoryA");
        ok = fn && fn(path, &size);
    } else if (folder == kFolderDefaultUserProfile) {
        auto fn = (PFN_GetProfilesDirectoryA)GetProcAddress(userenv, "GetDefaultUserProfileDirectoryA");
        ok = fn && fn(path, &size);
    } else {
        HMODULE advapi = LoadLibraryA("advapi32.dll");
        auto open = advapi ? (PFN_OpenProcessToken)GetProcAddress(advapi, "OpenProcessToken") : nullptr;
        auto fn = (PFN_GetUserProfileDirectoryA)GetProcAddress(userenv, "GetUserProfileDirectoryA");
        HANDLE token = nullptr;
        if (open && fn && open(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            ok = fn(token, path, &size);
            CloseHandle(token);
        }
        if (advapi)
            FreeLibrary(advapi);
    }
    FreeLibrary(userenv);
    return ok;
}

static int MachineTempFolder(char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                      0, KEY_READ, &key) == ERROR_SUCCESS) {
        static const char* const names[2] = {"TMP", "TEMP"};
        for (const char* name : names) {
            char raw[MAX_PATH];
            DWORD size = sizeof(raw) - 1, type = 0;
            if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)raw, &size) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ) && size > 1) {
                raw[size] = 0;
                DWORD n = ExpandEnvironmentStringsA(raw, path, MAX_PATH);
                if (n && n <= MAX_PATH) {
                    RegCloseKey(key);
                    return 1;
                }
            }
        }
        RegCloseKey(key);
    }
    UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    if (!n || n + 6 > MAX_PATH)
        return 0;
    AppendBackslash(path);
    strcat(path, "Temp\\");
    return 1;
}

int GetSpecialFolder(uint32_t folder, char* path)
{
    path[0] = 0;
    int ok = 0;
    switch (folder) {
    case kFolderProfiles:
    case kFolderUserProfile:
    case kFolderDefaultUserProfile:
        ok = ProfileFolder(folder, path);
        break;
    case kFolderMachineTemp:
        ok = MachineTempFolder(path);
        break;
    case kFolderWindows:
        ok = GetWindowsDirectoryA(path, MAX_PATH) != 0;
        break;
    case kFolderTemp:
        ok = GetTempPathA(MAX_PATH, path) != 0;
        break;
    case kFolderSystem:
        ok = GetSystemDirectoryA(path, MAX_PATH) != 0;
        break;
    case kFolderCurrent:
        ok = GetCurrentDirectoryA(MAX_PATH, path) != 0;
        break;
    default: {
        LPITEMIDLIST list = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, (int)folder, &list)) && list) {
            ok = SHGetPathFromIDListA(list, path);
            CoTaskMemFree(list);
        }
        if (!ok) {
            HMODULE shfolder = LoadLibraryA("shfolder.dll");
            if (shfolder) {
                auto fn = (PFN_SHGetFolderPathA)GetProcAddress(shfolder, "SHGetFolderPathA");
                ok = fn && SUCCEEDED(fn(nullptr, (int)folder, nullptr, 0, path));
                FreeLibrary(shfolder);
            }
        }
        return ok && path[0];
    }
    }
    if (!ok || !path[0]) {
        path[0] = 0;
        return 0;
    }
    AppendBackslash(path);
    return 1;
}
