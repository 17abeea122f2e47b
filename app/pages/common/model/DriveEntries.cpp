#include "app/pages/common/model/DriveEntries.h"
#include "core/Text.h"

uint32_t DriveClassBits(uint32_t busBits, uint32_t mediumType)
{
    uint32_t bits = 0;
    if (busBits & 0x2)
        bits |= kClassUsb;
    if (busBits & 0x8)
        bits |= kClass1394;
    if (busBits & 0x40)
        bits |= kClassThunderbolt;
    if (mediumType == 6)
        bits |= kClassRamDrive;
    if (mediumType == 7)
        bits |= kClassNetwork;
    return bits;
}

uint32_t DriveImageIndex(uint32_t busBits, uint32_t mediumType, int hasUsbVendor, uint32_t usbVendor)
{
    uint32_t image = 0;
    switch (mediumType) {
    case 3:
        image = 1;
        break;
    case 4:
    case 5:
        image = 2;
        break;
    case 6:
        image = 4;
        break;
    case 7:
        image = 3;
        break;
    case 8:
        image = 5;
        break;
    default:
        image = 0;
        break;
    }
    if (busBits & 0x20)
        image = 8;
    if (hasUsbVendor && usbVendor == 1963)
        image = 6;
    else if (hasUsbVendor && usbVendor == 6309)
        image = 7;
    return image;
}

std::string DriveText(const C_DriveRecordView& r)
{
    std::string text;
    if (r.blockCount)
        text = FormatByteSize(r.blockCount * r.blockSize, 1) + " ";
    if (!r.label.empty())
        text += r.label;
    else
        text += r.letters + ":";
    return text;
}

std::string JoinVendorText(const std::string& vendor, const std::string& product, const std::string& revision)
{
    std::string text;
    for (const std::string* part : {&vendor, &product, &revision}) {
        if (part->empty())
            continue;
        if (!text.empty())
            text += " - ";
        text += *part;
    }
    return text;
}

void ApplyDriveRecord(std::vector<C_DriveEntry>& entries, const C_DriveRecordView& r)
{
    for (char letter : r.letters) {
        C_DriveEntry* entry = nullptr;
        for (C_DriveEntry& e : entries)
            if (e.letter == letter)
                entry = &e;
        if (!entry) {
            entries.push_back(C_DriveEntry());
            entry = &entries.back();
            entry->letter = letter;
            entry->classBits = DriveClassBits(r.busBits, r.mediumType);
            entry->imageIndex = DriveImageIndex(r.busBits, r.mediumType, r.hasUsbVendor, r.usbVendor);
        }
        entry->driveText = DriveText(r);
        if (entry->vendorText.empty())
            entry->vendorText = JoinVendorText(r.vendor, r.product, r.revision);
    }
}
