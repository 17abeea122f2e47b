// Device identifier rules, the USB speed classes and the path hash.
#include <gtest/gtest.h>
#include "devices/IdentityParse.h"

namespace {

C_IdentityFields Parse(const std::string& id, uint32_t options = 0, int* rule = nullptr)
{
    C_IdentityFields f;
    const int r = ParseDeviceIdentifier(id, options, &f);
    if (rule)
        *rule = r;
    return f;
}

TEST(Identifier, UsbStorageInstance)
{
    int rule = 0;
    auto f = Parse("USBSTOR\\DISK&VEN_X&PROD_Y&REV_1.00\\0123456789&0", 0, &rule);
    EXPECT_EQ(rule, 1);
    EXPECT_EQ(f.vendor, "X");
    EXPECT_EQ(f.product, "Y");
    EXPECT_EQ(f.revision, "1.00");
    EXPECT_EQ(f.serialText, "0123456789");
    EXPECT_EQ(f.hasSerialSuffix, 1);
    EXPECT_EQ(f.serialSuffix, 0u);

    f = Parse("USBSTOR\\Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.00\\4C53_0001&12");
    EXPECT_EQ(f.vendor, "SanDisk");
    EXPECT_EQ(f.product, "Cruzer_Blade");
    EXPECT_EQ(f.serialText, "4C53 0001");
    EXPECT_EQ(f.serialSuffix, 12u);

    // Without a serial of its own the system makes one up from the USB identifiers.
    f = Parse("USBSTOR\\DISK&VEN_A&PROD_B&REV_C\\7&1A2B3C&0&USB&VID_0781&PID_5567&ABC123");
    EXPECT_EQ(f.serialText, "ABC123");
    EXPECT_EQ(f.hasSerialSuffix, 0);

    f = Parse("CY_IOSTB\\GENERIC\\SN_42__&x");
    EXPECT_EQ(f.serialText, "SN 42");
    EXPECT_EQ(f.hasSerialSuffix, 0);
    EXPECT_EQ(f.vendor, "");
}

TEST(Identifier, IdeFixedColumns)
{
    //                0       8       16                              48
    auto f = Parse("IDE\\DiskST3500418AS_____________________________CC38____\\5&1");
    EXPECT_EQ(f.vendor, "ST350041");
    EXPECT_EQ(f.product, "8AS");
    EXPECT_EQ(f.revision, "CC38");
    f = Parse("IDE\\CdRomHL-DT-STDVD-RAM_GH22NS50________________TN02____");
    EXPECT_EQ(f.vendor, "HL-DT-ST");
    EXPECT_EQ(f.product, "DVD-RAM_GH22NS50");
    EXPECT_EQ(f.revision, "TN02");
    f = Parse("IDE\\DISKshort"); // too short for the columns: nothing, no overrun
    EXPECT_EQ(f.product, "");
}

TEST(Identifier, UsbDevice)
{
    int rule = 0;
    auto f = Parse("USB\\VID_0781&PID_5567\\4C530001230101108362", 0, &rule);
    EXPECT_EQ(rule, 4);
    EXPECT_EQ(f.vendorId, 0x0781u);
    EXPECT_EQ(f.productId, 0x5567u);
    EXPECT_EQ(f.serialText, "4C530001230101108362");
    EXPECT_EQ(f.hardwareIds, "USB\\VID_0781&PID_5567\\4C530001230101108362");

    f = Parse("USB\\VID_045E&PID_0001\\MSFT30AB12");
    EXPECT_EQ(f.serialText, "AB12");
    f = Parse("USB\\VID_0BDA&PID_0129\\5&2A7E2D2&0&4");
    EXPECT_EQ(f.serialText, "");
    f = Parse("USB\\VID_ZZZZ&PID_0129");
    EXPECT_EQ(f.vendorId, 0u);

    // Numbers already found are kept; more identifiers are collected.
    ParseDeviceIdentifier("USB\\VID_1234&PID_5678&REV_0100", 0, &f);
    ParseDeviceIdentifier("USB\\VID_9999&PID_9999", 0, &f);
    EXPECT_EQ(f.vendorId, 0x1234u);
    EXPECT_EQ(f.productId, 0x5678u);
    EXPECT_EQ(f.hardwareIds, "USB\\VID_ZZZZ&PID_0129 USB\\VID_1234&PID_5678&REV_0100 "
                             "USB\\VID_9999&PID_9999");
}

TEST(Identifier, Ieee1394AndSbp2)
{
    int rule = 0;
    auto f = Parse("1394\\LaCie&d2_FireWire\\0123456789ABCDEF", 0, &rule);
    EXPECT_EQ(rule, 5);
    EXPECT_EQ(f.vendor1394, "LaCie");
    EXPECT_EQ(f.model1394, "d2_FireWire");
    EXPECT_EQ(f.id1394, "EFCDAB8967452301");
    f = Parse("1394\\LaCie&d2\\0123456789ABCDEF", 0x8000);
    EXPECT_EQ(f.id1394, "0123456789ABCDEF");
    f = Parse("1394\\LaCie&d2\\not-hex");
    EXPECT_EQ(f.id1394, "not-hex");

    f = Parse("SBP2\\LaCie&d2&LUN0\\00D04B1234567890", 0, &rule);
    EXPECT_EQ(rule, 6);
    EXPECT_EQ(f.id1394, "00D04B1234567890");
    f = Parse("SBP2\\LaCie&d2\\00D04B1234567890");
    EXPECT_EQ(f.id1394, "");
}

TEST(Identifier, HidAndOthers)
{
    int rule = 0;
    auto f = Parse("\\\\?\\hid#vid_046d&pid_c52b&mi_00#7&1", 0, &rule);
    EXPECT_EQ(rule, 7);
    EXPECT_EQ(f.vendorId, 0x046Du);
    EXPECT_EQ(f.productId, 0xC52Bu);
    f = Parse("NECUSB\\X&Y&SER1", 0, &rule);
    EXPECT_EQ(rule, 3);
    EXPECT_EQ(f.serialText, "SER1");
    f = Parse("PCI\\VEN_8086&DEV_1549&SUBSYS", 0, &rule);
    EXPECT_EQ(rule, 0);
    EXPECT_EQ(f.serialText, "");
    EXPECT_EQ(f.hardwareIds, "");
}

TEST(UsbSpeed, HubClassFromPath)
{
    EXPECT_EQ(HubSpeedClass("\\\\?\\usb#root_hub30#4&1#{f18a0e88}"), 5u);
    EXPECT_EQ(HubSpeedClass("\\\\?\\USB#ROOT_HUB20#4&1#{f18a0e88}"), 2u);
    EXPECT_EQ(HubSpeedClass("\\\\?\\USB#VID_05E3&PID_0608#5&1#{f18a0e88}"), 1u);
}

TEST(UsbSpeed, PortClassRules)
{
    C_UsbPortFacts p;
    p.haveExtended = 1;
    p.hubClass = 2;
    p.speed = 2;
    p.bcdUsb = 0x300;
    EXPECT_EQ(UsbPortSpeedClass(p), 5u); // USB 3 descriptor on a USB 2 root hub
    p.bcdUsb = 0x210;
    p.hubClass = HubSpeedClass("#ROOT_HUB30#");
    EXPECT_EQ(UsbPortSpeedClass(p), 4u);
    p.hubClass = HubSpeedClass("#ROOT_HUB20#");
    EXPECT_EQ(UsbPortSpeedClass(p), 3u);
    p.bcdUsb = 0x200;
    EXPECT_EQ(UsbPortSpeedClass(p), 2u);
    p.speed = 1;
    EXPECT_EQ(UsbPortSpeedClass(p), 1u);
    p.speed = 0;
    EXPECT_EQ(UsbPortSpeedClass(p), 0u);
    p.speed = 3;
    EXPECT_EQ(UsbPortSpeedClass(p), 5u);
    p.speed = 2;
    p.superSpeedOrHigher = 1;
    p.bcdUsb = 0x210;
    EXPECT_EQ(UsbPortSpeedClass(p), 5u); // running at SuperSpeed is not a slow USB 3 port
    C_UsbPortFacts plain;
    plain.lowSpeed = 1;
    EXPECT_EQ(UsbPortSpeedClass(plain), 0u);
    plain.lowSpeed = 0;
    EXPECT_EQ(UsbPortSpeedClass(plain), 1u);
}

TEST(PathHash, Values)
{
    EXPECT_EQ(DevicePathHash(""), 1u);
    // 'A' = 65: h = 65, then 65 + 0.
    EXPECT_EQ(DevicePathHash("A"), 65u);
    // Bytes above 127 count as negative.
    EXPECT_EQ(DevicePathHash("\xFF"), 0xFFFFFFFFu + (0xFFFFFFFFu >> 24));
    EXPECT_EQ(DevicePathHash("AB"), 4290u);
    // Long enough for the high byte to fold back in.
    EXPECT_EQ(DevicePathHash("zzzzz"), 0x4AF0901Cu);
    EXPECT_EQ(DevicePathHash("\\\\?\\usbstor#disk"), 0x7B7F6C51u);
    EXPECT_EQ(IdentityRecordNumber(2, "", 3), 0x20000004u);
}

} // namespace

namespace {

TEST(PathHash, TheClassKeepsTheHighBits)
{
    // "zzzzz" hashes to 0x4AF0901C: its own high bits must not reach the class.
    EXPECT_EQ(IdentityRecordNumber(1, "zzzzz", 0), 0x1AF0901Cu);
    EXPECT_EQ(IdentityRecordNumber(5, "zzzzz", 2), 0x5AF0901Eu);
    EXPECT_EQ(IdentityRecordNumber(2, "zzzzz", 0) >> 28, 2u);
}

} // namespace
