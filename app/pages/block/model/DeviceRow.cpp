#include "app/pages/block/model/DeviceRow.h"
#include "core/Text.h"

int DeviceImageIndex(uint32_t type, uint32_t bus)
{
    if (bus & kBusIscsi)
        return 6;
    switch (type) {
    case kTypeOptical:
        return 0;
    case kTypeRemovablePhysical:
    case kTypeRemovableLogical:
        return 1;
    case kTypeRamDisk:
        return 4;
    case kTypeNetwork:
        return 3;
    case kTypeTape:
        return 5;
    default:
        return 2;
    }
}

std::string DeviceRowName(const C_Device& d)
{
    return d.strVendor + " " + d.strProduct + " " + d.strRevision;
}

std::string DeviceRowSize(const C_Device& d)
{
    const uint64_t blocks =
        d.ullBlockCount >= d.ullFirstBlock ? d.ullBlockCount - d.ullFirstBlock : d.ullBlockCount;
    return FormatByteSize(blocks * d.dwBlockSize);
}

namespace {
// Asks the record property and, when that is not answered, its linked-record twin.
int Ask(C_Device& d, uint32_t id, uint32_t twin, C_PropertyValue* a, C_PropertyValue* b)
{
    C_PropertyValue unused;
    if (d.QueryProperty(id, a, 0, b, &unused))
        return 1;
    *a = C_PropertyValue();
    *b = C_PropertyValue();
    return d.QueryProperty(twin, a, 0, b, &unused);
}
} // namespace

std::string DeviceRowInfo(C_Device& d)
{
    std::string info;
    C_PropertyValue a, b;
    if (Ask(d, kPropUsbIds, kPropLinkUsbIds, &a, &b) && (a.number || b.number))
        info += StringPrintf("USB ID 0x%04X/0x%04X ", unsigned(a.number), unsigned(b.number));
    a = b = C_PropertyValue();
    if (Ask(d, kPropSerialText, kPropLinkSerialText, &a, &b))
        info += a.text;
    a = b = C_PropertyValue();
    if (Ask(d, kProp1394VendorModel, kPropLink1394VendorModel, &a, &b) &&
        (!a.text.empty() || !b.text.empty()))
        info += "1394: " + a.text + " " + b.text + " ";
    a = b = C_PropertyValue();
    if (Ask(d, kProp1394Id, kPropLink1394Id, &a, &b))
        info += a.text;
    a = b = C_PropertyValue();
    if (Ask(d, kPropLocation, kPropLinkLocation, &a, &b) && !a.text.empty())
        info += " Location: " + a.text;
    if (!info.empty())
        info += " - ";
    return info + d.strName;
}
