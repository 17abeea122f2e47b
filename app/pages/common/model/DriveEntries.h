// The drive list's rules of the pages that test a drive letter: one entry per letter, built from
// device records.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Class bits of a drive entry (and of the comparison link).
enum : uint32_t {
    kClassUsb = 0x1,
    kClass1394 = 0x2,
    kClassThunderbolt = 0x4,
    kClassRamDrive = 0x8,
    kClassNetwork = 0x10
};

// What the list needs of one device record.
struct C_DriveRecordView {
    std::string letters;     // drive letters of the record, e.g. "E" or "EF"
    uint32_t busBits = 0;    // the record's dwBus bits (kBus...)
    uint32_t mediumType = 0; // the record's dwType (kType...)
    uint64_t blockCount = 0;
    uint32_t blockSize = 0;
    std::string label;
    std::string vendor, product, revision;
    int hasUsbVendor = 0;
    uint32_t usbVendor = 0;
};

struct C_DriveEntry {
    char letter = 0;
    uint32_t classBits = 0;
    std::string driveText;
    std::string vendorText;
    uint32_t imageIndex = 0;
};

uint32_t DriveClassBits(uint32_t busBits, uint32_t mediumType);
uint32_t DriveImageIndex(uint32_t busBits, uint32_t mediumType, int hasUsbVendor, uint32_t usbVendor);
std::string DriveText(const C_DriveRecordView& record);
// Vendor, product and revision joined by " - ", empty parts left out.
std::string JoinVendorText(const std::string& vendor, const std::string& product,
                           const std::string& revision);
// Applies one record to the entries: creates missing ones, the last record's drive text wins,
// the first non-empty vendor text stays.
void ApplyDriveRecord(std::vector<C_DriveEntry>& entries, const C_DriveRecordView& record);
