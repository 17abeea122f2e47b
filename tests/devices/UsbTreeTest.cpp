// The USB hub walk over a scripted tree: port records, hub order and port offsets, speed
// classes by hub, hubs that cannot be opened, and a loop in the tree.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "devices/UsbPorts.h"
#include "tests/devices/FakeUsbTree.h"

namespace {

using FakeTree = FakeUsbTree;

C_UsbConnection Device(uint32_t vid, uint32_t pid, uint32_t speed, uint32_t bcd, const char* serial)
{
    return FakeUsbDevice(vid, pid, speed, bcd, serial);
}

C_UsbConnection Hub(const char* path)
{
    C_UsbConnection c = Device(0x05E3, 0x0608, 2, 0x200, "");
    c.isHub = 1;
    c.childHubPath = path;
    return c;
}

TEST(UsbTree, WalkListsPortsWithClassesAndOffsets)
{
    FakeTree t;
    const std::string root3 = "\\\\.\\USB#ROOT_HUB30#4&1#{f18a0e88}";
    const std::string root2 = "\\\\.\\USB#ROOT_HUB20#4&2#{f18a0e88}";
    const std::string ext = "\\\\.\\USB#VID_05E3&PID_0608#5&3#{f18a0e88}";
    t.hubs[root3].ports = 4;
    t.hubs[root3].connected[1] = Device(0x0781, 0x5581, 2, 0x210, "STICK3"); // USB 3 at USB 2
    t.hubs[root3].connected[2] = Device(0x174C, 0x1153, 3, 0x300, "SSD");    // SuperSpeed
    t.hubs[root3].connected[4] = Hub(ext.c_str());
    t.hubs[root2].ports = 2;
    t.hubs[root2].connected[2] = Device(0x0781, 0x5581, 2, 0x210, "STICK2");
    t.hubs[ext].ports = 4;
    t.hubs[ext].connected[3] = Device(0x046D, 0xC52B, 1, 0x200, "");
    std::vector<C_UsbPortRecord> ports;
    EXPECT_EQ(WalkUsbTree(t, {root3, root2, "\\\\.\\gone"}, &ports), 3u);
    EXPECT_EQ(t.open, 0);
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[0].speedClass, 4u);
    EXPECT_EQ(ports[1].speedClass, 5u);
    EXPECT_EQ(ports[2].isHub, 1);
    EXPECT_EQ(ports[0].portsBeforeHub, 0u);
    // The hub below the first root hub is walked after that root hub's ports, before the
    // second root hub.
    EXPECT_EQ(ports[3].hubPath, ext);
    EXPECT_EQ(ports[3].port, 3u);
    EXPECT_EQ(ports[3].portsBeforeHub, 4u);
    EXPECT_EQ(ports[3].speedClass, 1u);
    EXPECT_EQ(ports[4].hubPath, root2);
    EXPECT_EQ(ports[4].portsBeforeHub, 8u);
    EXPECT_EQ(ports[4].speedClass, 3u); // USB 3 device on a USB 2 root hub
    EXPECT_EQ(MatchUsbPort(ports, 0x0781, 0x5581, "STICK2"), 4);
    EXPECT_EQ(MatchUsbPort(ports, 0x0781, 0x5581, "STICK3"), 0);
}

TEST(UsbTree, AHubThatListsItselfIsNotWalkedForever)
{
    FakeTree t;
    const std::string loop = "\\\\.\\USB#ROOT_HUB20#loop";
    t.hubs[loop].ports = 1;
    t.hubs[loop].connected[1] = Hub(loop.c_str());
    std::vector<C_UsbPortRecord> ports;
    const uint32_t hubs = WalkUsbTree(t, {loop}, &ports);
    EXPECT_EQ(hubs, 9u); // the root and eight levels below
    EXPECT_EQ(ports.size(), 9u);
    EXPECT_EQ(t.open, 0);
}

} // namespace
