#include "devices/UsbPorts.h"
#include <cctype>

static int SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (toupper(static_cast<unsigned char>(a[i])) != toupper(static_cast<unsigned char>(b[i])))
            return 0;
    return 1;
}

int MatchUsbPort(const std::vector<C_UsbPortRecord>& ports, uint32_t vendorId, uint32_t productId,
                 const std::string& serial)
{
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

namespace {
struct TreeWalk {
    C_UsbTreeSource& source;
    std::vector<C_UsbPortRecord>* ports;
    uint32_t hubs;
    uint32_t portsSoFar;
};

void WalkHub(TreeWalk& w, const std::string& path, int depth)
{
    if (depth > 8)
        return;
    uint32_t count = 0;
    void* hub = w.source.OpenHub(path, &count);
    if (!hub)
        return;
    if (count > 255)
        count = 255;
    const uint32_t hubIndex = w.hubs++;
    const uint32_t before = w.portsSoFar;
    w.portsSoFar += count;
    const uint32_t hubClass = HubSpeedClass(path);
    std::vector<std::string> children;
    for (uint32_t port = 1; port <= count; ++port) {
        C_UsbConnection c;
        if (!w.source.QueryPort(hub, port, &c) || !c.connected)
            continue;
        C_UsbPortRecord r;
        r.hubPath = path;
        r.hubIndex = hubIndex;
        r.portsBeforeHub = before;
        r.port = port;
        r.isHub = c.isHub;
        r.driverKey = c.driverKey;
        r.vendorId = c.vendorId;
        r.productId = c.productId;
        r.bcdUsb = c.facts.bcdUsb;
        r.manufacturer = c.manufacturer;
        r.product = c.product;
        r.serial = c.serial;
        c.facts.hubClass = hubClass;
        r.speedClass = UsbPortSpeedClass(c.facts);
        if (c.isHub && !c.childHubPath.empty())
            children.push_back(c.childHubPath);
        w.ports->push_back(r);
    }
    w.source.CloseHub(hub);
    for (const std::string& child : children)
        WalkHub(w, child, depth + 1);
}
} // namespace

uint32_t WalkUsbTree(C_UsbTreeSource& source, const std::vector<std::string>& rootHubs,
                     std::vector<C_UsbPortRecord>* ports)
{
    TreeWalk w{source, ports, 0, 0};
    for (const std::string& root : rootHubs)
        WalkHub(w, root, 0);
    return w.hubs;
}
