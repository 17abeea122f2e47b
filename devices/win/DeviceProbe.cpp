#include "devices/win/DeviceProbe.h"
#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>
#include <ntddcdrm.h>
#include <shellapi.h>
#include <vector>
#include "devices/AtaIdentify.h"
#include "devices/BlockAddressing.h"
#include "devices/DeviceList.h"
#include "devices/MountPoints.h"
#include "devices/ScsiCommands.h"
#include "devices/win/HandleDevice.h"

namespace {
// Critical-error boxes ("insert a disk") must never stop an enumeration.
class QuietErrors {
public:
    QuietErrors() : m_old(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(m_old); }

private:
    UINT m_old;
};

int LetterAllowed(char letter, uint32_t options) { return letter != 'A' || (options & kOptFloppy); }

int Control(C_HandleDevice& d, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* got)
{
    if (!d.Open())
        return 0;
    DWORD n = 0;
    const int ok = DeviceIoControl(d.hDevice, code, in, inSize, out, outSize, &n, nullptr) ? 1 : 0;
    if (got)
        *got = n;
    d.Close();
    return ok;
}
} // namespace

uint32_t TypeFromDriveType(uint32_t driveType, int physical)
{
    switch (driveType) {
    case DRIVE_REMOVABLE:
        return physical ? kTypeRemovablePhysical : kTypeRemovableLogical;
    case DRIVE_FIXED:
        return physical ? kTypeFixedPhysical : kTypeFixedLogical;
    case DRIVE_REMOTE:
        return kTypeNetwork;
    case DRIVE_CDROM:
        return kTypeOptical;
    case DRIVE_RAMDISK:
        return kTypeRamDisk;
    default:
        return kTypeUnknown;
    }
}

void ApplyDriveType(C_Device& d, int physical)
{
    if (d.strLetters.empty())
        return;
    char root[4] = "X:\\";
    root[0] = d.strLetters[0];
    d.dwDriveType = GetDriveTypeA(root);
    const uint32_t type = TypeFromDriveType(d.dwDriveType, physical);
    if (type == kTypeUnknown)
        return;
    d.dwType = type;
    if (type == kTypeOptical) {
        d.dwBlockSize = 2048;
        d.ullFirstBlock = 16;
    }
}

int QueryStorageDescriptor(C_HandleDevice& d, C_StorageDescriptor* out)
{
    STORAGE_PROPERTY_QUERY q = {};
    q.PropertyId = StorageDeviceProperty;
    q.QueryType = PropertyStandardQuery;
    std::vector<uint8_t> answer(4096, 0);
    DWORD got = 0;
    if (!Control(d, IOCTL_STORAGE_QUERY_PROPERTY, &q, sizeof q, answer.data(), DWORD(answer.size()), &got))
        return 0;
    return DecodeStorageDescriptor(answer.data(), got, out);
}

void ProbeIdentity(C_HandleDevice& d)
{
    uint8_t identify[512] = {};
    const uint8_t command = d.dwType == kTypeOptical ? kAtaIdentifyPacket : kAtaIdentify;
    int got = d.AtaCommand(command, 0, identify, 512, nullptr);
    if (!got) {
        C_AtaTaskFile tf;
        tf.command = command;
        tf.device = 0xA0;
        got = d.AtaPassThrough(tf, 1, 512, identify);
    }
    // USB bridges that translate SCSI to ATA; not on optical drives, where the 12-byte
    // form of this command means BLANK and the 16-byte form is rarely understood.
    if (!got && d.dwType != kTypeOptical) {
        got = SatIdentify(d, command, identify);
        if (got)
            d.dwAtaMethod = 3;
    }
    C_DeviceTexts texts;
    if (got && DecodeIdentify(identify, sizeof identify, &texts) &&
        !(texts.vendor.find_first_not_of(' ') == std::string::npos && texts.product.empty())) {
        d.dwCaps |= kCapAtaIdentify;
        d.strVendor = texts.vendor;
        d.strProduct = texts.product;
        d.strRevision = texts.revision;
        d.strSerial = texts.serial;
    } else {
        d.dwAtaMethod = 0;
    }
    C_StorageDescriptor desc;
    if (QueryStorageDescriptor(d, &desc))
        d.dwBus |= BusBitsFromBusType(desc.busType);
}

void ProbeLocation(C_HandleDevice& d)
{
    STORAGE_DEVICE_NUMBER n = {};
    if (Control(d, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &n, sizeof n, nullptr)) {
        d.dwLocation = PackLocation(n.DeviceType, n.DeviceNumber, n.PartitionNumber);
        return;
    }
    SCSI_ADDRESS a = {};
    a.Length = sizeof a;
    if (Control(d, IOCTL_SCSI_GET_ADDRESS, nullptr, 0, &a, sizeof a, nullptr))
        d.dwLocation = PackLocation(a.PortNumber, a.TargetId, a.Lun);
}

uint32_t QueryLocationOfPath(const char* path)
{
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0xFFFFFFFFu;
    uint32_t key = 0xFFFFFFFFu;
    STORAGE_DEVICE_NUMBER n = {};
    DWORD got = 0;
    if (DeviceIoControl(h, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &n, sizeof n, &got, nullptr))
        key = PackLocation(n.DeviceType, n.DeviceNumber, n.PartitionNumber);
    CloseHandle(h);
    return key;
}

namespace {
struct LetterMatch {
    uint32_t key;
    uint32_t mask;
    C_Device* device;
};
} // namespace

void FindLettersByLocation(C_DeviceList& list, C_Device& d, int ignorePartition)
{
    if (d.dwLocation == 0xFFFFFFFFu)
        return;
    LetterMatch m{d.dwLocation, ignorePartition ? 0xFFFFFF00u : 0xFFFFFFFFu, &d};
    if (list.GetEnumeratedKinds() & kKindLogical) {
        list.ForEach(
            [](C_Device* r, void* ctx) {
                LetterMatch* m = static_cast<LetterMatch*>(ctx);
                if (r->dwKind == kKindLogical && r->dwLocation != 0xFFFFFFFFu &&
                    (r->dwLocation & m->mask) == (m->key & m->mask) && !r->strLetters.empty())
                    m->device->AddLetter(r->strLetters[0]);
                return 1;
            },
            &m, 0);
        return;
    }
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const char letter = char('A' + i);
        if (!(drives & (1u << i)) || !LetterAllowed(letter, list.GetOptions()))
            continue;
        char path[8] = "\\\\.\\X:";
        path[4] = letter;
        const uint32_t key = QueryLocationOfPath(path);
        if (key != 0xFFFFFFFFu && (key & m.mask) == (m.key & m.mask))
            d.AddLetter(letter);
    }
}

static void AppendJoined(std::string& to, const std::string& text)
{
    if (text.empty())
        return;
    if (!to.empty())
        to += " & ";
    to += text;
}

int ProbeLabels(C_Device& d, uint32_t options)
{
    QuietErrors quiet;
    int any = 0;
    for (char letter : d.strLetters) {
        if (!LetterAllowed(letter, options))
            continue;
        char root[4] = "X:\\";
        root[0] = letter;
        char label[MAX_PATH + 1] = "", fs[MAX_PATH + 1] = "";
        DWORD serial = 0, maxName = 0, flags = 0;
        if (GetVolumeInformationA(root, label, sizeof label, &serial, &maxName, &flags, fs, sizeof fs)) {
            any = 1;
            d.dwSerialNumber = serial;
            if (d.strLetters.size() == 1)
                d.strFileSystem = fs;
        } else {
            label[0] = 0;
        }
        SHFILEINFOA info = {};
        std::string display;
        if (SHGetFileInfoA(root, 0, &info, sizeof info, SHGFI_DISPLAYNAME))
            display = info.szDisplayName;
        if (display.empty())
            display = label;
        AppendJoined(d.strLabel, display);
        AppendJoined(d.strVolumeLabel, label);
    }
    return any;
}

int ProbeFreeSpace(C_Device& d, uint32_t options)
{
    QuietErrors quiet;
    int any = 0;
    for (char letter : d.strLetters) {
        if (!LetterAllowed(letter, options))
            continue;
        char root[4] = "X:\\";
        root[0] = letter;
        DWORD spc = 0, bps = 0, freeClusters = 0, clusters = 0;
        if (!GetDiskFreeSpaceA(root, &spc, &bps, &freeClusters, &clusters) || bps == 0)
            continue;
        any = 1;
        d.dwBlockSize = bps;
        d.ullBlockCount = uint64_t(clusters) * spc;
        d.ullFreeBlocks = uint64_t(freeClusters) * spc;
        ULARGE_INTEGER callerFree, total, totalFree;
        if (GetDiskFreeSpaceExA(root, &callerFree, &total, &totalFree)) {
            d.ullBlockCount = total.QuadPart / bps;
            d.ullFreeBlocks = callerFree.QuadPart / bps;
        }
        if (d.ullBlockCount == 0)
            d.ullFirstBlock = 0;
    }
    return any;
}

void ProbePartition(C_HandleDevice& d)
{
    if (d.dwBlockSize == 0)
        return;
    PARTITION_INFORMATION p = {};
    if (Control(d, IOCTL_DISK_GET_PARTITION_INFO, nullptr, 0, &p, sizeof p, nullptr)) {
        if (p.PartitionLength.QuadPart == 0x7FFFFFFF)
            return;
        d.ullBlockCount = uint64_t(p.PartitionLength.QuadPart) / d.dwBlockSize;
        d.ullBlockOffset = uint64_t(p.StartingOffset.QuadPart) / d.dwBlockSize;
        d.bOffsetKnown = 1;
        return;
    }
    // GPT partitions only answer the extended form.
    PARTITION_INFORMATION_EX x = {};
    if (Control(d, IOCTL_DISK_GET_PARTITION_INFO_EX, nullptr, 0, &x, sizeof x, nullptr) &&
        x.PartitionLength.QuadPart > 0) {
        d.ullBlockCount = uint64_t(x.PartitionLength.QuadPart) / d.dwBlockSize;
        d.ullBlockOffset = uint64_t(x.StartingOffset.QuadPart) / d.dwBlockSize;
        d.bOffsetKnown = 1;
    }
}

void ProbeTransferLimit(C_HandleDevice& d)
{
    if (d.dwBlockSize == 0)
        return;
    STORAGE_PROPERTY_QUERY q = {};
    q.PropertyId = StorageAdapterProperty;
    q.QueryType = PropertyStandardQuery;
    STORAGE_ADAPTER_DESCRIPTOR a = {};
    DWORD got = 0;
    if (!Control(d, IOCTL_STORAGE_QUERY_PROPERTY, &q, sizeof q, &a, sizeof a, &got) ||
        got < offsetof(STORAGE_ADAPTER_DESCRIPTOR, MaximumPhysicalPages))
        return;
    uint32_t blocks = a.MaximumTransferLength / d.dwBlockSize;
    if ((d.dwBus & kBus1394) && blocks > 1024)
        blocks = 1024;
    if (blocks)
        d.dwMaxBlocks = blocks;
}

void ProbeTexts(C_HandleDevice& d)
{
    if (d.dwCaps & kCapAtaIdentify)
        return;
    if (ScsiQueryTexts(d, d.dwType == kTypeRemovableLogical))
        return;
    C_StorageDescriptor desc;
    if (!QueryStorageDescriptor(d, &desc))
        return;
    d.strVendor = desc.texts.vendor;
    d.strProduct = desc.texts.product;
    d.strRevision = desc.texts.revision;
    if (!desc.texts.serial.empty())
        d.strSerial = desc.texts.serial;
    C_DeviceTexts raw;
    raw.revision = d.strRevision;
    if (desc.rawInquiry.size() == 36) {
        ApplyRawInquiry(desc.rawInquiry, d.dwBus, &raw);
        d.strVendor = raw.vendor;
        d.strProduct = raw.product;
        d.strRevision = raw.revision;
    }
}

void ProbeSmartIdentify(C_HandleDevice& d)
{
    if (!d.strSerial.empty() || (d.dwCaps & kCapAtaIdentify))
        return;
    uint8_t identify[512] = {};
    C_DeviceTexts texts;
    if (d.AtaCommand(kAtaIdentify, 0, identify, sizeof identify, nullptr) &&
        DecodeIdentify(identify, sizeof identify, &texts))
        d.strSerial = texts.serial;
}

int ProbeGeometry(C_HandleDevice& d)
{
    DISK_GEOMETRY g = {};
    if (!Control(d, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &g, sizeof g, nullptr) &&
        !Control(d, IOCTL_CDROM_GET_DRIVE_GEOMETRY, nullptr, 0, &g, sizeof g, nullptr))
        return 0;
    const uint64_t blocks = uint64_t(g.Cylinders.QuadPart) * g.TracksPerCylinder * g.SectorsPerTrack;
    if (blocks == 0 || g.BytesPerSector == 0 || !CapacityAddressable(blocks, g.BytesPerSector))
        return 0;
    d.ullBlockCount = blocks;
    d.dwBlockSize = g.BytesPerSector;
    return 1;
}

int ProbeHandleSize(C_HandleDevice& d)
{
    LARGE_INTEGER size = {};
    if (!d.hDevice || !GetFileSizeEx(d.hDevice, &size) || size.QuadPart < 512)
        return 0;
    d.dwBlockSize = 512;
    d.ullBlockCount = uint64_t(size.QuadPart) / 512;
    d.ullFirstBlock = 0;
    return 1;
}

int ProbeMountPointLetters(C_HandleDevice& d)
{
    // Device-name query of a volume, and the mount manager's query of its mount points.
    const DWORD kQueryDeviceName = 0x004D0008;
    BYTE name[1024] = {};
    DWORD got = 0;
    if (!Control(d, kQueryDeviceName, nullptr, 0, name, sizeof name - 2, &got) || got < 2)
        return 0;
    const USHORT nameBytes = *reinterpret_cast<const USHORT*>(name);
    if (nameBytes == 0 || nameBytes > got - 2)
        return 0;
    std::u16string deviceName;
    for (USHORT i = 0; i + 1 < nameBytes; i += 2)
        deviceName += char16_t(name[2 + i] | (name[3 + i] << 8));
    std::string letters;
    if (!QueryMountPointLetters(deviceName, &letters))
        return 0;
    for (char letter : letters)
        d.AddLetter(letter);
    return 1;
}

int QueryMountPointLetters(const std::u16string& deviceName, std::string* letters)
{
    const DWORD kQueryPoints = 0x006D0008;
    std::vector<uint8_t> query = EncodeMountPointQuery(deviceName);
    HANDLE manager = CreateFileA("\\\\.\\MountPointManager", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<uint8_t> answer(4096);
    DWORD got = 0;
    BOOL ok = DeviceIoControl(manager, kQueryPoints, query.data(), DWORD(query.size()), answer.data(),
                              DWORD(answer.size()), &got, nullptr);
    if (!ok && GetLastError() == ERROR_MORE_DATA) {
        const uint32_t need = *reinterpret_cast<const uint32_t*>(answer.data());
        if (need > answer.size() && need < (1u << 20)) {
            answer.resize(need);
            ok = DeviceIoControl(manager, kQueryPoints, query.data(), DWORD(query.size()), answer.data(),
                                 DWORD(answer.size()), &got, nullptr);
        }
    }
    CloseHandle(manager);
    if (!ok)
        return 0;
    letters->clear();
    DecodeMountPointLetters(answer.data(), got, letters);
    return letters->empty() ? 0 : 1;
}
