// Units behind an ASPI layer ("wnaspi32.dll" of other software, loaded by name).
#include <windows.h>
#include <cstdio>
#include <cstring>
#include "devices/ScsiCommands.h"
#include "devices/ByteFields.h"
#include "devices/ScsiDecode.h"
#include "devices/win/AspiLayout.h"
#include "devices/win/LegacyEnumerators.h"

namespace {

struct AspiLayer {
    HMODULE module = nullptr;
    AspiSendCommand send = nullptr;
    AspiSupportInfo support = nullptr;
    AspiDllVersion version = nullptr;
};
AspiLayer g_aspi;

HMODULE LoadAspiModule()
{
    HMODULE m = LoadLibraryA("wnaspi32.dll");
    if (m)
        return m;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\nero.exe",
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    char path[MAX_PATH + 16] = "";
    DWORD size = MAX_PATH, type = 0;
    const LONG r = RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return nullptr;
    path[size < MAX_PATH ? size : MAX_PATH] = 0;
    strcat(path, "\\wnaspi32.dll");
    return LoadLibraryA(path);
}

int LoadAspi()
{
    if (g_aspi.send)
        return 1;
    HMODULE m = LoadAspiModule();
    if (!m)
        return 0;
    g_aspi.send = reinterpret_cast<AspiSendCommand>(GetProcAddress(m, "SendASPI32Command"));
    g_aspi.support = reinterpret_cast<AspiSupportInfo>(GetProcAddress(m, "GetASPI32SupportInfo"));
    g_aspi.version = reinterpret_cast<AspiDllVersion>(GetProcAddress(m, "GetASPI32DLLVersion"));
    if (!g_aspi.send || !g_aspi.support) {
        FreeLibrary(m);
        g_aspi = AspiLayer();
        return 0;
    }
    g_aspi.module = m;
    return 1;
}

// Waits for a request the layer may complete later; volatile because the layer writes
// the status from its own thread.
int WaitForRequest(volatile uint8_t* status, uint32_t timeoutMs)
{
    const DWORD start = GetTickCount();
    while (*status == kAspiPending) {
        if (GetTickCount() - start >= timeoutMs)
            return 0;
        Sleep(1);
    }
    return *status == kAspiComplete;
}

class C_AspiDevice : public C_Device {
public:
    uint32_t adapter = 0, target = 0, lun = 0;

    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t* sense) override
    {
        if (!g_aspi.send || cdbLength == 0 || cdbLength > 16) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        // On a timeout the layer may still write into the request later: it is then
        // aborted and deliberately not freed.
        C_AspiExecScsi* r = new C_AspiExecScsi();
        r->cmd = kAspiExecScsi;
        r->adapter = uint8_t(adapter);
        r->target = uint8_t(target);
        r->lun = uint8_t(lun);
        r->flags = byteCount ? (dataIn ? kAspiDirIn : kAspiDirOut) : 0;
        r->bufferLength = byteCount;
        r->buffer = static_cast<uint8_t*>(buffer);
        r->senseLength = 16;
        r->cdbLength = uint8_t(cdbLength);
        memcpy(r->cdb, cdb, cdbLength);
        g_aspi.send(r);
        const uint32_t wait = cdb[0] == kScsiInquiry ? 100 : 1000;
        if (!WaitForRequest(&r->status, wait)) {
            if (r->status == kAspiPending) {
                C_AspiAbort abort = {};
                abort.cmd = kAspiAbort;
                abort.adapter = uint8_t(adapter);
                abort.request = r;
                g_aspi.send(&abort);
                SetLastError(ERROR_SEM_TIMEOUT);
                return 0;
            }
            if (sense)
                memcpy(sense, r->sense, 16);
            SetLastError(ScsiSenseToError(r->sense, 16));
            delete r;
            return 0;
        }
        delete r;
        return 1;
    }
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override
    {
        if (count > 0xFFFF) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        return ScsiRead10(*this, block, count, buffer);
    }
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override
    {
        if (count > 0xFFFF) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        return ScsiWrite10(*this, block, count, buffer);
    }
    int QueryCapacity() override { return ScsiQueryCapacity(*this); }
    // The unit at the same address, asked as the enumeration asks it.
    int AskAgain(C_DeviceAnswers* now) override
    {
        C_AspiDevice probe;
        probe.adapter = adapter;
        probe.target = target;
        probe.lun = lun;
        uint8_t inquiry[36] = {};
        const C_Cdb c = MakeInquiry(36, 0, 0);
        C_DeviceTexts texts;
        if (!probe.ScsiCommand(c.length, c.bytes, 1, 36, inquiry, nullptr) ||
            !DecodeInquiry(inquiry, 36, &texts))
            return 0;
        probe.dwType = InquiryDeviceType(inquiry, 36) == 5 ? kTypeOptical : kTypeFixedPhysical;
        if (ullBlockCount)
            probe.QueryCapacity();
        if (probe.dwBlockSize == 0)
            probe.dwBlockSize = probe.dwType == kTypeOptical ? 2048 : 512;
        now->ullBlockCount = probe.ullBlockCount;
        now->dwBlockSize = probe.dwBlockSize;
        now->strVendor = texts.vendor;
        now->strProduct = texts.product;
        return 1;
    }
    int Open() override { return g_aspi.send != nullptr; }
    int Close() override { return g_aspi.send != nullptr; }
};

std::string IdText(const char* field)
{
    return TrimRight(FixedText(reinterpret_cast<const uint8_t*>(field), 16));
}

} // namespace

void EnumerateAspiDevices(C_DeviceList& list)
{
    list.BeginKind(kKindAspi);
    if (!LoadAspi())
        return;
    const uint32_t info = g_aspi.support();
    if (((info >> 8) & 0xFF) != kAspiComplete)
        return;
    const uint32_t adapters = info & 0xFF;
    for (uint32_t a = 0; a < adapters; ++a) {
        C_AspiHaInquiry ha = {};
        ha.cmd = kAspiHaInquiry;
        ha.adapter = uint8_t(a);
        g_aspi.send(&ha);
        if (ha.status != kAspiComplete)
            continue;
        std::string manager = IdText(ha.managerId), adapterId = IdText(ha.adapterId);
        uint32_t targets = ha.unique[3] ? ha.unique[3] : 8;
        uint32_t largest = uint32_t(ha.unique[4]) | (uint32_t(ha.unique[5]) << 8) |
                           (uint32_t(ha.unique[6]) << 16) | (uint32_t(ha.unique[7]) << 24);
        if (largest == 0)
            largest = 65536;
        const int usb = adapterId == "USBMPHLP" || adapterId == "CY_IOSTB";
        for (uint32_t t = 0; t < targets; ++t) {
            for (uint32_t l = 0; l < 8; ++l) {
                C_AspiDevice* d = new C_AspiDevice;
                d->adapter = a;
                d->target = t;
                d->lun = l;
                uint8_t inquiry[36] = {};
                const C_Cdb c = MakeInquiry(36, 0, 0);
                C_DeviceTexts texts;
                if (!d->ScsiCommand(c.length, c.bytes, 1, 36, inquiry, nullptr) ||
                    (inquiry[0] & 0xE0) == 0x60 || !DecodeInquiry(inquiry, 36, &texts)) {
                    delete d;
                    continue;
                }
                d->dwKind = kKindAspi;
                d->dwNumber = (a << 16) | (t << 8) | l;
                d->dwCaps = 0x7;
                d->strName = (manager.empty() ? std::string("aspi") : manager) + " - " + adapterId;
                d->strVendor = texts.vendor;
                d->strProduct = texts.product;
                d->strRevision = texts.revision;
                d->dwType = InquiryDeviceType(inquiry, 36) == 5 ? kTypeOptical : kTypeFixedPhysical;
                if (usb)
                    d->dwBus |= kBusUsb;
                C_AspiDiskInfo disk = {};
                disk.cmd = kAspiGetDiskInfo;
                disk.adapter = uint8_t(a);
                disk.target = uint8_t(t);
                disk.lun = uint8_t(l);
                g_aspi.send(&disk);
                if (disk.status == kAspiComplete && int8_t(disk.int13Drive) >= 0 && disk.int13Drive < 26)
                    d->AddLetter(char('A' + disk.int13Drive));
                if (!(list.GetOptions() & kOptNoCapacity))
                    d->QueryCapacity();
                if (d->dwBlockSize == 0)
                    d->dwBlockSize = d->dwType == kTypeOptical ? 2048 : 512;
                d->dwMaxBlocks = largest / d->dwBlockSize;
                if (!list.Add(d))
                    delete d;
            }
        }
    }
}

void ReleaseAspiLayer()
{
    if (g_aspi.module)
        FreeLibrary(g_aspi.module);
    g_aspi = AspiLayer();
}
