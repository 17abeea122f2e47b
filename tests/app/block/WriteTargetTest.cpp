#include <gtest/gtest.h>
#include "app/pages/block/model/WriteTarget.h"

namespace {
void Stick(C_Device& d, const char* path, const char* serial)
{
    d.strPath = d.strName = path;
    d.dwKind = kKindPhysical;
    d.strVendor = "ACME";
    d.strProduct = "STICK";
    d.strRevision = "1.00";
    d.strSerial = serial;
    d.dwBlockSize = 512;
    d.ullBlockCount = 1 << 20;
}
} // namespace

TEST(BlockWriteTarget, ARefreshKeepsTheChosenDeviceAndOnlyIt)
{
    C_Device chosenStick, other, sameAgain, swapped, volume;
    Stick(chosenStick, "\\\\.\\PhysicalDrive2", "S1");
    Stick(other, "\\\\.\\PhysicalDrive1", "S0");
    const C_ChosenDevice chosen = ChosenDeviceOf(chosenStick);
    bool keep = true;

    // The record that stayed keeps its row and the user's fields.
    EXPECT_EQ(RowAfterRefresh({&other, &chosenStick}, &chosenStick, &chosen, &keep), 1);
    EXPECT_TRUE(keep);

    // Back as a new record (its free blocks or label changed): the same device still.
    Stick(sameAgain, "\\\\.\\PhysicalDrive2", "S1");
    sameAgain.ullFreeBlocks = 77;
    sameAgain.strLabel = "NEW";
    EXPECT_EQ(RowAfterRefresh({&other, &sameAgain}, nullptr, &chosen, &keep), 1);
    EXPECT_TRUE(keep);

    // Another disk that took the freed path, or the same path of another kind, is not it:
    // row 0, whose own range the fields then show.
    Stick(swapped, "\\\\.\\PhysicalDrive2", "BACKUP");
    EXPECT_EQ(RowAfterRefresh({&other, &swapped}, nullptr, &chosen, &keep), 0);
    EXPECT_FALSE(keep);
    Stick(volume, "\\\\.\\PhysicalDrive2", "S1");
    volume.dwKind = kKindLogical;
    EXPECT_EQ(RowAfterRefresh({&other, &volume}, nullptr, &chosen, &keep), 0);
    EXPECT_FALSE(keep);

    // Nothing chosen before: row 0 with its range; an empty list: no row.
    EXPECT_EQ(RowAfterRefresh({&other, &sameAgain}, nullptr, nullptr, &keep), 0);
    EXPECT_FALSE(keep);
    EXPECT_EQ(RowAfterRefresh({}, nullptr, &chosen, &keep), -1);
}

TEST(BlockWriteTarget, TheDiskAndVolumeOfWindowsAreNeverTargets)
{
    C_Device system, volume, twin, stick;
    Stick(system, "\\\\.\\PhysicalDrive0", "WD-123");
    system.strLetters = "CD";
    Stick(volume, "\\\\.\\C:", "WD-123");
    volume.dwKind = kKindLogical;
    volume.strLetters = "C";
    const std::string identity = DeviceIdentityText(volume);
    EXPECT_EQ(WindowsLetterOn(system, 'C', identity), 'C');
    EXPECT_EQ(WindowsLetterOn(volume, 'C', identity), 'C');

    // Its disk without letters (they were not found) is still known by its serial.
    system.strLetters.clear();
    EXPECT_EQ(WindowsLetterOn(system, 'C', identity), 'C');
    // A second disk of the same model without a serial is somebody else's device.
    Stick(twin, "\\\\.\\PhysicalDrive3", "");
    C_Device noSerial;
    Stick(noSerial, "\\\\.\\C:", "");
    EXPECT_EQ(WindowsLetterOn(twin, 'C', DeviceIdentityText(noSerial)), 0);

    Stick(stick, "\\\\.\\PhysicalDrive2", "S1");
    stick.strLetters = "E";
    EXPECT_EQ(WindowsLetterOn(stick, 'C', identity), 0);
    // Where the Windows folder is unknown nothing is refused by it.
    EXPECT_EQ(WindowsLetterOn(volume, 0, identity), 0);
}

TEST(BlockWriteTarget, TheQuestionNamesTheDeviceAsAPersonKnowsIt)
{
    C_Device d;
    Stick(d, "\\\\.\\PhysicalDrive2", "S1");
    d.ullBlockCount = 2048;
    EXPECT_EQ(DeviceDescription(d), "ACME STICK 1.00, 1024.0 kByte");
    d.strLetters = "E";
    EXPECT_EQ(DeviceDescription(d), "ACME STICK 1.00, 1024.0 kByte, drive letter E");
    d.strLetters = "EF";
    d.strVendor.clear();
    d.strRevision.clear();
    EXPECT_EQ(DeviceDescription(d), "STICK, 1024.0 kByte, drive letters EF");
    d.strProduct.clear();
    EXPECT_EQ(DeviceDescription(d), "1024.0 kByte, drive letters EF");
}

TEST(BlockWriteTarget, TheDeviceMustAnswerAsTheRecordSays)
{
    C_Device d;
    Stick(d, "\\\\.\\PhysicalDrive2", "S1");
    C_DeviceAnswers now;
    now.ullBlockCount = d.ullBlockCount;
    now.dwBlockSize = 512;
    now.strVendor = "ACME    "; // padded as some answers come
    now.strProduct = "STICK";
    now.strSerial = "S1";
    EXPECT_TRUE(SameDeviceAnswers(d, now));
    C_DeviceAnswers bigger = now;
    bigger.ullBlockCount += 1;
    EXPECT_FALSE(SameDeviceAnswers(d, bigger));
    C_DeviceAnswers coarser = now;
    coarser.dwBlockSize = 4096;
    EXPECT_FALSE(SameDeviceAnswers(d, coarser));
    C_DeviceAnswers otherSerial = now;
    otherSerial.strSerial = "S2";
    EXPECT_FALSE(SameDeviceAnswers(d, otherSerial));
    C_DeviceAnswers otherProduct = now;
    otherProduct.strProduct = "DISK";
    EXPECT_FALSE(SameDeviceAnswers(d, otherProduct));
    // What the record never knew is not compared.
    d.strSerial.clear();
    EXPECT_TRUE(SameDeviceAnswers(d, otherSerial));
}
