#include <gtest/gtest.h>
#include "app/pages/common/model/DriveEntries.h"
#include "app/pages/quick/model/QuickRules.h"
#include "app/pages/quick/model/ResultLink.h"

namespace {
C_DriveRecordView Record(const char* letters, uint64_t blocks, uint32_t blockSize, const char* label = "")
{
    C_DriveRecordView r;
    r.letters = letters;
    r.blockCount = blocks;
    r.blockSize = blockSize;
    r.label = label;
    return r;
}
} // namespace

TEST(QuickModel, ClassBitsAndImages)
{
    EXPECT_EQ(DriveClassBits(0x2, 0), kClassUsb);
    EXPECT_EQ(DriveClassBits(0x2 | 0x8 | 0x40, 0), kClassUsb | kClass1394 | kClassThunderbolt);
    EXPECT_EQ(DriveClassBits(0, 6), kClassRamDrive);
    EXPECT_EQ(DriveClassBits(0, 7), kClassNetwork);
    EXPECT_EQ(DriveClassBits(0x1 | 0x4, 3), 0u);

    const uint32_t media[][2] = {{3, 1}, {4, 2}, {5, 2}, {6, 4}, {7, 3}, {8, 5}, {0, 0}, {2, 0}, {9, 0}};
    for (const auto& m : media)
        EXPECT_EQ(DriveImageIndex(0, m[0], 0, 0), m[1]) << m[0];
    EXPECT_EQ(DriveImageIndex(0x20, 3, 0, 0), 8u);
    EXPECT_EQ(DriveImageIndex(0x20, 3, 1, 1963), 6u);
    EXPECT_EQ(DriveImageIndex(0, 4, 1, 6309), 7u);
    EXPECT_EQ(DriveImageIndex(0, 4, 0, 6309), 2u); // without the property the number means nothing
}

TEST(QuickModel, DriveAndVendorTexts)
{
    EXPECT_EQ(DriveText(Record("E", 15633408, 512, "STICK")), "7.5 GB STICK");
    EXPECT_EQ(DriveText(Record("E", 0, 512, "")), "E:");
    EXPECT_EQ(DriveText(Record("C", 2048, 512, "")), "1024.0 kB C:");
    EXPECT_EQ(DriveText(Record("C", 3, 512, "")), "1536 Byte C:");
    EXPECT_EQ(JoinVendorText("Kingston", "DataTraveler", "1.00"), "Kingston - DataTraveler - 1.00");
    EXPECT_EQ(JoinVendorText("", "DataTraveler", ""), "DataTraveler");
    EXPECT_EQ(JoinVendorText("A", "", "3"), "A - 3");
    EXPECT_EQ(JoinVendorText("", "", ""), "");
}

TEST(QuickModel, LastRecordWinsFirstVendorStays)
{
    std::vector<C_DriveEntry> entries;
    C_DriveRecordView volume = Record("E", 1000, 512, "FIRST");
    volume.busBits = 0x2;
    volume.hasUsbVendor = 1;
    volume.usbVendor = 1963;
    ApplyDriveRecord(entries, volume);
    C_DriveRecordView disk = Record("EF", 2000, 512, "");
    disk.vendor = "Maker";
    disk.product = "Stick";
    disk.busBits = 0x8;
    ApplyDriveRecord(entries, disk);
    C_DriveRecordView later = Record("E", 0, 0, "LATE");
    later.vendor = "Other";
    ApplyDriveRecord(entries, later);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].letter, 'E');
    EXPECT_EQ(entries[0].driveText, "LATE");
    EXPECT_EQ(entries[0].vendorText, "Maker - Stick");
    // Class and image come from the record that created the entry.
    EXPECT_EQ(entries[0].classBits, kClassUsb);
    EXPECT_EQ(entries[0].imageIndex, 6u);
    EXPECT_EQ(entries[1].letter, 'F');
    EXPECT_EQ(entries[1].driveText, "1000.0 kB EF:");
    EXPECT_EQ(entries[1].classBits, kClass1394);
}

TEST(QuickModel, LogLineProgressAndLiveTexts)
{
    EXPECT_EQ(
        FormatDriveLogLine("7.5 GB STICK", "30.1 MByte/sec", "not tested", "12.0 MByte/sec", "not tested"),
        "7.5 GB STICK\tread:\t30.1 MByte/sec\tnot tested\twrite:\t12.0 MByte/sec\tnot tested\r\n");
    EXPECT_EQ(RandomProgress(0), 0u);
    EXPECT_EQ(RandomProgress(3), 50u);
    EXPECT_EQ(RandomProgress(6), 100u);
    EXPECT_EQ(LiveSequentialText(100, 10), "");
    EXPECT_EQ(LiveSequentialText(10ull << 20, 1000000), "10.0 MByte/sec");
    EXPECT_EQ(LiveRandomText(0, 5000), "...");
    EXPECT_EQ(LiveRandomText(10, 0), "...");
    EXPECT_EQ(LiveRandomText(2560, 1000000), "10.0 MByte/sec ");
}

TEST(ResultLink, ClassAndProcessorTexts)
{
    EXPECT_EQ(ClassText(0), "internal");
    EXPECT_EQ(ClassText(kClassUsb | kClass1394), "usb fw ");
    EXPECT_EQ(ClassText(0x1F), "usb fw thunderbolt ram_drive network_drive ");
    EXPECT_EQ(ClassText(kClassNetwork), "network_drive ");
    EXPECT_EQ(ProcessorText("Intel(R) Core(TM) i5-2400 CPU @ 3.10GHz", 3101),
              "Intel(R) Core(TM) i5-2400 CPU @ 3.10GHz");
    EXPECT_EQ(ProcessorText("AMD Athlon(tm) 64 Processor 3200+", 2000),
              "AMD Athlon(tm) 64 Processor 3200+ 2.00 GHz");
    EXPECT_EQ(ProcessorText("Mystery", 0), "Mystery");
    EXPECT_EQ(ProcessorText("", 2400), " 2.40 GHz");
}

TEST(ResultLink, AddressEncodesEveryValue)
{
    EXPECT_EQ(PercentEncode("Kingston & Co - DT 101 #2"), "Kingston%20%26%20Co%20-%20DT%20101%20%232");
    EXPECT_EQ(PercentEncode("a=b?c/d+e%"), "a%3Db%3Fc%2Fd%2Be%25");
    EXPECT_EQ(PercentEncode("\xE4\xF6"), "%E4%F6");
    EXPECT_EQ(PercentEncode("safe-_.~AZaz09"), "safe-_.~AZaz09");
    EXPECT_EQ(
        BuildResultAddress("http://host", 31, 12, "Kingston & Co - DT 101 #2", "usb fw ",
                           "AMD Athlon 2.00 GHz"),
        "http://host/content/quellmor/benchmark.php?r=31&w=12&d=Kingston%20%26%20Co%20-%20DT%20101%20%232"
        "&c=usb%20fw%20&o=AMD%20Athlon%202.00%20GHz");
    EXPECT_EQ(BuildResultAddress("http://host", 0, 0, "", "internal", ""),
              "http://host/content/quellmor/benchmark.php?r=0&w=0&d=&c=internal&o=");
    EXPECT_TRUE(IsResultLinkEnabled(false, 1, 1));
    EXPECT_FALSE(IsResultLinkEnabled(true, 1, 1));
    EXPECT_FALSE(IsResultLinkEnabled(false, 0, 1));
    EXPECT_FALSE(IsResultLinkEnabled(false, 1, 0));
}
