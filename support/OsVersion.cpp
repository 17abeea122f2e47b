#include "support/OsVersion.h"
#include <cctype>
#include <cstdio>
#include <cstring>
#include "core/Text.h"

static bool EqualNoCase(const std::string& a, const char* b)
{
    if (a.size() != strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i]))
            return false;
    return true;
}

static uint32_t NinexBits(const C_OsFacts& f)
{
    if (f.major != 4)
        return kOs9x;
    const char second = f.servicePack.size() > 1 ? f.servicePack[1] : 0;
    switch (f.minor) {
    case 0:
        return (second == 'C' || second == 'B') ? 0x402 : 0x12;
    case 10:
        return second == 'A' ? 0x802 : 0x22;
    case 90:
        return 0x42;
    default:
        return kOs9x;
    }
}

struct NtRow {
    uint32_t major, minor, bit;
};
// In age order; IsOsVersion walks it downward from the running version.
static const NtRow kNtVersions[] = {{4, 0, kOsNt4},   {5, 0, kOs2000}, {5, 1, kOsXp}, {5, 2, kOs2003},
                                    {6, 0, kOsVista}, {6, 1, kOs7},    {6, 2, kOs8},  {6, 3, kOs81}};
static const int kNtCount = (int)(sizeof(kNtVersions) / sizeof(kNtVersions[0]));

static uint32_t ServicePackBits(const std::string& text)
{
    uint32_t bits = 0;
    if (text.find("Service Pack 1") != std::string::npos)
        bits |= kOsSp1;
    if (text.find("Service Pack 2") != std::string::npos)
        bits |= kOsSp2;
    if (text.find("Service Pack 3") != std::string::npos)
        bits |= kOsSp3;
    return bits;
}

static uint32_t EditionBits(const C_OsFacts& f)
{
    uint32_t e = ServicePackBits(f.servicePack);
    if (f.fundamentals)
        e |= 0x1;
    if (f.starter)
        e |= 0x10;
    if (f.metric89)
        e |= 0x20;
    if (f.tabletPc)
        e |= 0x40;
    if (f.mediaCenter)
        e |= 0x80;
    unsigned identMajor = 0, identMinor = 0;
    if (!f.mediaCenterIdent.empty() &&
        sscanf(f.mediaCenterIdent.c_str(), "%u.%u", &identMajor, &identMinor) >= 1 && identMajor >= 2 &&
        identMajor <= 5)
        e |= 0x100u << (identMajor - 2);
    if (f.remoteSession)
        e |= 0x1000;
    if (f.peBuilder)
        e |= 0x2000;
    if (f.miniNt)
        e |= 0x4000;
    if ((f.suiteMask & 0x3) || EqualNoCase(f.productTypeText, "ServerNT"))
        e |= 0x8000;
    if (EqualNoCase(f.productTypeText, "LanmanNT"))
        e |= 0x10000;
    if (f.suiteMask & 0x80)
        e |= 0x80000;
    if (f.suiteMask & 0x2)
        e |= 0x100000;
    if (f.suiteMask & 0x40)
        e |= 0x200000;
    if (f.suiteMask & 0x200)
        e |= 0x400000;
    if (f.suiteMask & 0x2000)
        e |= 0x800000;
    if ((f.suiteMask & 0x110) == 0x10)
        e |= 0x1000000;
    if (f.suiteMask & 0x8000)
        e |= 0x2000000;
    // Only a domain controller: a plain server (type 3) shares the 0x2 bit of the type number.
    if (f.productType == 2)
        e |= 0x4000000;
    return e;
}

uint64_t ComputeOsVersionWord(const C_OsFacts& f)
{
    if (!f.versionOk)
        return 0;
    switch (f.platform) {
    case 0:
        return kOsWin32s;
    case 1:
        return NinexBits(f);
    case 2: {
        uint32_t bits = kOsNt;
        for (const NtRow& row : kNtVersions)
            if (row.major == f.major && row.minor == f.minor)
                bits |= row.bit;
        return ((uint64_t)EditionBits(f) << 32) | bits;
    }
    default:
        return 0;
    }
}

std::string DescribeOs(uint64_t word)
{
    const uint32_t v = (uint32_t)word;
    const uint32_t e = (uint32_t)(word >> 32);
    if (!(v & kOsNt)) {
        if (v & kOs9x) {
            if (v & kOs95)
                return "Windows 95";
            if (v & kOs95Osr2)
                return "Windows 95 OSR2";
            if (v & kOs98)
                return "Windows 98";
            if (v & kOs98Se)
                return "Windows 98 SE";
            if (v & kOsMe)
                return "Windows ME";
            return StringPrintf("unknown dos kernel 0x%X", v);
        }
        if (v & kOsWin32s)
            return "Windows 3.1";
        if (v & kOsCe) {
            if (v & kOsCe50)
                return "Windows CE 5.0";
            if (v & kOsCe52)
                return "Windows CE 5.2";
            return StringPrintf("unknown ce kernel 0x%X", v);
        }
        return StringPrintf("unknown 0x%X", v);
    }
    static const struct {
        uint32_t bit;
        const char* name;
    } names[] = {{kOsNt4, "Windows NT4"},     {kOs2000, "Windows 2000"},
                 {kOsXp, "Windows XP"},       {kOs2003, "Windows Server 2003"},
                 {kOsVista, "Windows Vista"}, {kOs7, "Windows 7"},
                 {kOs8, "Windows 8"},         {kOs81, "Windows 8.1"}};
    std::string text;
    for (const auto& n : names)
        if (v & n.bit) {
            text = n.name;
            break;
        }
    if (text.empty())
        return StringPrintf("unknown nt kernel 0x%X", v);
    if (e & 0x8000)
        text += " [Server]";
    else if (e & 0x10000)
        text += " [Advanced Server]";
    if (e & 0x2000)
        text += " [PE Builder]";
    else if (e & 0x4000)
        text += " [MiniNT]";
    if (e & 0x40)
        text += " [TabletPC]";
    static const struct {
        uint32_t bit;
        const char* text;
    } media[] = {{0x100, " [MediaCenter 2004]"},
                 {0x200, " [MediaCenter 2005]"},
                 {0x400, " [MediaCenter 2005 Ex]"},
                 {0x800, " [MediaCenter Vista]"},
                 {0x80, " [MediaCenter]"}};
    for (const auto& m : media)
        if (e & m.bit) {
            text += m.text;
            break;
        }
    static const struct {
        uint32_t bit;
        const char* text;
    } rest[] = {{0x80000, " [Datacenter]"},
                {0x100000, " [Enterprise]"},
                {0x200000, " [Embedded]"},
                {0x400000, " [Home Edition]"},
                {0x800000, " [Storage Server]"},
                {0x1000000, " [Terminal Services]"},
                {0x2000000, " [Home Server]"},
                {0x4000000, " [Domain Controller]"},
                {0x1, " [Fundamentals for Legacy PCs]"},
                {0x1000, " [TerminalSession]"}};
    for (const auto& r : rest)
        if (e & r.bit)
            text += r.text;
    return text;
}

static uint32_t NinexSatisfies(uint32_t bits)
{
    switch (bits) {
    case 0x12:
        return kOs95;
    case 0x402:
        return kOs95 | kOs95Osr2;
    case 0x22:
        return kOs95 | kOs98;
    case 0x802:
        return kOs95 | kOs98 | kOs98Se;
    default:
        return 0;
    }
}

bool MatchOsVersion(const C_OsFacts& f, uint32_t wanted, uint32_t wantedSp)
{
    if (!f.versionOk)
        return false;
    if (f.platform == 0)
        return (wanted & kOsWin32s) != 0;
    if (f.platform == 1) {
        if (wanted & kOs9x)
            return true;
        uint32_t satisfied = 0;
        if (f.major == 4)
            satisfied = (f.minor == 0 || f.minor == 10) ? NinexSatisfies(NinexBits(f))
                                                        : (kOs95 | kOs98 | kOsMe | kOs95Osr2 | kOs98Se);
        return (wanted & satisfied) != 0;
    }
    if (f.platform != 2)
        return false;
    if (wanted & kOsNt)
        return true;
    // Where the running version stands in the table; newer than the last row counts as past it.
    int running = -1;
    bool newer = false;
    for (int i = 0; i < kNtCount; ++i)
        if (kNtVersions[i].major == f.major && kNtVersions[i].minor == f.minor)
            running = i;
    if (running < 0 && (f.major > 6 || (f.major == 6 && f.minor > 3))) {
        running = kNtCount - 1;
        newer = true;
    }
    if (running < 0)
        return false;
    bool answer = false;
    for (int i = running; i >= 0; --i) {
        if (!(wanted & kNtVersions[i].bit))
            continue;
        if (i < running || newer) {
            answer = true;
        } else if (!wantedSp) {
            answer = true;
        } else {
            uint32_t satisfiedSp = 0;
            if (f.servicePack.find("Service Pack 3") != std::string::npos)
                satisfiedSp = kOsSp1 | kOsSp2 | kOsSp3;
            else if (f.servicePack.find("Service Pack 2") != std::string::npos)
                satisfiedSp = kOsSp1 | kOsSp2;
            else if (f.servicePack.find("Service Pack 1") != std::string::npos)
                satisfiedSp = kOsSp1;
            answer = (wantedSp & satisfiedSp) != 0;
        }
    }
    return answer;
}
