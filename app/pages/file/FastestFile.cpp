#include "app/pages/file/FastestFile.h"
#include <windows.h>
#include <cstdio>
#include "app/pages/file/cdfs/CdfsDrive.h"
#include "app/pages/file/cdfs/ScsiPassThrough.h"
#include "support/OsVersion.h"

int CDFSSearch(char letter, uint64_t minimum, std::string& path, std::string& message, C_Device* device,
               const std::function<bool()>& stopRequested)
{
    path.clear();
    message.clear();
    if (device) {
        CdfsSearchDevice(*device, letter, minimum, &path, stopRequested);
    } else {
        const uint64_t os = GetOsVersionWord();
        if (!(os & kOsNt)) {
            message = CdfsNotNtMessage();
            return 0;
        }
        char name[8];
        snprintf(name, sizeof(name), "\\\\.\\%c:", letter);
        // Windows NT 4.0 refuses write access to a CD-ROM device; later systems want it
        // for pass-through.
        const DWORD access = (os & kOsNt4) ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
        HANDLE handle =
            CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            message = CdfsOpenFailedMessage(name);
            return 0;
        }
        C_PassThroughDrive drive(handle);
        CdfsSearchDevice(drive, letter, minimum, &path, stopRequested);
        CloseHandle(handle);
    }
    if (!path.empty())
        return 1;
    // A stopped search has nothing to tell: the user asked for the end.
    if (stopRequested && stopRequested())
        return 0;
    const char root[4] = {letter, ':', '\\', 0};
    message = CdfsFailureMessage(GetDriveTypeA(root) == DRIVE_CDROM, minimum, letter);
    return 0;
}
