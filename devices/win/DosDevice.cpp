// Windows 9x DOS drives: device parameters and absolute reads through the VWIN32 device.
#include <windows.h>
#include <cstring>
#include "core/ErrorCodes.h"
#include "devices/DosParams.h"
#include "devices/win/LegacyEnumerators.h"
#include "devices/win/HandleDevice.h"

namespace {
#pragma pack(push, 1)
struct DosRegisters {
    DWORD ebx, edx, ecx, eax, edi, esi, flags;
};
struct DeviceParams {
    BYTE specialFunctions, deviceType;
    WORD attributes, cylinders;
    BYTE mediaType;
    WORD bytesPerSector;
    BYTE sectorsPerCluster;
    WORD reservedSectors;
    BYTE fats;
    WORD rootEntries, totalSectors;
    BYTE media;
    WORD sectorsPerFat, sectorsPerTrack, heads;
    DWORD hiddenSectors, bigTotalSectors;
    BYTE rest[64];
};
struct DiskIo {
    DWORD startSector;
    WORD count;
    DWORD buffer;
};
#pragma pack(pop)

enum { kDiocDosIoctl = 1, kDiocDosDriveInfo = 6, kCarry = 1 };

[[maybe_unused]] int CallVwin32(DWORD code, DosRegisters* regs)
{
    HANDLE h = CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    DWORD got = 0;
    const BOOL ok = DeviceIoControl(h, code, regs, sizeof *regs, regs, sizeof *regs, &got, nullptr);
    CloseHandle(h);
    if (!ok)
        return 0;
    if (regs->flags & kCarry) {
        SetLastError(regs->eax & 0xFFFF ? regs->eax & 0xFFFF : ERROR_IO_DEVICE);
        return 0;
    }
    return 1;
}

class C_DosDevice : public C_Device {
public:
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override
    {
#if defined(_WIN64)
        (void)block;
        (void)count;
        (void)buffer;
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
#else
        uint8_t* out = static_cast<uint8_t*>(buffer);
        while (count) {
            const uint32_t n = count > 0xFFFF ? 0xFFFF : count;
            if (block > 0xFFFFFFFFull) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            DiskIo io = {DWORD(block), WORD(n), DWORD(uintptr_t(out))};
            DosRegisters r = {};
            r.eax = 0x7305;
            r.ecx = 0xFFFFFFFFu;
            r.edx = dwNumber;
            r.ebx = DWORD(uintptr_t(&io));
            r.esi = 0;
            if (!CallVwin32(kDiocDosDriveInfo, &r))
                return 0;
            block += n;
            count -= n;
            out += uint64_t(n) * dwBlockSize;
        }
        return 1;
#endif
    }
};
} // namespace

void EnumerateDosDrives(C_DeviceList& list)
{
    if (!IsWindows9x())
        return;
    list.BeginKind(kKindDos);
#if !defined(_WIN64)
    for (uint32_t drive = 1; drive <= 26; ++drive) {
        DeviceParams p;
        memset(&p, 0, sizeof p);
        DosRegisters r = {};
        r.eax = 0x440D;
        r.ebx = drive;
        r.ecx = 0x0860;
        r.edx = DWORD(uintptr_t(&p));
        uint32_t bytesPerSector = 0;
        uint64_t sectors = 0;
        if (!CallVwin32(kDiocDosIoctl, &r) ||
            !DecodeDosDeviceParams(reinterpret_cast<const uint8_t*>(&p), sizeof p, &bytesPerSector, &sectors))
            continue;
        C_DosDevice* d = new C_DosDevice;
        d->dwKind = kKindDos;
        d->dwNumber = drive;
        d->strName = "IOCTL";
        d->strLetters = std::string(1, char('A' + drive - 1));
        d->dwBlockSize = bytesPerSector;
        d->ullBlockCount = sectors;
        d->dwMaxBlocks = 0xFFFF;
        d->dwCaps = kCapsDos;
        if (!list.Add(d))
            delete d;
    }
#endif
}
