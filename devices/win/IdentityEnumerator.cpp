#include "devices/win/IdentityEnumerator.h"
#include <windows.h>
#include <cstdio>
#include <memory>
#include <vector>
#include "devices/IdentityDevice.h"
#include "devices/IdentityParse.h"
#include "devices/ScsiCommands.h"
#include "devices/win/DeviceProbe.h"
#include "devices/win/HandleDevice.h"
#include "devices/win/SetupApi.h"
#include "devices/win/UsbHubWalk.h"

namespace {

struct InterfaceClass {
    GUID guid;
    uint32_t value;
    int physical;
};

const GUID kVolumes = {0x53F5630D, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
const GUID kDisks = {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
const GUID kTapes = {0x53F5630B, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
const GUID kFloppies = {0x53F56311, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
const GUID kPortable = {0xD8D73DE4, 0xB1E1, 0x47E6, {0xB2, 0x22, 0x50, 0x53, 0x6A, 0x99, 0x40, 0x9D}};
const GUID k9xDisks = {0x4D36E967, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID k9xFloppies = {0x4D36E980, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID k9xCdRoms = {0x4D36E965, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::string GuidText(const GUID& g)
{
    char text[64];
    snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
             g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

std::string RegistryText(const C_SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property)
{
    char text[2048] = "";
    DWORD type = 0;
    if (!api.GetRegistryProperty(set, &info, property, &type, reinterpret_cast<BYTE*>(text), sizeof text - 2,
                                 nullptr))
        return std::string();
    text[sizeof text - 2] = 0;
    return text; // the first string of a multi-string value
}

struct Context {
    C_DeviceList* list;
    const C_SetupApi* api;
    const std::vector<C_UsbPortRecord>* ports;
    uint32_t options;
};

// full = 0 makes a companion for a handle-based record: identifiers, port and location
// key only, without the slower device queries.
C_IdentityDevice* MakeRecord(Context& c, const InterfaceClass& cls, HDEVINFO set, SP_DEVINFO_DATA& info,
                             const std::string& path, int full)
{
    const C_SetupApi& api = *c.api;
    C_IdentityNode node;
    node.classValue = cls.value;
    node.physical = cls.physical;
    node.interfaceClass = GuidText(cls.guid);
    node.path = path;
    node.description = RegistryText(api, set, info, SPDRP_DEVICEDESC);
    node.ids.hardwareId = RegistryText(api, set, info, SPDRP_HARDWAREID);
    node.location = RegistryText(api, set, info, SPDRP_LOCATION_INFORMATION);
    DEVINST at = info.DevInst;
    node.ids.instanceId = api.NodeId(at);
    for (int level = 1; level <= 3; ++level) {
        DEVINST parent = 0;
        if (api.GetParent(&parent, at, 0) != CR_SUCCESS)
            break;
        at = parent;
        std::string& id = level == 1   ? node.ids.parentId
                          : level == 2 ? node.ids.grandparentId
                                       : node.ids.controllerId;
        id = api.NodeId(at);
        if (level == 3)
            node.ids.controllerName = api.NodeDescription(at);
    }
    C_IdentityDevice* r = StartIdentityRecord(node, *c.ports, c.options);
    r->dwType = kTypeFixedPhysical;
    r->dwAccess = kAccessReadWrite;
    const UINT driveType = GetDriveTypeA((path + "\\").c_str());
    if (const uint32_t t = TypeFromDriveType(driveType, cls.physical))
        r->dwType = t;

    if (!full) {
        r->dwLocation = QueryLocationOfPath(path.c_str());
        return r;
    }

    // A disk's letters are those of its own volumes when the system names them.
    const int volumeLetters =
        cls.physical && AddLettersOfVolumes(*c.list, *r, api.RemovalRelations(node.ids.instanceId));

    // Queries on the interface itself, through a handle-based record of the same path.
    C_HandleDevice h;
    h.strPath = path;
    h.dwType = r->dwType;
    h.dwAccess = kAccessReadWrite;
    if (!h.Open()) {
        h.dwAccess = 0; // enough for the storage queries without administrator rights
        h.Open();
    }
    if (h.hDevice) {
        C_StorageDescriptor desc;
        if (QueryStorageDescriptor(h, &desc)) {
            ApplyDescriptorType(*r, desc.deviceType, desc.busType);
            if (r->strVendor.empty() && r->strProduct.empty()) {
                r->strVendor = desc.texts.vendor;
                r->strProduct = desc.texts.product;
                r->strRevision = desc.texts.revision;
            }
            if (r->strSerial.empty())
                r->strSerial = desc.texts.serial;
        }
        h.dwType = r->dwType;
        h.dwBus = r->dwBus;
        h.dwBlockSize = r->dwBlockSize ? r->dwBlockSize : 512;
        ProbeLocation(h);
        r->dwLocation = h.dwLocation;
        if (!(c.options & kOptNoIdentityQueries)) {
            if (ScsiQueryTexts(h, r->dwType == kTypeRemovableLogical) && !h.strVendor.empty()) {
                r->strVendor = h.strVendor;
                r->strProduct = h.strProduct;
                r->strRevision = h.strRevision;
                if (!h.strSerial.empty())
                    r->strSerial = h.strSerial;
            }
            ProbeTransferLimit(h);
            r->dwMaxBlocks = h.dwMaxBlocks;
            ProbeSmartIdentify(h);
            if (r->strSerial.empty())
                r->strSerial = h.strSerial;
        }
        if (!cls.physical && ProbeMountPointLetters(h))
            r->strLetters = h.strLetters;
        else if (!volumeLetters)
            FindLettersByLocation(*c.list, *r, cls.physical);
        if (!r->bPhysical) {
            h.strLetters = r->strLetters;
            ProbePartition(h);
            r->ullBlockOffset = h.ullBlockOffset;
            r->bOffsetKnown = h.bOffsetKnown;
        }
        h.Close();
    }
    ProbeLabels(*r, c.options);
    if (!r->bPhysical)
        ProbeFreeSpace(*r, c.options);
    return r;
}

void BuildRecord(Context& c, const InterfaceClass& cls, HDEVINFO set, SP_DEVINFO_DATA& info,
                 const std::string& path)
{
    C_IdentityDevice* r = MakeRecord(c, cls, set, info, path, 1);
    if (!c.list->Add(r))
        delete r;
}

const GUID kCdRoms = {0x53F56308, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

struct Unlinked {
    std::vector<C_HandleDevice*> records;
};

} // namespace

void EnumerateIdentityRecords(C_DeviceList& list)
{
    list.BeginKind(kKindIdentity);
    static C_SetupApi api;
    static const int loaded = api.Load();
    if (!loaded)
        return;
    std::vector<C_UsbPortRecord> ports;
    WalkUsbHubs(api, &ports);
    Context c{&list, &api, &ports, list.GetOptions()};
    std::vector<InterfaceClass> classes;
    if (IsWindows9x()) {
        classes = {{k9xDisks, 1, 1}, {k9xFloppies, 2, 0}, {k9xCdRoms, 3, 0}};
        // The 9x setup classes have no interfaces: each device node is one record.
        for (const InterfaceClass& cls : classes) {
            HDEVINFO set = api.GetClassDevs(&cls.guid, nullptr, nullptr, DIGCF_PRESENT);
            if (set == INVALID_HANDLE_VALUE)
                continue;
            for (DWORD i = 0; i < 256; ++i) {
                SP_DEVINFO_DATA info = {};
                info.cbSize = sizeof info;
                if (!api.EnumDeviceInfo(set, i, &info))
                    break;
                BuildRecord(c, cls, set, info, api.NodeId(info.DevInst));
            }
            api.DestroyList(set);
        }
        return;
    }
    if (!(c.options & kOptNoVolumeInterfaces))
        classes.push_back({kVolumes, 1, 0});
    if (!(c.options & kOptNoDiskInterfaces))
        classes.push_back({kDisks, 2, 1});
    if (c.options & kOptTapeInterfaces)
        classes.push_back({kTapes, 3, 1});
    if (c.options & kOptFloppy)
        classes.push_back({kFloppies, 4, 1});
    classes.push_back({kPortable, 5, 1});
    for (const InterfaceClass& cls : classes)
        api.ForEachInterface(cls.guid, [&](HDEVINFO set, SP_DEVINFO_DATA& info, const std::string& path) {
            BuildRecord(c, cls, set, info, path);
        });
}

void AttachIdentityLinks(C_DeviceList& list)
{
    Unlinked todo;
    list.ForEach(
        [](C_Device* d, void* ctx) {
            if ((d->dwKind == kKindPhysical || d->dwKind == kKindCdRom || d->dwKind == kKindLogical) &&
                !d->pIdentity && d->dwLocation != 0xFFFFFFFFu)
                static_cast<Unlinked*>(ctx)->records.push_back(static_cast<C_HandleDevice*>(d));
            return 1;
        },
        &todo, 0);
    if (todo.records.empty())
        return;
    static C_SetupApi api;
    static const int loaded = api.Load();
    if (!loaded)
        return;
    std::vector<C_UsbPortRecord> ports;
    WalkUsbHubs(api, &ports);
    Context c{&list, &api, &ports, list.GetOptions()};
    std::vector<std::unique_ptr<C_IdentityDevice>> found;
    for (const InterfaceClass& cls : {InterfaceClass{kDisks, 2, 1}, InterfaceClass{kCdRoms, 2, 1}})
        api.ForEachInterface(cls.guid, [&](HDEVINFO set, SP_DEVINFO_DATA& info, const std::string& path) {
            found.emplace_back(MakeRecord(c, cls, set, info, path, 0));
        });
    // The disk's key has no partition; a volume's does.
    for (C_HandleDevice* record : todo.records)
        for (const auto& identity : found)
            if (identity->dwLocation != 0xFFFFFFFFu &&
                (identity->dwLocation & 0xFFFFFF00u) == (record->dwLocation & 0xFFFFFF00u)) {
                record->AdoptIdentity(CloneIdentity(*identity));
                break;
            }
}
