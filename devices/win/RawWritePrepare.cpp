#include "devices/win/RawWritePrepare.h"
#include <windows.h>
#include <winioctl.h>
#include "devices/win/HandleDevice.h"

int PrepareRawWriteAtStart(C_HandleDevice& d)
{
    const DWORD error = GetLastError();
    int dismounted = 0;
    for (char letter : d.strLetters) {
        char path[8] = "\\\\.\\X:";
        path[4] = letter;
        DWORD got = 0;
        // A logical drive record holds its own volume open: work through that handle, as a
        // second one could never take the lock.
        if (d.hDevice && d.strPath == path) {
            DeviceIoControl(d.hDevice, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr);
            dismounted +=
                DeviceIoControl(d.hDevice, FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr) ? 1
                                                                                                         : 0;
            continue;
        }
        HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        DeviceIoControl(h, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr);
        dismounted +=
            DeviceIoControl(h, FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr) ? 1 : 0;
        CloseHandle(h);
    }
    SetLastError(error);
    return dismounted;
}
