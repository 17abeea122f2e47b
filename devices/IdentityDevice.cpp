#include "devices/IdentityDevice.h"
#include <cctype>
#include "devices/DeviceList.h"
#include "devices/IdentityParse.h"
#include "devices/StorageDescriptor.h"
#include "devices/UsbPorts.h"

C_IdentityDevice::C_IdentityDevice()
{
    dwKind = kKindIdentity;
    dwType = kTypeFixedPhysical;
    dwAccess = kAccessReadWrite;
}

int Split1394Id(const std::string& id, uint32_t* company, uint32_t* bits24)
{
    size_t i = 0;
    while (i < id.size() && id[i] == ' ')
        ++i;
    uint64_t v = 0;
    size_t digits = 0;
    for (; i < id.size() && isxdigit(static_cast<unsigned char>(id[i])) && digits < 16; ++i, ++digits) {
        const int c = toupper(static_cast<unsigned char>(id[i]));
        v = v * 16 + uint64_t(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    if (digits == 0)
        return 0;
    *company = uint32_t(v >> 40) & 0xFFFFFF;
    *bits24 = uint32_t(v >> 24) & 0xFF;
    return 1;
}

int C_IdentityDevice::QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument,
                                    C_PropertyValue* out2, C_PropertyValue* out3)
{
    C_PropertyValue scratch1, scratch2, scratch3;
    C_PropertyValue& o1 = out1 ? *out1 : scratch1;
    C_PropertyValue& o2 = out2 ? *out2 : scratch2;
    C_PropertyValue& o3 = out3 ? *out3 : scratch3;
    switch (id) {
    case kPropSerialText:
        if (strSerialText.empty())
            return 0;
        o1.text = strSerialText;
        return 1;
    case kPropUsbIds:
        if (!dwVendorId && !dwProductId)
            return 0;
        o1.number = dwVendorId;
        o2.number = dwProductId;
        return 1;
    case kPropHardwareIds:
        if (strHardwareIds.empty())
            return 0;
        o1.text = strHardwareIds;
        return 1;
    case kPropLocation:
        if (strLocation.empty())
            return 0;
        o1.text = strLocation;
        return 1;
    case kProp1394Id:
        if (str1394Id.empty())
            return 0;
        o1.text = str1394Id;
        return 1;
    case kProp1394Company: {
        uint32_t company = 0, bits = 0;
        if (!Split1394Id(str1394Id, &company, &bits))
            return 0;
        o1.number = company;
        o2.number = bits;
        return 1;
    }
    case kProp1394VendorModel:
        if (str1394Vendor.empty() && str1394Model.empty())
            return 0;
        o1.text = str1394Vendor;
        o2.text = str1394Model;
        return 1;
    case kPropInterfaceClass:
        if (strInterfaceClass.empty())
            return 0;
        o1.text = strInterfaceClass;
        return 1;
    case kPropInstanceIds:
        if (strInstanceId.empty())
            return 0;
        o1.text = strInstanceId;
        o2.text = strParentInstanceId;
        return 1;
    case kPropSerialSuffix:
        if (!bHasSerialSuffix)
            return 0;
        o1.number = dwSerialSuffix;
        return 1;
    case kPropUsbPort:
        // A record on no known port stays silent, so the letter's search goes on to the
        // record that sits on one (a volume never does; its disk may).
        if (!bPortMatched)
            return 0;
        o3.number = dwPortSpeedClass;
        o1.number = dwPortNumber + (argument == 1 ? dwPortsBeforeHub : 0);
        o2.text = strControllerName;
        return 1;
    default:
        return 0;
    }
}

void FillFromIdentifiers(C_IdentityDevice& r, const C_NodeIds& ids, uint32_t options)
{
    C_IdentityFields f;
    for (const std::string* id : {&ids.hardwareId, &ids.instanceId, &ids.parentId, &ids.grandparentId})
        if (!id->empty())
            ParseDeviceIdentifier(*id, options, &f);
    r.strInstanceId = ids.instanceId;
    r.strParentInstanceId = ids.parentId;
    r.strControllerName = ids.controllerName;
    if (StartsWithNoCase(ids.controllerId, "PCI\\VEN_8086&DEV_1549&")) {
        r.dwBus |= kBusThunderbolt;
        r.dwBus &= ~kBusIdentity1;
    }
    r.strVendor = f.vendor;
    r.strProduct = f.product;
    r.strRevision = f.revision;
    r.strSerialText = f.serialText;
    r.bHasSerialSuffix = f.hasSerialSuffix;
    r.dwSerialSuffix = f.serialSuffix;
    r.dwVendorId = f.vendorId;
    r.dwProductId = f.productId;
    r.strHardwareIds = f.hardwareIds;
    r.str1394Vendor = f.vendor1394;
    r.str1394Model = f.model1394;
    r.str1394Id = f.id1394;
}

void ApplyDescriptorType(C_IdentityDevice& r, uint32_t deviceType, uint32_t busType)
{
    switch (deviceType) {
    case 0:
    case 14:
        if (r.dwType != kTypeRemovablePhysical && r.dwType != kTypeRemovableLogical)
            r.dwType = r.bPhysical ? kTypeFixedPhysical : kTypeFixedLogical;
        break;
    case 1:
        r.dwType = kTypeTape;
        break;
    case 5:
    case 7:
        r.dwType = kTypeOptical;
        if (!r.dwBlockSize)
            r.dwBlockSize = 2048;
        break;
    default:
        r.dwType = kTypeUnknown;
        if (!r.dwBlockSize)
            r.dwBlockSize = 512;
        break;
    }
    r.dwBus |= BusBitsFromBusType(busType);
}

void LinkPortAndNumber(C_IdentityDevice& r, const std::vector<C_UsbPortRecord>& ports)
{
    uint32_t port = 0;
    const int match = MatchUsbPort(ports, r.dwVendorId, r.dwProductId, r.strSerialText);
    r.bPortMatched = match >= 0;
    if (match >= 0) {
        const C_UsbPortRecord& p = ports[size_t(match)];
        r.dwPortSpeedClass = p.speedClass;
        r.dwPortNumber = p.port;
        r.dwPortsBeforeHub = p.portsBeforeHub;
        port = p.port;
    }
    r.dwNumber = IdentityRecordNumber(r.dwInterfaceClass, r.strPath, port);
}

C_IdentityDevice* StartIdentityRecord(const C_IdentityNode& node, const std::vector<C_UsbPortRecord>& ports,
                                      uint32_t options)
{
    C_IdentityDevice* r = new C_IdentityDevice;
    r->strPath = node.path;
    r->dwInterfaceClass = node.classValue;
    r->bPhysical = node.physical;
    r->strInterfaceClass = node.interfaceClass;
    r->strName = node.description + " " + node.ids.hardwareId + " " + node.path;
    r->strLocation = node.location;
    FillFromIdentifiers(*r, node.ids, options);
    LinkPortAndNumber(*r, ports);
    return r;
}

C_IdentityDevice* CloneIdentity(const C_IdentityDevice& f)
{
    C_IdentityDevice* r = new C_IdentityDevice;
    r->dwNumber = f.dwNumber;
    r->dwType = f.dwType;
    r->dwBus = f.dwBus;
    r->dwLocation = f.dwLocation;
    r->strVendor = f.strVendor;
    r->strProduct = f.strProduct;
    r->strRevision = f.strRevision;
    r->strSerial = f.strSerial;
    r->strName = f.strName;
    r->strPath = f.strPath;
    r->strLetters = f.strLetters;
    r->dwVendorId = f.dwVendorId;
    r->dwProductId = f.dwProductId;
    r->strSerialText = f.strSerialText;
    r->bHasSerialSuffix = f.bHasSerialSuffix;
    r->dwSerialSuffix = f.dwSerialSuffix;
    r->str1394Vendor = f.str1394Vendor;
    r->str1394Model = f.str1394Model;
    r->str1394Id = f.str1394Id;
    r->strHardwareIds = f.strHardwareIds;
    r->strLocation = f.strLocation;
    r->strControllerName = f.strControllerName;
    r->strInterfaceClass = f.strInterfaceClass;
    r->strInstanceId = f.strInstanceId;
    r->strParentInstanceId = f.strParentInstanceId;
    r->dwInterfaceClass = f.dwInterfaceClass;
    r->bPhysical = f.bPhysical;
    r->bPortMatched = f.bPortMatched;
    r->dwPortSpeedClass = f.dwPortSpeedClass;
    r->dwPortNumber = f.dwPortNumber;
    r->dwPortsBeforeHub = f.dwPortsBeforeHub;
    return r;
}

static int SameIdNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && StartsWithNoCase(a, b.c_str());
}

int AddLettersOfVolumes(C_DeviceList& list, C_IdentityDevice& disk, const std::vector<std::string>& volumeIds)
{
    struct Search {
        C_IdentityDevice* disk;
        const std::vector<std::string>* ids;
        int added;
    } s{&disk, &volumeIds, 0};
    if (volumeIds.empty())
        return 0;
    list.ForEach(
        [](C_Device* d, void* context) {
            Search* s = static_cast<Search*>(context);
            if (d->dwKind != kKindIdentity || static_cast<C_IdentityDevice*>(d)->bPhysical)
                return 1;
            const std::string& id = static_cast<C_IdentityDevice*>(d)->strInstanceId;
            for (const std::string& wanted : *s->ids)
                if (!id.empty() && SameIdNoCase(id, wanted)) {
                    for (char letter : d->strLetters)
                        if (!s->disk->HasLetter(letter)) {
                            s->disk->AddLetter(letter);
                            ++s->added;
                        }
                    break;
                }
            return 1;
        },
        &s, 0);
    return s.added;
}
