#include "core/UsbSpeed.h"

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
