// A device whose every answer comes from the fuzz input: the queries and the track
// enumeration built on the command slot must stay within bounds whatever it says.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include "devices/DeviceList.h"
#include "devices/ScsiCommands.h"
#include "devices/TrackDevice.h"

namespace {

struct GarbageDevice : C_Device {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    int ScsiCommand(uint32_t, const uint8_t*, int dataIn, uint32_t byteCount, void* buffer, uint8_t*) override
    {
        if (at >= size)
            return 0;
        const int ok = data[at++] & 1;
        if (dataIn && byteCount) {
            const size_t n = size - at < byteCount ? size - at : byteCount;
            memset(buffer, 0, byteCount);
            memcpy(buffer, data + at, n);
            at += n;
        }
        return ok;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    C_DeviceList list;
    list.Register(nullptr, nullptr, 0, 0);
    GarbageDevice* d = new GarbageDevice;
    d->data = data;
    d->size = size;
    d->dwKind = kKindCdRom;
    d->dwCaps = kCapsHandle;
    d->dwBlockSize = 2048;
    d->dwMaxBlocks = size ? data[0] : 0;
    d->strName = "garbage";
    ScsiQueryCapacity(*d);
    ScsiQueryTexts(*d, 0);
    if (d->dwBlockSize == 512)
        d->dwBlockSize = 2048; // keep it a candidate for tracks
    list.Add(d);
    C_TrackEnumerator tracks;
    tracks.Enumerate(list);
    if (list.GetCount() > 100)
        __builtin_trap();
    list.ForEach(
        [](C_Device* r, void*) {
            if (r->dwKind == kKindTrack &&
                (r->pParent == nullptr || (r->dwBlockSize == 2352 && r->dwMaxBlocks == 0)))
                __builtin_trap();
            return 1;
        },
        nullptr, 1);
    return 0;
}
