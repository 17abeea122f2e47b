#include "core/UsbSpeed.h"
#include <cstdlib>

uint32_t UsbPortSpeedClass(const C_UsbPortFacts& p)
{
    uint32_t speedClass;
    if (p.haveExtended) {
        switch (p.speed) {
        case 1:
            speedClass = 1;
            break;
        case 2:
            speedClass = 2;
            break;
        case 3:
            speedClass = 5;
            break;
        default:
            speedClass = 0;
            break;
        }
        if (p.superSpeedOrHigher)
            speedClass = 5;
    } else {
        speedClass = p.lowSpeed ? 0 : 1;
    }
    if (p.bcdUsb >= 0x300)
        return 5;
    if (speedClass < 5 && p.bcdUsb >= 0x210)
        return p.hubClass == 5 ? 4 : 3;
    return speedClass;
}

namespace {
// " 2.10" as the descriptor's binary-coded decimal 0x210; 0 when it is no version.
uint32_t VersionBcd(const char* version)
{
    while (*version == ' ')
        ++version;
    uint32_t major = 0;
    int digits = 0;
    for (; *version >= '0' && *version <= '9'; ++version, ++digits)
        major = major * 10 + uint32_t(*version - '0');
    if (!digits || major > 0xFF || version[0] != '.' || version[1] < '0' || version[1] > '9' ||
        version[2] < '0' || version[2] > '9')
        return 0;
    return major << 8 | uint32_t(version[1] - '0') << 4 | uint32_t(version[2] - '0');
}
} // namespace

int SysfsUsbSpeedClass(const char* speed, const char* version, int usb3Controller)
{
    char* end = nullptr;
    const double mbits = std::strtod(speed, &end);
    if (end == speed || !(mbits > 0))
        return -1;
    // The tree gives the speed the port runs at, as the extended connection query does.
    C_UsbPortFacts facts;
    facts.haveExtended = 1;
    facts.speed = mbits < 12 ? 0 : mbits < 480 ? 1 : mbits < 5000 ? 2 : 3;
    facts.superSpeedOrHigher = facts.speed == 3;
    facts.bcdUsb = VersionBcd(version);
    facts.hubClass = usb3Controller ? 5 : 2;
    return (int)UsbPortSpeedClass(facts);
}
