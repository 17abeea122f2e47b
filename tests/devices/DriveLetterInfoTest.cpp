// What QuickAccess learns about a letter from the drive-letter and identity records.
#include <gtest/gtest.h>
#include "devices/DriveLetterInfo.h"
#include "devices/IdentityDevice.h"

namespace {

C_Device* Letter(char letter, uint64_t blocks, uint64_t free)
{
    C_Device* d = new C_Device;
    d->dwKind = kKindDriveLetter;
    d->dwNumber = uint32_t(uint8_t(letter));
    d->strLetters = std::string(1, letter);
    d->strName = "DriveLetter";
    d->dwDriveType = 2;
    d->dwType = kTypeRemovableLogical;
    d->dwBlockSize = 512;
    d->ullBlockCount = blocks;
    d->ullFreeBlocks = free;
    d->strLabel = "STICK (E:)";
    d->strVolumeLabel = "STICK";
    d->strFileSystem = "FAT32";
    return d;
}

C_IdentityDevice* Identity(uint32_t number, const char* letters, const char* vendor)
{
    C_IdentityDevice* r = new C_IdentityDevice;
    r->dwNumber = number;
    r->strLetters = letters;
    r->strVendor = vendor;
    return r;
}

TEST(DriveLetterInfo, CombinesTheLetterWithItsIdentityRecords)
{
    C_DeviceList list;
    list.Register(nullptr, nullptr, 0, 0);
    list.Add(Letter('E', 2000, 500));
    list.Add(Letter('F', 100, 0));
    C_IdentityDevice* volume = Identity(0x10000001, "E", "");
    volume->dwBus = kBusUsb;
    list.Add(volume);
    C_IdentityDevice* disk = Identity(0x20000001, "EG", "SanDisk");
    disk->strProduct = "Cruzer";
    disk->dwVendorId = 0x0781;
    disk->dwProductId = 0x5567;
    disk->dwBus = kBusScsi;
    disk->bPortMatched = 1;
    disk->dwPortSpeedClass = 3;
    list.Add(disk);

    C_DriveLetterInfo e;
    ASSERT_EQ(DescribeDriveLetter(list, 'E', &e), 1);
    EXPECT_EQ(e.letter, 'E');
    EXPECT_EQ(e.totalBytes, 2000u * 512);
    EXPECT_EQ(e.freeBytes, 500u * 512);
    EXPECT_EQ(e.label, "STICK (E:)");
    EXPECT_EQ(e.volumeLabel, "STICK");
    EXPECT_EQ(e.fileSystem, "FAT32");
    EXPECT_EQ(e.hasIdentity, 1);
    EXPECT_EQ(e.bus, uint32_t(kBusUsb | kBusScsi));
    EXPECT_EQ(e.vendor, "SanDisk");
    EXPECT_EQ(e.product, "Cruzer");
    EXPECT_EQ(e.usbVendorId, 0x0781u);
    // The volume record comes first but sits on no known port: the disk behind it answers.
    EXPECT_EQ(e.usbSpeedClass, 3);

    C_DriveLetterInfo f;
    ASSERT_EQ(DescribeDriveLetter(list, 'F', &f), 1);
    EXPECT_EQ(f.hasIdentity, 0);
    EXPECT_EQ(f.usbSpeedClass, -1);
    EXPECT_EQ(GetUsbSpeedClassOfLetter(list, 'G'), 3);
    C_DriveLetterInfo g;
    EXPECT_EQ(DescribeDriveLetter(list, 'G', &g), 0); // no drive-letter record

    const std::vector<C_DriveLetterInfo> all = DescribeDriveLetters(list);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].letter, 'E');
    EXPECT_EQ(all[1].letter, 'F');
}

TEST(DriveLetterInfo, StaleRecordsDoNotCount)
{
    C_DeviceList list;
    list.Register(nullptr, nullptr, 0, 0);
    list.Add(Letter('E', 10, 1));
    C_IdentityDevice* disk = Identity(0x20000001, "E", "Old");
    disk->bPortMatched = 1;
    disk->dwPortSpeedClass = 5;
    list.Add(disk);
    disk->dwCaps |= kCapStale;
    C_DriveLetterInfo e;
    ASSERT_EQ(DescribeDriveLetter(list, 'E', &e), 1);
    EXPECT_EQ(e.hasIdentity, 0);
    EXPECT_EQ(e.usbSpeedClass, -1);
}

} // namespace
