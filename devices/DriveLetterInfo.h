// What the QuickAccess page shows about a drive letter, gathered from the drive-letter
// record and the identity records that hold the letter (after the identity refresh).
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "devices/DeviceList.h"

struct C_DriveLetterInfo {
    char letter = 0;
    uint32_t driveType = 0; // GetDriveTypeA value
    uint32_t type = 0;      // record type (kTypeXxx)
    uint32_t blockSize = 0;
    uint64_t totalBytes = 0, freeBytes = 0;
    std::string label, volumeLabel, fileSystem;
    int hasIdentity = 0; // an identity record holds the letter
    uint32_t bus = 0;    // bus bits of the identity records
    std::string vendor, product, revision;
    uint32_t usbVendorId = 0, usbProductId = 0;
    int usbSpeedClass = -1; // -1 when no identity record of the letter sits on a known USB port
};

// USB speed class of a letter: the first identity record holding it that answers the
// port question (only records matched to a USB port answer); -1 when none does.
int GetUsbSpeedClassOfLetter(C_DeviceList& list, char letter);
// 0 when the list has no drive-letter record for the letter.
int DescribeDriveLetter(C_DeviceList& list, char letter, C_DriveLetterInfo* info);
// Every drive letter of the list, in letter order.
std::vector<C_DriveLetterInfo> DescribeDriveLetters(C_DeviceList& list);
