#include "devices/DriveLetterInfo.h"

namespace {
struct Search {
    char letter;
    int speedClass;
    C_DriveLetterInfo* info;
};
} // namespace

int GetUsbSpeedClassOfLetter(C_DeviceList& list, char letter)
{
    Search s{letter, -1, nullptr};
    list.ForEach(
        [](C_Device* d, void* ctx) {
            Search* s = static_cast<Search*>(ctx);
            if (d->dwKind != kKindIdentity || !d->HasLetter(s->letter))
                return 1;
            C_PropertyValue port, controller, speed;
            if (!d->QueryProperty(kPropUsbPort, &port, 0, &controller, &speed))
                return 1;
            s->speedClass = int(speed.number);
            return 0;
        },
        &s, 0);
    return s.speedClass;
}

int DescribeDriveLetter(C_DeviceList& list, char letter, C_DriveLetterInfo* info)
{
    *info = C_DriveLetterInfo();
    C_Device* d = list.Find(uint32_t(uint8_t(letter)), kKindDriveLetter);
    if (!d)
        return 0;
    info->letter = letter;
    info->driveType = d->dwDriveType;
    info->type = d->dwType;
    info->blockSize = d->dwBlockSize;
    info->totalBytes = d->ullBlockCount * d->dwBlockSize;
    info->freeBytes = d->ullFreeBlocks * d->dwBlockSize;
    info->label = d->strLabel;
    info->volumeLabel = d->strVolumeLabel;
    info->fileSystem = d->strFileSystem;
    Search s{letter, -1, info};
    list.ForEach(
        [](C_Device* r, void* ctx) {
            Search* s = static_cast<Search*>(ctx);
            if (r->dwKind != kKindIdentity || !r->HasLetter(s->letter))
                return 1;
            C_DriveLetterInfo* i = s->info;
            i->hasIdentity = 1;
            i->bus |= r->dwBus;
            // Volumes seldom know their hardware: the first record with texts gives them.
            if (i->vendor.empty() && i->product.empty()) {
                i->vendor = r->strVendor;
                i->product = r->strProduct;
                i->revision = r->strRevision;
            }
            C_PropertyValue a, b, c;
            if (!i->usbVendorId && !i->usbProductId && r->QueryProperty(kPropUsbIds, &a, 0, &b, &c)) {
                i->usbVendorId = uint32_t(a.number);
                i->usbProductId = uint32_t(b.number);
            }
            return 1;
        },
        &s, 0);
    info->usbSpeedClass = GetUsbSpeedClassOfLetter(list, letter);
    return 1;
}

std::vector<C_DriveLetterInfo> DescribeDriveLetters(C_DeviceList& list)
{
    std::vector<C_DriveLetterInfo> all;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        C_DriveLetterInfo info;
        if (DescribeDriveLetter(list, letter, &info))
            all.push_back(info);
    }
    return all;
}
