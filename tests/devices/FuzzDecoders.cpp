// One libFuzzer entry per decoder of device data, chosen at build time, so that each
// decoder gets its own target and corpus.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "devices/IdentityParse.h"
#include "devices/AtaIdentify.h"
#include "devices/DosParams.h"
#include "devices/MountPoints.h"
#include "devices/ScsiDecode.h"
#include "devices/StorageDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
#if defined(QM_FUZZ_CAPACITY)
    C_CapacityAnswer a;
    DecodeReadCapacity10(data, size, &a);
    DecodeReadCapacity16(data, size, &a);
#elif defined(QM_FUZZ_TOC)
    std::vector<C_TocTrack> tracks;
    DecodeFullToc(data, size, &tracks);
    for (const C_TocTrack& t : tracks)
        if (t.number < 1 || t.number > 99)
            __builtin_trap();
#elif defined(QM_FUZZ_INQUIRY)
    C_DeviceTexts t;
    DecodeInquiry(data, size, &t);
    std::string serial;
    DecodeUnitSerialPage(data, size, &serial);
    InquiryDeviceType(data, size);
#elif defined(QM_FUZZ_IDENTIFY)
    C_DeviceTexts t;
    DecodeIdentify(data, size, &t);
    uint32_t bps = 0;
    uint64_t sectors = 0;
    DecodeDosDeviceParams(data, size, &bps, &sectors);
#elif defined(QM_FUZZ_DESCRIPTOR)
    C_StorageDescriptor d;
    if (DecodeStorageDescriptor(data, size, &d))
        ApplyRawInquiry(d.rawInquiry, d.busType, &d.texts);
    DecodeDescriptorSerial(std::string(reinterpret_cast<const char*>(data), size));
#elif defined(QM_FUZZ_MOUNTPOINTS)
    std::string letters;
    DecodeMountPointLetters(data, size, &letters);
    if (letters.size() > 26)
        __builtin_trap();
#elif defined(QM_FUZZ_IDENTIFIER)
    const std::string text(reinterpret_cast<const char*>(data), size);
    C_IdentityFields f;
    ParseDeviceIdentifier(text, size ? data[0] << 8 : 0, &f);
    HubSpeedClass(text);
    DevicePathHash(text);
#endif
    return 0;
}
