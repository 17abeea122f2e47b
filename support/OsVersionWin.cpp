// Gathers the facts behind the Windows version word from the running system.
#include <windows.h>
#include "support/OsVersion.h"

static int KeyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

static int ReadText(const char* path, const char* name, std::string& value)
{
    HKEY key;
    value.clear();
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    char text[256];
    DWORD size = sizeof(text) - 1, type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    text[size < sizeof(text) ? size : sizeof(text) - 1] = 0;
    value = text;
    return 1;
}

static int ReadNumber(const char* path, const char* name, DWORD* value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD size = sizeof(*value), type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD;
}

void ReadOsFacts(C_OsFacts& f)
{
    f = C_OsFacts();
    OSVERSIONINFOEXA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    BOOL extended = GetVersionExA((OSVERSIONINFOA*)&info);
    if (!extended) {
        // Systems before NT4 SP6 know only the short structure.
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA((OSVERSIONINFOA*)&info))
            return;
    }
    f.versionOk = 1;
    f.platform = info.dwPlatformId;
    f.major = info.dwMajorVersion;
    f.minor = info.dwMinorVersion;
    f.servicePack = info.szCSDVersion;
    if (f.platform != VER_PLATFORM_WIN32_NT)
        return;
    if (extended) {
        f.suiteMask = info.wSuiteMask;
        f.productType = info.wProductType;
    }
    DWORD installed = 0;
    f.fundamentals = ReadNumber("SYSTEM\\WPA\\Fundamentals", "Installed", &installed) && installed == 1;
    f.starter = GetSystemMetrics(SM_STARTER) != 0;
    f.metric89 = GetSystemMetrics(89) != 0;
    f.tabletPc = GetSystemMetrics(SM_TABLETPC) != 0;
    f.mediaCenter = GetSystemMetrics(SM_MEDIACENTER) != 0;
    f.remoteSession = GetSystemMetrics(SM_REMOTESESSION) != 0;
    ReadText("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Media Center", "Ident", f.mediaCenterIdent);
    f.peBuilder = KeyExists("SYSTEM\\CurrentControlSet\\Control\\PE Builder");
    f.miniNt = KeyExists("SYSTEM\\CurrentControlSet\\Control\\MiniNT");
    ReadText("SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType", f.productTypeText);
}

uint64_t GetOsVersionWord()
{
    C_OsFacts f;
    ReadOsFacts(f);
    return ComputeOsVersionWord(f);
}

void GetOsDescription(uint64_t versionWord, std::string& text) { text = DescribeOs(versionWord); }

bool IsOsVersion(uint32_t wantedVersions, uint32_t wantedServicePacks)
{
    C_OsFacts f;
    ReadOsFacts(f);
    return MatchOsVersion(f, wantedVersions, wantedServicePacks);
}
