// USB speed hints from a scripted identity tree: the hub tree goes through the walk's
// tree-source seam, the device nodes through the identity record builder, in the order the
// system enumerates them (volumes before disks). A USB 2 stick on a high-speed port at E:
// and one on a full-speed port at F: get their speed class, hint text and result colour as
// the QuickAccess page works them out.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/pages/quick/model/QuickRules.h"
#include "core/UsbHint.h"
#include "devices/DeviceList.h"
#include "devices/DriveLetterInfo.h"
#include "devices/IdentityDevice.h"
#include "devices/UsbPorts.h"
#include "tests/devices/FakeUsbTree.h"

namespace {

const char* const kDiskClass = "{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}";
const char* const kVolumeClass = "{53F5630D-B6BF-11D0-94F2-00A0C91EFB8B}";

struct Stick {
    const char* serial;
    const char* vendor;
    const char* product;
    uint32_t vid, pid;
    char letter;
};

std::string VolumeId(const Stick& s)
{
    return std::string("STORAGE\\VOLUME\\_??_USBSTOR#DISK&VEN_") + s.vendor + "&PROD_" + s.product +
           "&REV_1.00#" + s.serial + "&0#" + kDiskClass;
}

C_IdentityNode VolumeNode(const Stick& s)
{
    C_IdentityNode n;
    n.classValue = 1;
    n.physical = 0;
    n.interfaceClass = kVolumeClass;
    n.path = std::string("\\\\?\\storage#volume#_??_usbstor#disk&ven_") + s.vendor + "#" + s.serial + "&0#" +
             kVolumeClass;
    n.description = "Generic volume";
    n.ids.hardwareId = "STORAGE\\Volume";
    n.ids.instanceId = VolumeId(s);
    n.ids.parentId = "ROOT\\VOLMGR\\0000";
    n.ids.grandparentId = "HTREE\\ROOT\\0";
    return n;
}

C_IdentityNode DiskNode(const Stick& s, const char* controller)
{
    char usb[64];
    snprintf(usb, sizeof usb, "USB\\VID_%04X&PID_%04X\\", s.vid, s.pid);
    C_IdentityNode n;
    n.classValue = 2;
    n.physical = 1;
    n.interfaceClass = kDiskClass;
    n.path = std::string("\\\\?\\usbstor#disk&ven_") + s.vendor + "&prod_" + s.product + "&rev_1.00#" +
             s.serial + "&0#" + kDiskClass;
    n.description = "USB Device";
    n.ids.hardwareId = std::string("USBSTOR\\Disk") + s.vendor + "_" + s.product + "1.00";
    n.ids.instanceId =
        std::string("USBSTOR\\DISK&VEN_") + s.vendor + "&PROD_" + s.product + "&REV_1.00\\" + s.serial + "&0";
    n.ids.parentId = usb + std::string(s.serial);
    n.ids.grandparentId = "USB\\ROOT_HUB20\\4&1A2B3C4D&0";
    n.ids.controllerId = "PCI\\VEN_8086&DEV_1E2D&SUBSYS_00000000&REV_04\\3&11583659&0&D0";
    n.ids.controllerName = controller;
    return n;
}

// What the page shows for a sequential result of this rate on the drive.
struct Shown {
    int speedClass;
    std::string hint;
    uint32_t colour;
};

Shown ShowResult(C_DeviceList& list, char letter, int direction, float bytesPerSecond)
{
    Shown s;
    // The per-drive test asks the list once, then the pass adds its hint to the result.
    s.speedClass = GetUsbSpeedClassOfLetter(list, letter);
    if (s.speedClass >= 0)
        AppendUsbHint(s.hint, s.speedClass, direction, bytesPerSecond);
    s.colour = SequentialResultColour(s.hint);
    return s;
}

TEST(UsbHints, HighAndFullSpeedSticksFromAScriptedIdentityTree)
{
    const Stick fast = {"4C530001090315115153", "SanDisk", "Cruzer", 0x0781, 0x5567, 'E'};
    const Stick slow = {"AA00000000001234", "Generic", "Flash", 0x090C, 0x1000, 'F'};

    // A USB 2 root hub: the first stick at high speed on port 1; an old full-speed hub on
    // port 4 with the second stick on its port 2.
    const std::string root = "\\\\?\\USB#ROOT_HUB20#4&1A2B3C4D&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
    const std::string oldHub = "\\\\?\\USB#VID_05E3&PID_0605#5&2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
    FakeUsbTree tree;
    tree.hubs[root].ports = 4;
    tree.hubs[root].connected[1] = FakeUsbDevice(fast.vid, fast.pid, 2, 0x200, fast.serial);
    C_UsbConnection hub = FakeUsbDevice(0x05E3, 0x0605, 1, 0x110, "");
    hub.isHub = 1;
    hub.childHubPath = oldHub;
    tree.hubs[root].connected[4] = hub;
    tree.hubs[oldHub].ports = 4;
    tree.hubs[oldHub].connected[2] = FakeUsbDevice(slow.vid, slow.pid, 1, 0x200, slow.serial);
    std::vector<C_UsbPortRecord> ports;
    ASSERT_EQ(WalkUsbTree(tree, {root}, &ports), 2u);

    C_DeviceList list;
    list.Register(nullptr, nullptr, 0xFFF00000u, 'C');
    list.MarkAll();
    list.BeginKind(kKindIdentity);
    // Volumes first, with the letters the mount manager gives them.
    for (const Stick* s : {&fast, &slow}) {
        C_IdentityDevice* v = StartIdentityRecord(VolumeNode(*s), ports, 0xFFF00000u);
        v->strLetters = std::string(1, s->letter);
        ASSERT_EQ(list.Add(v), 1);
    }
    // Then the disks, whose letters are those of their own volumes.
    for (const Stick* s : {&fast, &slow}) {
        C_IdentityDevice* d =
            StartIdentityRecord(DiskNode(*s, "Intel USB Enhanced Host Controller"), ports, 0xFFF00000u);
        EXPECT_EQ(AddLettersOfVolumes(list, *d, {VolumeId(*s)}), 1);
        EXPECT_EQ(d->strLetters, std::string(1, s->letter));
        ASSERT_EQ(list.Add(d), 1);
    }
    list.Sweep();

    // 10 MiB/s written and 15 MiB/s read are slow for USB 2 at high speed.
    const float write = 10.0f * 1048576, read = 15.0f * 1048576;
    const Shown eWrite = ShowResult(list, 'E', 1, write);
    EXPECT_EQ(eWrite.speedClass, 2);
    EXPECT_EQ(eWrite.hint, "This is pretty slow for an USB2 device.");
    EXPECT_EQ(eWrite.colour, uint32_t(kColourDarkRed));
    const Shown eRead = ShowResult(list, 'E', 0, read);
    EXPECT_EQ(eRead.hint, "This is pretty slow for an USB2 device.");
    EXPECT_EQ(eRead.colour, uint32_t(kColourDarkRed));
    // A fast stick on the same port gets no hint.
    EXPECT_EQ(ShowResult(list, 'E', 1, 30.0f * 1048576).colour, uint32_t(kColourGreen));

    // At full speed nothing faster is possible: no hint, green.
    const Shown fWrite = ShowResult(list, 'F', 1, write);
    EXPECT_EQ(fWrite.speedClass, 1);
    EXPECT_EQ(fWrite.hint, "");
    EXPECT_EQ(fWrite.colour, uint32_t(kColourGreen));

    // The letter of neither stick has no class.
    EXPECT_EQ(ShowResult(list, 'C', 1, write).speedClass, -1);

    // The port number counts the ports of the hubs walked before the stick's hub.
    C_PropertyValue port, controller, speed;
    C_Device* disk = nullptr;
    list.ForEach(
        [](C_Device* d, void* context) {
            if (d->dwKind == kKindIdentity && static_cast<C_IdentityDevice*>(d)->bPhysical &&
                d->HasLetter('F')) {
                *static_cast<C_Device**>(context) = d;
                return 0;
            }
            return 1;
        },
        &disk, 0);
    ASSERT_NE(disk, nullptr);
    ASSERT_EQ(disk->QueryProperty(kPropUsbPort, &port, 1, &controller, &speed), 1);
    EXPECT_EQ(port.number, 6u);
    EXPECT_EQ(speed.number, 1u);
    EXPECT_EQ(controller.text, "Intel USB Enhanced Host Controller");
}

} // namespace
