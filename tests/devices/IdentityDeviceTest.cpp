// Answers of identity records, port matching, and the diagnostic report of a record.
#include <gtest/gtest.h>
#include "devices/DeviceReport.h"
#include "devices/IdentityDevice.h"
#include "devices/UsbPorts.h"

namespace {

struct Answer {
    int answered;
    C_PropertyValue a, b, c;
};

Answer Ask(C_Device& d, uint32_t id, uintptr_t argument = 0) {
    Answer r;
    r.answered = d.QueryProperty(id, &r.a, argument, &r.b, &r.c);
    return r;
}

TEST(IdentityDevice, EmptyValuesAreNotAnswered) {
    C_IdentityDevice d;
    for (uint32_t id : std::initializer_list<uint32_t>{kPropSerialText, kPropUsbIds, kPropHardwareIds, kPropLocation, kProp1394Id,
                        kProp1394Company, kProp1394VendorModel, kPropInterfaceClass,
                        kPropInstanceIds, kPropSerialSuffix, 0x20003u, 0x70001u})
        EXPECT_EQ(Ask(d, id).answered, 0) << std::hex << id;
    // The port question is always answered, so QuickAccess can tell "no USB port known"
    // (0) from "no identity record" (-1).
    Answer port = Ask(d, kPropUsbPort);
    EXPECT_EQ(port.answered, 1);
    EXPECT_EQ(port.c.number, 0u);
}

TEST(IdentityDevice, AnswersCarryTheFields) {
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

TEST(UsbPorts, MatchByNumbersAndSerial) {
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
    EXPECT_EQ(MatchUsbPort(ports, 0x0781, 0x5567, ""), -1);     // two candidates
    EXPECT_EQ(MatchUsbPort(ports, 0x1234, 0x0001, ""), 3);
    EXPECT_EQ(MatchUsbPort(ports, 0x1234, 0x0001, "other"), 3);
    EXPECT_EQ(MatchUsbPort(ports, 0, 0, "AAA"), -1);
    EXPECT_EQ(MatchUsbPort(ports, 0x9999, 0x0001, ""), -1);
}

TEST(DeviceReport, ShowsFiguresAndIdentityAnswers) {
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

}  // namespace
