#include "devices/win/Enumerators.h"
#include <windows.h>
#include <cctype>
#include <cstdio>
#include "devices/TrackDevice.h"
#include "devices/win/DeviceProbe.h"
#include "devices/win/HandleDevice.h"
#include "devices/win/IdentityEnumerator.h"
#include "devices/win/LegacyEnumerators.h"

namespace {
void AddOrDrop(C_DeviceList& list, C_Device* d)
{
    if (!list.Add(d))
        delete d;
}

HANDLE OpenProbe(const char* path, DWORD access)
{
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Opens read-write, else read-only; the chosen access in *access. 0 when neither works.
int ProbeAccess(const char* path, uint32_t* access)
{
    HANDLE h = OpenProbe(path, GENERIC_READ | GENERIC_WRITE);
    *access = kAccessReadWrite;
    if (h == INVALID_HANDLE_VALUE) {
        h = OpenProbe(path, GENERIC_READ);
        *access = kAccessRead;
    }
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(h);
    return 1;
}

int LetterAllowed(char letter, uint32_t options) { return letter != 'A' || (options & kOptFloppy); }

class C_FunctionStep : public C_DeviceEnumerator {
public:
    explicit C_FunctionStep(void (*f)(C_DeviceList&)) : m_f(f) {}
    void Enumerate(C_DeviceList& list) override { m_f(list); }

private:
    void (*m_f)(C_DeviceList&);
};
} // namespace

C_HandleDevice* ProbeLogicalDrive(char letter, uint32_t options)
{
    char path[8] = "\\\\.\\X:";
    path[4] = letter;
    uint32_t access = 0;
    if (!ProbeAccess(path, &access))
        return nullptr;
    C_HandleDevice* d = new C_HandleDevice;
    d->dwOptions = options;
    d->dwKind = kKindLogical;
    d->dwNumber = uint32_t(uint8_t(letter));
    d->strPath = d->strName = path;
    d->strLetters = std::string(1, letter);
    d->dwAccess = access;
    d->dwBlockSize = 512;
    d->dwType = kTypeFixedLogical;
    if (!(access & GENERIC_WRITE))
        d->dwCaps &= ~kCapWrite;
    // One handle for all queries; each query's own open only counts up.
    if (d->Open()) {
        ApplyDriveType(*d, 0);
        if (!(options & kOptNoIdentity))
            ProbeIdentity(*d);
        ProbeLocation(*d);
        ProbeLabels(*d, options);
        if (!(options & kOptNoCapacity))
            ProbeFreeSpace(*d, options);
        ProbePartition(*d);
        if (d->ullBlockCount == 0 && !(options & kOptNoCapacity))
            ProbeHandleSize(*d);
        ProbeTransferLimit(*d);
        ProbeTexts(*d);
        ProbeSmartIdentify(*d);
        d->Close();
    }
    return d;
}

void EnumerateLogicalDrives(C_DeviceList& list)
{
    list.BeginKind(kKindLogical);
    const uint32_t options = list.GetOptions();
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const char letter = char('A' + i);
        if (!(drives & (1u << i)) || !LetterAllowed(letter, options))
            continue;
        if (C_HandleDevice* d = ProbeLogicalDrive(letter, options))
            AddOrDrop(list, d);
    }
}

// What a disk or a CD-ROM device says of itself: identity, location, capacity, transfer
// limit and vendor texts.
static void ProbeDiskAnswers(C_HandleDevice& d, uint32_t options)
{
    if (!(options & kOptNoIdentity))
        ProbeIdentity(d);
    ProbeLocation(d);
    d.QueryCapacity();
    ProbeTransferLimit(d);
    ProbeTexts(d);
}

C_HandleDevice* ProbePhysicalDrive(uint32_t n, uint32_t options, C_DeviceList* list)
{
    char path[32];
    snprintf(path, sizeof path, "\\\\.\\PhysicalDrive%u", n);
    HANDLE h = OpenProbe(path, GENERIC_READ | GENERIC_WRITE);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    CloseHandle(h);
    C_HandleDevice* d = new C_HandleDevice;
    d->dwOptions = options;
    d->dwKind = kKindPhysical;
    d->dwNumber = n;
    d->strPath = d->strName = path;
    d->ullBlockCount = 2048;
    d->dwBlockSize = 512;
    d->dwType = kTypeFixedPhysical;
    if (d->Open()) {
        ProbeDiskAnswers(*d, options);
        ProbeSmartIdentify(*d);
        if (list)
            FindLettersByLocation(*list, *d, 1);
        ProbeLabels(*d, options);
        ApplyDriveType(*d, 1);
        // Drive letters of optical media say nothing about a disk's block size.
        if (d->dwType == kTypeOptical)
            d->dwType = kTypeRemovablePhysical;
        d->Close();
    }
    return d;
}

void EnumeratePhysicalDrives(C_DeviceList& list)
{
    list.BeginKind(kKindPhysical);
    const uint32_t options = list.GetOptions();
    for (uint32_t n = 0; n <= 9; ++n) {
        if (C_HandleDevice* d = ProbePhysicalDrive(n, options, &list))
            AddOrDrop(list, d);
    }
}

C_HandleDevice* ProbeCdRomDevice(uint32_t n, uint32_t options, C_DeviceList* list)
{
    char path[32];
    snprintf(path, sizeof path, "\\\\.\\CdRom%u", n);
    uint32_t access = 0;
    if (!ProbeAccess(path, &access))
        return nullptr;
    C_HandleDevice* d = new C_HandleDevice;
    d->dwOptions = options;
    d->dwKind = kKindCdRom;
    d->dwNumber = n;
    d->strPath = d->strName = path;
    d->dwAccess = access;
    d->dwType = kTypeOptical;
    d->ullBlockCount = 332800;
    d->dwBlockSize = 2048;
    d->ullFirstBlock = 16;
    if (d->Open()) {
        ProbeDiskAnswers(*d, options);
        if (list)
            FindLettersByLocation(*list, *d, 0);
        ProbeLabels(*d, options);
        d->Close();
    }
    return d;
}

void EnumerateCdRomDevices(C_DeviceList& list)
{
    list.BeginKind(kKindCdRom);
    const uint32_t options = list.GetOptions();
    for (uint32_t n = 0; n <= 42; ++n) {
        if (C_HandleDevice* d = ProbeCdRomDevice(n, options, &list))
            AddOrDrop(list, d);
    }
}

void EnumerateDriveLetters(C_DeviceList& list)
{
    list.BeginKind(kKindDriveLetter);
    const uint32_t options = list.GetOptions();
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const char letter = char('A' + i);
        if (!(drives & (1u << i)) || !LetterAllowed(letter, options))
            continue;
        char root[4] = "X:\\";
        root[0] = letter;
        const UINT driveType = GetDriveTypeA(root);
        if (driveType == DRIVE_UNKNOWN || driveType == DRIVE_NO_ROOT_DIR)
            continue;
        C_Device* d = new C_Device;
        d->dwKind = kKindDriveLetter;
        d->dwNumber = uint32_t(uint8_t(letter));
        d->strName = "DriveLetter";
        d->strPath = root;
        d->strLetters = std::string(1, letter);
        d->dwCaps = kCapRead | kCapWrite;
        d->dwDriveType = driveType;
        d->dwType = TypeFromDriveType(driveType, 0);
        ProbeFreeSpace(*d, options);
        ProbeLabels(*d, options);
        AddOrDrop(list, d);
    }
}

void EnumerateCdTracks(C_DeviceList& list)
{
    C_TrackEnumerator tracks;
    tracks.Enumerate(list);
}

void RegisterDevices(C_DeviceList& list, DeviceCallback callback, void* owner, uint32_t options)
{
    char folder[MAX_PATH] = "";
    const UINT n = GetWindowsDirectoryA(folder, sizeof folder);
    const char letter = n >= 2 && folder[1] == ':' ? char(toupper(uint8_t(folder[0]))) : 0;
    list.Register(callback, owner, options, letter);
}

void RefreshForBlockAccess(C_DeviceList& list)
{
    C_FunctionStep logical(EnumerateLogicalDrives), physical(EnumeratePhysicalDrives),
        cdroms(EnumerateCdRomDevices), dos(EnumerateDosDrives), aspi(EnumerateAspiDevices),
        tracks(EnumerateCdTracks);
    C_FunctionStep links([](C_DeviceList& l) {
        if (!(l.GetOptions() & kOptNoIdentity))
            AttachIdentityLinks(l);
    });
    C_DeviceEnumerator* steps[] = {&logical, &physical, &cdroms, &dos, &aspi, &tracks, &links};
    list.Refresh(steps, sizeof steps / sizeof steps[0]);
}

void RefreshForQuickAccess(C_DeviceList& list)
{
    C_FunctionStep identity(EnumerateIdentityRecords), letters(EnumerateDriveLetters);
    C_DeviceEnumerator* steps[] = {&identity, &letters};
    list.Refresh(steps, 2);
}

void RefreshDriveLetters(C_DeviceList& list)
{
    C_FunctionStep letters(EnumerateDriveLetters);
    C_DeviceEnumerator* steps[] = {&letters};
    list.Refresh(steps, 1);
}

C_Device* FindDriveLetter(C_DeviceList& list, char letter)
{
    return list.Find(uint32_t(uint8_t(letter)), kKindDriveLetter);
}
