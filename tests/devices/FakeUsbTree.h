// A scripted USB hub tree for the walk's tree-source seam: hubs by path, each with the
// connections of its ports.
#pragma once
#include <map>
#include <string>
#include "devices/UsbPorts.h"

struct FakeHub {
    uint32_t ports = 0;
    std::map<uint32_t, C_UsbConnection> connected;
};

struct FakeUsbTree : C_UsbTreeSource {
    std::map<std::string, FakeHub> hubs;
    int open = 0; // hubs opened and not closed again
    void* OpenHub(const std::string& path, uint32_t* count) override
    {
        auto it = hubs.find(path);
        if (it == hubs.end())
            return nullptr;
        ++open;
        *count = it->second.ports;
        return &it->second;
    }
    int QueryPort(void* hub, uint32_t port, C_UsbConnection* c) override
    {
        FakeHub* h = static_cast<FakeHub*>(hub);
        auto it = h->connected.find(port);
        if (it == h->connected.end()) {
            c->connected = 0;
            return 1;
        }
        *c = it->second;
        return 1;
    }
    void CloseHub(void*) override { --open; }
};

// A device that answered the extended connection query with this speed (0 low, 1 full,
// 2 high, 3 super) and descriptor.
inline C_UsbConnection FakeUsbDevice(uint32_t vid, uint32_t pid, uint32_t speed, uint32_t bcd,
                                     const char* serial)
{
    C_UsbConnection c;
    c.connected = 1;
    c.vendorId = vid;
    c.productId = pid;
    c.facts.haveExtended = 1;
    c.facts.speed = speed;
    c.facts.bcdUsb = bcd;
    c.serial = serial;
    return c;
}
