// Free file helpers on POSIX: existence, sizes, folders and deletion.
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include "core/File.h"
#include "core/PathRules.h"
#include "core/posix/ErrorMap.h"

int FileExists(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 ? 1 : FailWithErrno();
}

int IsDirectory(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int GetFileSizeByName(const char* path, uint32_t* low, uint32_t* high)
{
    struct stat st;
    if (::stat(path, &st) != 0)
        return FailWithErrno();
    *low = (uint32_t)st.st_size;
    *high = (uint32_t)((uint64_t)st.st_size >> 32);
    return 1;
}

int GetFreeBytes(const char* folder, uint64_t* freeBytes)
{
    struct statvfs st;
    if (::statvfs(folder, &st) != 0)
        return FailWithErrno();
    *freeBytes = (uint64_t)st.f_bavail * st.f_frsize;
    return 1;
}

static int CopyFolder(const char* folder, char* path)
{
    if (!folder || !folder[0] || strlen(folder) + 2 > 260) {
        path[0] = 0;
        SetLastErrorCode(kErrorPathNotFound);
        return 0;
    }
    strcpy(path, folder);
    AppendBackslash(path);
    return 1;
}

int GetSpecialFolder(uint32_t folder, char* path)
{
    const char* home = getenv("HOME");
    switch (folder) {
    case kFolderTemp:
    case kFolderMachineTemp: {
        const char* temp = getenv("TMPDIR");
        return CopyFolder(temp && temp[0] ? temp : "/tmp", path);
    }
    case kFolderCurrent: {
        char current[260];
        return getcwd(current, sizeof(current)) ? CopyFolder(current, path) : (path[0] = 0, FailWithErrno());
    }
    case kFolderUserProfile:
        return CopyFolder(home, path);
    case 0x0000: { // the desktop, else home; shell folders carry no trailing separator
        const std::string desktop = std::string(home ? home : "") + "/Desktop";
        const char* chosen = home && IsDirectory(desktop.c_str()) ? desktop.c_str() : home;
        if (!CopyFolder(chosen, path))
            return 0;
        path[strlen(path) - 1] = 0;
        return 1;
    }
    default:
        // Windows' own folders (profiles, system, Windows) have no POSIX counterpart.
        path[0] = 0;
        SetLastErrorCode(kErrorPathNotFound);
        return 0;
    }
}

int CreateDirectoryTree(const char* path, int lastIsFile)
{
    int result = 0;
    uint32_t lastError = kErrorPathNotFound;
    // Every folder is tried, even after a failure; the result is that of the last one.
    for (const std::string& folder : FolderChain(path ? path : "", lastIsFile, '/')) {
        struct stat st;
        result = mkdir(folder.c_str(), 0777) == 0 ||
                 (errno == EEXIST && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
        lastError = result ? kErrorSuccess : ErrorFromErrno(errno == EEXIST ? ENOTDIR : errno);
    }
    SetLastErrorCode(lastError);
    return result;
}

// A read-only file can be unlinked on POSIX (the folder's rights decide), so nothing needs clearing.
int DeleteFileForce(const char* path) { return unlink(path) == 0 ? 1 : FailWithErrno(); }

int RemoveFolder(const char* path) { return rmdir(path) == 0 ? 1 : FailWithErrno(); }

char PathSeparator() { return '/'; }

const char* DefaultTestFolder() { return "."; }
