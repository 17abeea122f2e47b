// Answers of identity records, port matching, and the diagnostic report of a record.
#include <gtest/gtest.h>
#include <memory>
#include "devices/DeviceList.h"
#include "devices/DeviceReport.h"
#include "devices/IdentityDevice.h"
#include "devices/IdentityParse.h"
#include "devices/UsbPorts.h"

namespace {

struct Answer {
    int answered;
    C_PropertyValue a, b, c;
};

Answer Ask(C_Device& d, uint32_t id, uintptr_t argument = 0)
{
    Answer r;
    r.answered = d.QueryProperty(id, &r.a, argument, &r.b, &r.c);
    return r;
}

TEST(IdentityDevice, EmptyValuesAreNotAnswered)
{
    C_IdentityDevice d;
    for (uint32_t id : std::initializer_list<uint32_t>{
             kPropSerialText, kPropUsbIds, kPropHardwareIds, kPropLocation, kProp1394Id, kProp1394Company,
             kProp1394VendorModel, kPropInterfaceClass, kPropInstanceIds, kPropSerialSuffix, kPropUsbPort,
             0x20003u, 0x70001u})
        EXPECT_EQ(Ask(d, id).answered, 0) << std::hex << id;
    // A controller name alone does not make a port answer.
    d.strControllerName = "USB xHCI";
    EXPECT_EQ(Ask(d, kPropUsbPort).answered, 0);
    EXPECT_EQ(Ask(d, kPropUsbPort, 1).answered, 0);
}

TEST(IdentityDevice, AnswersCarryTheFields)
{
    C_IdentityDevice d;
    d.strSerialText = "0123456789";
    d.dwVendorId = 0x0781;
    d.str1394Id = "0090A95000123456";
    d.str1394Model = "d2";
    d.bHasSerialSuffix = 1;
    d.dwSerialSuffix = 0;
    d.strInstanceId = "USBSTOR\\DISK&VEN_X\\1&0";
    d.strParentInstanceId = "USB\\VID_0781&PID_5567\\1";
    d.bPortMatched = 1;
    d.dwPortSpeedClass = 4;
    d.dwPortNumber = 3;
    d.dwPortsBeforeHub = 10;
    d.strControllerName = "USB xHCI";
    EXPECT_EQ(Ask(d, kPropSerialText).a.text, "0123456789");
    Answer ids = Ask(d, kPropUsbIds);
    ASSERT_EQ(ids.answered, 1);
    EXPECT_EQ(ids.a.number, 0x0781u);
    EXPECT_EQ(ids.b.number, 0u);
    Answer company = Ask(d, kProp1394Company);
    ASSERT_EQ(company.answered, 1);
    EXPECT_EQ(company.a.number, 0x0090A9u);
    EXPECT_EQ(company.b.number, 0x00u);
    d.str1394Id = "0090A950AB123456";
    EXPECT_EQ(Ask(d, kProp1394Company).b.number, 0xABu);
    d.str1394Id = "xyz";
    EXPECT_EQ(Ask(d, kProp1394Company).answered, 0);
    Answer vm = Ask(d, kProp1394VendorModel);
    ASSERT_EQ(vm.answered, 1);
    EXPECT_EQ(vm.a.text, "");
    EXPECT_EQ(vm.b.text, "d2");
    Answer suffix = Ask(d, kPropSerialSuffix);
    ASSERT_EQ(suffix.answered, 1);
    EXPECT_EQ(suffix.a.number, 0u);
    Answer inst = Ask(d, kPropInstanceIds);
    EXPECT_EQ(inst.b.text, "USB\\VID_0781&PID_5567\\1");
    Answer port = Ask(d, kPropUsbPort);
    EXPECT_EQ(port.c.number, 4u);
    EXPECT_EQ(port.a.number, 3u);
    EXPECT_EQ(port.b.text, "USB xHCI");
    EXPECT_EQ(Ask(d, kPropUsbPort, 1).a.number, 13u);
}

TEST(UsbPorts, MatchByNumbersAndSerial)
{
    std::vector<C_UsbPortRecord> ports(4);
    ports[0].isHub = 1;
    ports[0].vendorId = 0x0781;
    ports[0].productId = 0x5567;
    ports[1].vendorId = 0x0781;
    ports[1].productId = 0x5567;
    ports[1].serial = "AAA";
    ports[2].vendorId = 0x0781;
    ports[2].productId = 0x5567;
    ports[2].serial = "bbb";
    ports[3].vendorId = 0x1234;
    ports[3].productId = 0x0001;
    EXPECT_EQ(MatchUsbPort(ports, 0x0781, 0x5567, "BBB"), 2);
    EXPECT_EQ(MatchUsbPort(ports, 0x0781, 0x5567, "aaa"), 1);
    EXPECT_EQ(MatchUsbPort(ports, 0x0781, 0x5567, ""), -1); // two candidates
    EXPECT_EQ(MatchUsbPort(ports, 0x1234, 0x0001, ""), 3);
    EXPECT_EQ(MatchUsbPort(ports, 0x1234, 0x0001, "other"), 3);
    EXPECT_EQ(MatchUsbPort(ports, 0, 0, "AAA"), -1);
    EXPECT_EQ(MatchUsbPort(ports, 0x9999, 0x0001, ""), -1);
}

TEST(DeviceReport, ShowsFiguresAndIdentityAnswers)
{
    C_IdentityDevice d;
    d.dwNumber = 0x2000ABCD;
    d.strName = "Disk USBSTOR\\X";
    d.dwType = kTypeRemovablePhysical;
    d.dwBus = kBusUsb | kBusScsi;
    d.strLetters = "EF";
    d.ullBlockCount = 2048 * 1024;
    d.dwBlockSize = 512;
    d.dwVendorId = 0x0781;
    d.dwProductId = 0x5567;
    d.bPortMatched = 1;
    d.dwPortSpeedClass = 3;
    d.dwPortNumber = 2;
    const std::string r = FormatDeviceReport(d);
    EXPECT_EQ(r.substr(0, r.find('\n')), "[identity 2000ABCD] Disk USBSTOR\\X");
    EXPECT_NE(r.find("  type: 4 removable disk\n"), std::string::npos);
    EXPECT_NE(r.find("  bus: USB SCSI\n"), std::string::npos);
    EXPECT_NE(r.find("  letters: EF\n"), std::string::npos);
    EXPECT_NE(r.find("(1024 MiB)"), std::string::npos);
    EXPECT_NE(r.find("  USB ID: 0x0781/0x5567\n"), std::string::npos);
    EXPECT_NE(r.find("  USB speed class: 3 (port 2"), std::string::npos);
    EXPECT_EQ(r.find("free:"), std::string::npos);
    EXPECT_EQ(BusText(0), "-");
    EXPECT_STREQ(TypeName(9), "?");
    EXPECT_STREQ(KindName(kKindTrack), "track");
}

TEST(DeviceReport, AVolumeWhoseOffsetNoQueryToldSaysSo)
{
    C_Device d;
    d.dwKind = kKindLogical;
    d.ullBlockOffset = 0;
    EXPECT_NE(FormatDeviceReport(d).find("  first block/offset: 0 / unknown\n"), std::string::npos);
    d.bOffsetKnown = 1;
    d.ullBlockOffset = 63;
    EXPECT_NE(FormatDeviceReport(d).find("  first block/offset: 0 / 63\n"), std::string::npos);
    d.dwKind = kKindPhysical;
    d.bOffsetKnown = 0;
    d.ullBlockOffset = 0;
    EXPECT_NE(FormatDeviceReport(d).find("  first block/offset: 0 / 0\n"), std::string::npos);
}

} // namespace

namespace {

TEST(IdentityFill, UsbDiskFromItsNodeAndParents)
{
    C_IdentityDevice r;
    r.strPath = "\\\\?\\usbstor#disk&ven_x&prod_y#0123456789&0#{53f56307}";
    r.dwInterfaceClass = 2;
    r.bPhysical = 1;
    r.dwBus = kBusIdentity1;
    C_NodeIds ids;
    ids.hardwareId = "USBSTOR\\DiskX_______Y_______________1.00";
    ids.instanceId = "USBSTOR\\DISK&VEN_X&PROD_Y&REV_1.00\\0123456789&0";
    ids.parentId = "USB\\VID_0781&PID_5567\\0123456789";
    ids.grandparentId = "USB\\ROOT_HUB30\\4&1";
    ids.controllerId = "PCI\\VEN_8086&DEV_1549&SUBSYS_00000000";
    ids.controllerName = "Intel USB 3.0 eXtensible Host Controller";
    FillFromIdentifiers(r, ids, 0);
    EXPECT_EQ(r.strVendor, "X");
    EXPECT_EQ(r.strProduct, "Y");
    EXPECT_EQ(r.strRevision, "1.00");
    EXPECT_EQ(r.strSerialText, "0123456789");
    EXPECT_EQ(r.dwVendorId, 0x0781u);
    EXPECT_EQ(r.dwProductId, 0x5567u);
    EXPECT_EQ(r.strHardwareIds, "USB\\VID_0781&PID_5567\\0123456789");
    EXPECT_EQ(r.strParentInstanceId, ids.parentId);
    EXPECT_EQ(r.strControllerName, ids.controllerName);
    EXPECT_EQ(r.dwBus, uint32_t(kBusThunderbolt));

    std::vector<C_UsbPortRecord> ports(2);
    ports[0].vendorId = 0x0781;
    ports[0].productId = 0x5567;
    ports[0].serial = "other";
    ports[1] = ports[0];
    ports[1].serial = "0123456789";
    ports[1].port = 4;
    ports[1].portsBeforeHub = 6;
    ports[1].speedClass = 2;
    LinkPortAndNumber(r, ports);
    EXPECT_EQ(r.bPortMatched, 1);
    EXPECT_EQ(r.dwNumber, IdentityRecordNumber(2, r.strPath, 4));
    C_PropertyValue port, controller, speed;
    ASSERT_EQ(r.QueryProperty(kPropUsbPort, &port, 1, &controller, &speed), 1);
    EXPECT_EQ(speed.number, 2u);
    EXPECT_EQ(port.number, 10u);

    ports[1].serial = "different";
    LinkPortAndNumber(r, ports);
    EXPECT_EQ(r.bPortMatched, 0);
    EXPECT_EQ(r.dwNumber, IdentityRecordNumber(2, r.strPath, 0));
    EXPECT_EQ(r.dwNumber >> 28, 2u);

    C_IdentityDevice other;
    ids.controllerId = "PCI\\VEN_8086&DEV_1E31&SUBSYS";
    other.dwBus = kBusIdentity1;
    FillFromIdentifiers(other, ids, 0);
    EXPECT_EQ(other.dwBus, uint32_t(kBusIdentity1));
}

TEST(IdentityFill, DescriptorTypes)
{
    struct Case {
        uint32_t deviceType, before, physical, type, blockSize;
    } cases[] = {
        {0, kTypeFixedPhysical, 1, kTypeFixedPhysical, 0},
        {0, kTypeFixedPhysical, 0, kTypeFixedLogical, 0},
        {14, kTypeRemovablePhysical, 1, kTypeRemovablePhysical, 0}, // stays removable
        {0, kTypeRemovableLogical, 0, kTypeRemovableLogical, 0},
        {1, kTypeFixedPhysical, 1, kTypeTape, 0},
        {5, kTypeFixedPhysical, 1, kTypeOptical, 2048},
        {7, kTypeFixedPhysical, 0, kTypeOptical, 2048},
        {3, kTypeFixedPhysical, 1, kTypeUnknown, 512},
    };
    for (const Case& c : cases) {
        C_IdentityDevice r;
        r.dwType = c.before;
        r.bPhysical = int(c.physical);
        ApplyDescriptorType(r, c.deviceType, 7);
        EXPECT_EQ(r.dwType, c.type) << c.deviceType;
        EXPECT_EQ(r.dwBlockSize, c.blockSize) << c.deviceType;
        EXPECT_EQ(r.dwBus, uint32_t(kBusUsb));
    }
    C_IdentityDevice sized;
    sized.dwBlockSize = 4096;
    ApplyDescriptorType(sized, 5, 1);
    EXPECT_EQ(sized.dwBlockSize, 4096u);
    EXPECT_EQ(sized.dwBus, uint32_t(kBusScsi));
}

} // namespace

namespace {

TEST(IdentityDevice, ACloneAnswersLikeTheOriginal)
{
    C_IdentityDevice d;
    d.strSerialText = "SER";
    d.dwVendorId = 0x1234;
    d.dwProductId = 0x5678;
    d.str1394Id = "0090A95000123456";
    d.str1394Vendor = "V";
    d.strLocation = "Port_#0002.Hub_#0003";
    d.strHardwareIds = "USB\\VID_1234&PID_5678";
    d.strInstanceId = "A";
    d.strParentInstanceId = "B";
    d.strInterfaceClass = "{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}";
    d.bHasSerialSuffix = 1;
    d.dwSerialSuffix = 7;
    d.bPortMatched = 1;
    d.dwPortSpeedClass = 5;
    d.dwPortNumber = 2;
    d.dwPortsBeforeHub = 4;
    d.strControllerName = "xHCI";
    d.dwLocation = 0x70100;
    std::unique_ptr<C_IdentityDevice> c(CloneIdentity(d));
    EXPECT_EQ(c->dwLocation, 0x70100u);
    for (uint32_t id = kPropSerialText; id <= kPropUsbPort; ++id)
        for (uintptr_t argument : {uintptr_t(0), uintptr_t(1)}) {
            Answer a = Ask(d, id, argument), b = Ask(*c, id, argument);
            EXPECT_EQ(a.answered, b.answered) << std::hex << id;
            EXPECT_EQ(a.a.text, b.a.text) << std::hex << id;
            EXPECT_EQ(a.a.number, b.a.number) << std::hex << id;
            EXPECT_EQ(a.b.text, b.b.text) << std::hex << id;
            EXPECT_EQ(a.b.number, b.b.number) << std::hex << id;
            EXPECT_EQ(a.c.number, b.c.number) << std::hex << id;
        }
}

} // namespace

namespace {

C_IdentityDevice* VolumeRecord(uint32_t number, const char* instanceId, const char* letters)
{
    C_IdentityDevice* v = new C_IdentityDevice;
    v->dwNumber = number;
    v->dwInterfaceClass = 1;
    v->strInstanceId = instanceId;
    v->strLetters = letters;
    return v;
}

TEST(IdentityLetters, ADiskTakesTheLettersOfItsOwnVolumes)
{
    C_DeviceList list;
    list.Register(nullptr, nullptr, 0, 0);
    list.Add(VolumeRecord(0x10000001, "STORAGE\\VOLUME\\_??_USBSTOR#DISK&VEN_X#1&0#{53F56307}", "E"));
    list.Add(VolumeRecord(0x10000002, "STORAGE\\VOLUME\\_??_USBSTOR#DISK&VEN_X#1&0#{53F56307}#2", "H"));
    list.Add(VolumeRecord(0x10000003, "STORAGE\\VOLUME\\{OTHER}", "C"));
    C_IdentityDevice* oldVolume = VolumeRecord(0x10000004, "STORAGE\\VOLUME\\GONE", "K");
    list.Add(oldVolume);
    oldVolume->dwCaps |= kCapStale;
    // A physical record with a matching identifier is not a volume.
    C_IdentityDevice* otherDisk = VolumeRecord(0x20000009, "STORAGE\\VOLUME\\{OTHER}", "Z");
    otherDisk->bPhysical = 1;
    list.Add(otherDisk);

    C_IdentityDevice disk;
    disk.bPhysical = 1;
    disk.strLetters = "E";
    // The system's relations may differ in case from the volume's own identifier.
    const std::vector<std::string> volumes = {"storage\\volume\\_??_usbstor#disk&ven_x#1&0#{53f56307}",
                                              "STORAGE\\VOLUME\\_??_USBSTOR#DISK&VEN_X#1&0#{53F56307}#2",
                                              "STORAGE\\VOLUME\\GONE", "STORAGE\\VOLUME\\NOT-LISTED"};
    EXPECT_EQ(AddLettersOfVolumes(list, disk, volumes), 1); // E was there already
    EXPECT_EQ(disk.strLetters, "EH");

    C_IdentityDevice lonely;
    EXPECT_EQ(AddLettersOfVolumes(list, lonely, {}), 0);
    EXPECT_EQ(AddLettersOfVolumes(list, lonely, {"STORAGE\\VOLUME\\GONE"}), 0);
    EXPECT_EQ(AddLettersOfVolumes(list, lonely, {"STORAGE\\VOLUME\\{OTHER}"}), 1);
    EXPECT_EQ(lonely.strLetters, "C");
}

} // namespace
