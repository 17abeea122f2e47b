#include <gtest/gtest.h>
#include <map>
#include "app/pages/block/model/DeviceRow.h"

namespace {
// A record that answers the properties it was given, one or two values each.
class C_AnsweringDevice : public C_Device {
public:
    std::map<uint32_t, std::pair<C_PropertyValue, C_PropertyValue>> answers;
    int QueryProperty(uint32_t id, C_PropertyValue* a, uintptr_t, C_PropertyValue* b,
                      C_PropertyValue*) override
    {
        auto it = answers.find(id);
        if (it == answers.end())
            return 0;
        *a = it->second.first;
        *b = it->second.second;
        return 1;
    }
    void Number(uint32_t id, uint64_t x, uint64_t y)
    {
        answers[id].first.number = x;
        answers[id].second.number = y;
    }
    void Text(uint32_t id, const char* x, const char* y = "")
    {
        answers[id].first.text = x;
        answers[id].second.text = y;
    }
};
} // namespace

TEST(BlockDeviceRow, ImageByTypeAndBus)
{
    EXPECT_EQ(DeviceImageIndex(kTypeOptical, 0), 0);
    EXPECT_EQ(DeviceImageIndex(kTypeRemovablePhysical, kBusUsb), 1);
    EXPECT_EQ(DeviceImageIndex(kTypeRemovableLogical, 0), 1);
    EXPECT_EQ(DeviceImageIndex(kTypeRamDisk, 0), 4);
    EXPECT_EQ(DeviceImageIndex(kTypeNetwork, 0), 3);
    EXPECT_EQ(DeviceImageIndex(kTypeTape, 0), 5);
    EXPECT_EQ(DeviceImageIndex(kTypeFixedPhysical, 0), 2);
    EXPECT_EQ(DeviceImageIndex(kTypeFixedLogical, kBusScsi), 2);
    EXPECT_EQ(DeviceImageIndex(kTypeUnknown, 0), 2);
    EXPECT_EQ(DeviceImageIndex(99, 0), 2);
    // iSCSI wins over every type.
    EXPECT_EQ(DeviceImageIndex(kTypeOptical, kBusIscsi | kBusScsi), 6);
    EXPECT_EQ(DeviceImageIndex(kTypeFixedPhysical, kBusIscsi), 6);
}

TEST(BlockDeviceRow, NameSizeAndRowRule)
{
    C_AnsweringDevice d;
    d.strVendor = "QUELLMOR";
    d.strProduct = "IMAGE DISK";
    d.strRevision = "1.0";
    EXPECT_EQ(DeviceRowName(d), "QUELLMOR IMAGE DISK 1.0");
    // 1000 blocks counted from block 16: 984 blocks of 2048 bytes.
    d.ullBlockCount = 1000;
    d.ullFirstBlock = 16;
    d.dwBlockSize = 2048;
    EXPECT_EQ(DeviceRowSize(d), "1968.0 kByte"); // 984 x 2048 bytes
    d.ullBlockCount = 10;
    d.ullFirstBlock = 16; // the count is taken whole when the first block lies beyond it
    d.dwBlockSize = 512;
    EXPECT_EQ(DeviceRowSize(d), "5.0 kByte");
    d.dwCaps = kCapRead;
    EXPECT_TRUE(DeviceHasRow(d));
    d.dwCaps = kCapWrite | kCapScsi;
    EXPECT_TRUE(DeviceHasRow(d));
    d.dwCaps = kCapScsi | kCapAtaIdentify;
    EXPECT_FALSE(DeviceHasRow(d));
}

TEST(BlockDeviceRow, InfoFromIdentity)
{
    C_AnsweringDevice d;
    d.strName = "\\\\.\\PhysicalDrive1";
    // Nothing known: the name alone, no leading " - ".
    EXPECT_EQ(DeviceRowInfo(d), "\\\\.\\PhysicalDrive1");

    d.Number(kPropUsbIds, 0x0781, 0x5567);
    d.Text(kPropSerialText, "4C530001");
    d.Text(kPropLocation, "Port_#0002.Hub_#0004");
    EXPECT_EQ(DeviceRowInfo(d),
              "USB ID 0x0781/0x5567 4C530001 Location: Port_#0002.Hub_#0004 - \\\\.\\PhysicalDrive1");

    // Items the record itself does not answer come from its linked twin.
    C_AnsweringDevice f;
    f.strName = "\\\\.\\E:";
    f.Text(kPropLink1394VendorModel, "ACME", "FW-800");
    f.Text(kPropLink1394Id, "0030E0F4E0001234");
    f.Number(kPropLinkUsbIds, 0, 0); // answered but empty: nothing shown
    EXPECT_EQ(DeviceRowInfo(f), "1394: ACME FW-800 0030E0F4E0001234 - \\\\.\\E:");
    // The first identifier wins when both answer.
    f.Text(kProp1394VendorModel, "", "MODEL");
    EXPECT_EQ(DeviceRowInfo(f), "1394:  MODEL 0030E0F4E0001234 - \\\\.\\E:");
}
