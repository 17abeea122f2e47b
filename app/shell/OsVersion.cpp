#include "app/shell/OsVersion.h"
#include <windows.h>

bool SmoothProgressOfferedFor(unsigned platform, unsigned major, unsigned minor)
{
    if (platform == VER_PLATFORM_WIN32_WINDOWS)
        return true;
    if (platform == VER_PLATFORM_WIN32_NT)
        return major == 4 || (major == 5 && minor == 0);
    return false;
}

bool IsSmoothProgressOffered()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return false;
#pragma GCC diagnostic pop
    return SmoothProgressOfferedFor(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}
