#include "app/pages/file/FastestFile.h"
#include <windows.h>
#include <cstdio>
#include "app/pages/file/cdfs/CdfsDrive.h"
#include "devices/DeviceRefresh.h"
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
        // The drive's record sends the commands; it stays open for the whole search.
        const std::unique_ptr<C_Device> drive = NewDevicePathRecord();
        drive->strPath = name;
        // Windows NT 4.0 refuses write access to a CD-ROM device; later systems want it
        // for pass-through.
        drive->dwAccess = (os & kOsNt4) ? kAccessRead : kAccessReadWrite;
        drive->dwScsiTimeout = 5;
        if (!drive->Open()) {
            message = CdfsOpenFailedMessage(name);
            return 0;
        }
        CdfsSearchDevice(*drive, letter, minimum, &path, stopRequested);
        drive->Close();
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
