#include "app/pages/common/model/DriveEntries.h"
#include "core/Text.h"
#include "devices/Device.h"

namespace {
// USB vendor numbers whose drives have an icon of their own.
const uint32_t kUsbVendorFreecom = 0x07AB, kUsbVendorVerbatim = 0x18A5;
} // namespace

uint32_t DriveClassBits(uint32_t busBits, uint32_t mediumType)
{
    uint32_t bits = 0;
    if (busBits & kBusUsb)
        bits |= kClassUsb;
    if (busBits & kBus1394)
        bits |= kClass1394;
    if (busBits & kBusThunderbolt)
        bits |= kClassThunderbolt;
    if (mediumType == kTypeRamDisk)
        bits |= kClassRamDrive;
    if (mediumType == kTypeNetwork)
        bits |= kClassNetwork;
    return bits;
}

uint32_t DriveImageIndex(uint32_t busBits, uint32_t mediumType, int hasUsbVendor, uint32_t usbVendor)
{
    uint32_t image = 0;
    switch (mediumType) {
    case kTypeOptical:
        image = 1;
        break;
    case kTypeRemovablePhysical:
    case kTypeRemovableLogical:
        image = 2;
        break;
    case kTypeRamDisk:
        image = 4;
        break;
    case kTypeNetwork:
        image = 3;
        break;
    case kTypeTape:
        image = 5;
        break;
    default:
        image = 0;
        break;
    }
    if (busBits & kBusIscsi)
        image = 8;
    if (hasUsbVendor && usbVendor == kUsbVendorFreecom)
        image = 6;
    else if (hasUsbVendor && usbVendor == kUsbVendorVerbatim)
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
