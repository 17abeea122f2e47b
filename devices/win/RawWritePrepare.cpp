#include "devices/win/RawWritePrepare.h"
#include <windows.h>
#include <winioctl.h>
#include "devices/win/HandleDevice.h"

namespace {
// A handle whose driver knows no volume lock carries no file system to protect (a file
// behind a drive letter, a raw partition); every other refusal means somebody uses it.
bool HasNoFileSystem(DWORD error) { return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED; }

// 1 when the volume is the run's: locked and dismounted, or without a file system.
int LockAndDismount(HANDLE h)
{
    DWORD got = 0;
    if (!DeviceIoControl(h, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr))
        return HasNoFileSystem(GetLastError()) ? 1 : 0;
    DeviceIoControl(h, FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr);
    return 1;
}
} // namespace

int C_VolumeLocks::Take(C_HandleDevice& d, std::string* busy)
{
    Release();
    const DWORD error = GetLastError();
    for (char letter : d.strLetters) {
        char path[8] = "\\\\.\\X:";
        path[4] = letter;
        int ok;
        if (d.hDevice && d.strPath == path) {
            ok = LockAndDismount(d.hDevice);
            if (ok)
                m_own = d.hDevice;
        } else {
            HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
            ok = h != INVALID_HANDLE_VALUE && LockAndDismount(h);
            if (ok)
                m_handles.push_back(h);
            else if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
        }
        if (!ok) {
            Release();
            if (busy)
                *busy = std::string(1, letter) + ":";
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
    }
    SetLastError(error);
    return 1;
}

void C_VolumeLocks::Release()
{
    const DWORD error = GetLastError();
    DWORD got = 0;
    if (m_own)
        DeviceIoControl(m_own, FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr);
    m_own = nullptr;
    for (void* h : m_handles)
        CloseHandle(h);
    m_handles.clear();
    SetLastError(error);
}
