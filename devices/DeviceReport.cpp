#include "devices/DeviceReport.h"
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include "devices/BlockAddressing.h"

const char* KindName(uint32_t kind)
{
    switch (kind) {
    case kKindPhysical:
        return "physical";
    case kKindCdRom:
        return "cdrom";
    case kKindLogical:
        return "logical";
    case kKindDriveLetter:
        return "letter";
    case kKindDos:
        return "dos";
    case kKindAspi:
        return "aspi";
    case kKindIdentity:
        return "identity";
    case kKindTrack:
        return "track";
    default:
        return "?";
    }
}

const char* TypeName(uint32_t type)
{
    static const char* const names[] = {"undetermined", "fixed disk",     "fixed drive",
                                        "optical",      "removable disk", "removable drive",
                                        "RAM disk",     "network drive",  "tape"};
    return type < sizeof names / sizeof names[0] ? names[type] : "?";
}

std::string BusText(uint32_t bus)
{
    static const struct {
        uint32_t bit;
        const char* name;
    } bits[] = {{kBusUsb, "USB"},     {kBusScsi, "SCSI"},     {kBus1394, "1394"},
                {kBusIscsi, "iSCSI"}, {kBusIdentity1, "0x1"}, {kBusThunderbolt, "0x40"}};
    std::string text;
    for (const auto& b : bits)
        if (bus & b.bit)
            text += text.empty() ? b.name : std::string(" ") + b.name;
    return text.empty() ? "-" : text;
}

static void Line(std::string& out, const char* name, const std::string& value)
{
    out += "  ";
    out += name;
    out += ": ";
    out += value;
    out += "\n";
}

static std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
static std::string Printf(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string FormatDeviceReport(C_Device& d)
{
    std::string out = Printf("[%s %08" PRIX32 "] %s\n", KindName(d.dwKind), d.dwNumber, d.strName.c_str());
    Line(out, "type", Printf("%" PRIu32 " %s", d.dwType, TypeName(d.dwType)));
    Line(out, "bus", BusText(d.dwBus));
    Line(out, "letters", d.strLetters.empty() ? "-" : d.strLetters);
    Line(out, "path", d.strPath);
    Line(out, "vendor/product/revision/serial",
         d.strVendor + " / " + d.strProduct + " / " + d.strRevision + " / " + d.strSerial);
    Line(out, "label", d.strLabel);
    if (!d.strFileSystem.empty())
        Line(out, "file system", d.strFileSystem);
    const uint64_t bytes = d.ullBlockCount * d.dwBlockSize;
    Line(out, "size",
         Printf("%" PRIu64 " blocks of %" PRIu32 " bytes = %" PRIu64 " bytes (%" PRIu64 " MiB)",
                d.ullBlockCount, d.dwBlockSize, bytes, bytes >> 20));
    if (d.ullFreeBlocks)
        Line(out, "free", Printf("%" PRIu64 " blocks", d.ullFreeBlocks));
    Line(out, "first block/offset",
         VolumeOffsetUnknown(d) ? Printf("%" PRIu64 " / unknown", d.ullFirstBlock)
                                : Printf("%" PRIu64 " / %" PRIu64, d.ullFirstBlock, d.ullBlockOffset));
    Line(out, "transfer limit", Printf("%" PRIu32 " blocks", d.dwMaxBlocks));
    Line(out, "capabilities",
         Printf("0x%08" PRIX32 "%s%s%s", d.dwCaps, (d.dwCaps & kCapRead) ? " read" : "",
                (d.dwCaps & kCapWrite) ? " write" : "", (d.dwCaps & kCapScsi) ? " scsi" : ""));
    if (d.dwLocation != 0xFFFFFFFFu)
        Line(out, "location key", Printf("0x%08" PRIX32, d.dwLocation));
    C_PropertyValue a, b, c;
    if (d.QueryProperty(kPropUsbIds, &a, 0, &b, &c))
        Line(out, "USB ID", Printf("0x%04X/0x%04X", unsigned(a.number), unsigned(b.number)));
    a = b = c = C_PropertyValue();
    if (d.QueryProperty(kPropSerialText, &a, 0, &b, &c))
        Line(out, "serial text", a.text);
    a = b = c = C_PropertyValue();
    if (d.QueryProperty(kProp1394VendorModel, &a, 0, &b, &c))
        Line(out, "1394", a.text + " " + b.text);
    a = b = c = C_PropertyValue();
    if (d.QueryProperty(kProp1394Id, &a, 0, &b, &c))
        Line(out, "1394 id", a.text);
    a = b = c = C_PropertyValue();
    if (d.QueryProperty(kPropLocation, &a, 0, &b, &c))
        Line(out, "location", a.text);
    a = b = c = C_PropertyValue();
    if (d.QueryProperty(kPropHardwareIds, &a, 0, &b, &c))
        Line(out, "hardware ids", a.text);
    a = b = c = C_PropertyValue();
    if (d.dwKind == kKindIdentity && d.QueryProperty(kPropUsbPort, &a, 1, &b, &c))
        Line(out, "USB speed class",
             Printf("%" PRIu64 " (port %" PRIu64 ", controller %s)", c.number, a.number, b.text.c_str()));
    return out;
}
