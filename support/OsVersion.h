// The Windows version word and its description, used by problem reports and result
// submission, and by code that picks system interfaces by version.
#pragma once
#include <cstdint>
#include <string>

enum : uint32_t {
    kOsNt = 0x1,
    kOs9x = 0x2,
    kOsWin32s = 0x4,
    kOsCe = 0x8,
    kOs95 = 0x10,
    kOs98 = 0x20,
    kOsMe = 0x40,
    kOsNt4 = 0x80,
    kOs2000 = 0x100,
    kOsXp = 0x200,
    kOs95Osr2 = 0x400,
    kOs98Se = 0x800,
    kOs2003 = 0x1000,
    kOsVista = 0x2000,
    kOs7 = 0x4000,
    kOsCe50 = 0x8000,
    kOsCe52 = 0x10000,
    kOs8 = 0x40000,
    kOs81 = 0x80000
};
// Service-pack bits of the edition word (high 32 bits), also the wanted bits of IsOsVersion.
enum : uint32_t { kOsSp1 = 0x2, kOsSp2 = 0x4, kOsSp3 = 0x8 };

// Everything the version word is made from, gathered by the Win32 glue.
struct C_OsFacts {
    int versionOk = 0;     // GetVersionExA succeeded
    uint32_t platform = 0; // 0 Win32s, 1 Windows 9x, 2 NT, 3 CE
    uint32_t major = 0, minor = 0;
    std::string servicePack;  // the service-pack text
    uint32_t suiteMask = 0;   // extended information (NT)
    uint32_t productType = 0; // 1 workstation, 2 domain controller, 3 server
    int fundamentals = 0;     // "Installed" = 1 under SYSTEM\WPA\Fundamentals
    int starter = 0, metric89 = 0, tabletPc = 0, mediaCenter = 0, remoteSession = 0;
    std::string mediaCenterIdent;  // "Ident" under the Media Center key, empty when absent
    int peBuilder = 0, miniNt = 0; // the keys exist
    std::string productTypeText;   // "ProductType" under ProductOptions
};

uint64_t ComputeOsVersionWord(const C_OsFacts& facts);
std::string DescribeOs(uint64_t versionWord);
bool MatchOsVersion(const C_OsFacts& facts, uint32_t wantedVersions, uint32_t wantedServicePacks);

// Win32: the running system.
void ReadOsFacts(C_OsFacts& facts);
uint64_t GetOsVersionWord();
void GetOsDescription(uint64_t versionWord, std::string& text);
bool IsOsVersion(uint32_t wantedVersions, uint32_t wantedServicePacks);
