#include "app/pages/file/cdfs/ScsiPassThrough.h"
#include <windows.h>
#include <ntddscsi.h>
#include <cstddef>
#include <cstring>

namespace {
// The pass-through block followed by room for the sense data: 80 bytes on 32-bit Windows,
// with the sense data at offset 48.
struct C_PassThroughRequest {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG filler;
    UCHAR sense[32];
};
static_assert(sizeof(void*) != 4 ||
                  (sizeof(C_PassThroughRequest) == 80 && sizeof(SCSI_PASS_THROUGH_DIRECT) == 44 &&
                   offsetof(C_PassThroughRequest, sense) == 48),
              "the 32-bit request block is 80 bytes with the sense data at 48");
} // namespace

int ScsiPassThrough(void* device, uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t transferLength,
                    void* buffer)
{
    C_PassThroughRequest request = {};
    SCSI_PASS_THROUGH_DIRECT& s = request.sptd;
    s.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
    s.PathId = 0;
    s.TargetId = 1;
    s.Lun = 0;
    s.CdbLength = UCHAR(cdbLength < sizeof(s.Cdb) ? cdbLength : sizeof(s.Cdb));
    s.SenseInfoLength = 24;
    s.DataIn = dataIn ? SCSI_IOCTL_DATA_IN : SCSI_IOCTL_DATA_OUT;
    s.DataTransferLength = transferLength;
    s.TimeOutValue = 5;
    s.DataBuffer = buffer;
    s.SenseInfoOffset = offsetof(C_PassThroughRequest, sense);
    memcpy(s.Cdb, cdb, s.CdbLength);
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof(request), &request,
                         sizeof(request), &returned, nullptr))
        return 0;
    return s.ScsiStatus == 0;
}
