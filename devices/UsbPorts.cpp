#include "devices/UsbPorts.h"
#include <cctype>

static int SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (toupper(static_cast<unsigned char>(a[i])) != toupper(static_cast<unsigned char>(b[i])))
            return 0;
    return 1;
}

int MatchUsbPort(const std::vector<C_UsbPortRecord>& ports, uint32_t vendorId,
                 uint32_t productId, const std::string& serial) {
    if (!vendorId && !productId)
        return -1;
    int byNumbers = -1, numberMatches = 0;
    for (size_t i = 0; i < ports.size(); ++i) {
        const C_UsbPortRecord& p = ports[i];
        if (p.isHub || p.vendorId != vendorId || p.productId != productId)
            continue;
        if (!serial.empty() && SameText(p.serial, serial))
            return int(i);
        ++numberMatches;
        byNumbers = int(i);
    }
    // Two identical sticks without serials cannot be told apart: better no port than the
    // wrong one.
    return numberMatches == 1 ? byNumbers : -1;
}
