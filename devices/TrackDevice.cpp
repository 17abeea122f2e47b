#include "devices/TrackDevice.h"
#include <cstdio>
#include <vector>
#include "core/ErrorCodes.h"
#include "devices/ScsiCommands.h"
#include "devices/ScsiDecode.h"

int C_TrackDevice::ReadBlocks(uint64_t block, uint32_t count, void* buffer)
{
    if (!pParent) {
        SetLastErrorCode(kErrorNotReady);
        return 0;
    }
    if (!IsAudio())
        return pParent->ReadBlocks(block, count, buffer);
    if (block > 0xFFFFFFFFull || count > 0xFFFFFF || uint64_t(count) * 2352 > 0xFFFFFFFFull) {
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    const C_Cdb c = MakeReadCd(uint32_t(block), count);
    return pParent->ScsiCommand(c.length, c.bytes, 1, count * 2352, buffer, nullptr);
}

int C_TrackDevice::WriteBlocks(uint64_t, uint32_t, const void*)
{
    SetLastErrorCode(kErrorWriteProtect);
    return 0;
}

int C_TrackDevice::ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount,
                               void* buffer, uint8_t* sense)
{
    if (!pParent) {
        SetLastErrorCode(kErrorNotReady);
        return 0;
    }
    return pParent->ScsiCommand(cdbLength, cdb, dataIn, byteCount, buffer, sense);
}

int C_TrackDevice::Open() { return pParent ? pParent->Open() : 0; }
int C_TrackDevice::Close() { return pParent ? pParent->Close() : 0; }

int C_TrackDevice::QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument,
                                 C_PropertyValue* out2, C_PropertyValue* out3)
{
    return pParent ? pParent->QueryProperty(id, out1, argument, out2, out3) : 0;
}

int MakeTrackRecords(C_Device& drive, C_Device** records, uint32_t maxRecords)
{
    std::vector<uint8_t> toc(2048, 0);
    const C_Cdb c = MakeReadToc(2, 2048);
    if (!drive.ScsiCommand(c.length, c.bytes, 1, 2048, toc.data(), nullptr))
        return 0;
    std::vector<C_TocTrack> tracks;
    DecodeFullToc(toc.data(), toc.size(), &tracks);
    uint32_t made = 0;
    for (const C_TocTrack& t : tracks) {
        if (made >= maxRecords)
            break;
        C_TrackDevice* r = new C_TrackDevice;
        r->pParent = &drive;
        r->dwKind = kKindTrack;
        // The drive number sits above the point (1..99) so tracks of two drives never
        // share a number.
        r->dwNumber = t.number | (drive.dwNumber << 8);
        r->dwCaps = (drive.dwCaps & ~7u & ~kCapStale) | 3u;
        r->dwType = drive.dwType;
        r->dwBus = drive.dwBus;
        r->strVendor = drive.strVendor;
        r->strProduct = drive.strProduct;
        r->strRevision = drive.strRevision;
        r->strSerial = drive.strSerial;
        r->strLabel = drive.strLabel;
        r->strLetters = drive.strLetters;
        r->strPath = drive.strPath;
        r->dwAccess = drive.dwAccess;
        r->ullFirstBlock = t.firstBlock;
        r->ullBlockCount = t.leadOut;
        char name[600];
        if (t.IsData()) {
            snprintf(name, sizeof name, "%s track %u [data]", drive.strName.c_str(), t.number);
            r->dwBlockSize = drive.dwBlockSize;
            r->dwMaxBlocks = drive.dwMaxBlocks;
        } else {
            snprintf(name, sizeof name, "%s track %u [audio]", drive.strName.c_str(), t.number);
            r->dwBlockSize = 2352;
            r->dwMaxBlocks = AudioTransferLimit(drive.dwMaxBlocks, drive.dwBlockSize);
        }
        r->strName = name;
        records[made++] = r;
    }
    return int(made);
}

void C_TrackEnumerator::Enumerate(C_DeviceList& list)
{
    list.BeginKind(kKindTrack);
    std::vector<C_Device*> drives;
    list.ForEach(
        [](C_Device* d, void* ctx) {
            if (d->dwKind != kKindTrack && (d->dwCaps & kCapScsi) && d->dwBlockSize != 512 &&
                d->dwBlockSize != 0)
                static_cast<std::vector<C_Device*>*>(ctx)->push_back(d);
            return 1;
        },
        &drives, 0);
    for (C_Device* drive : drives) {
        C_Device* records[99];
        const int n = MakeTrackRecords(*drive, records, 99);
        for (int i = 0; i < n; ++i)
            if (!list.Add(records[i]))
                delete records[i];
    }
}
