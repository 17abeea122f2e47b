#include "app/pages/file/cdfs/CdfsLetter.h"
#include <windows.h>
#include <ntddscsi.h>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include "app/pages/file/cdfs/CdfsDrive.h"
#include "support/OsVersion.h"

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

// The letter's device as a command-answering drive for the pure search.
class C_PassThroughDrive : public C_Device {
public:
    explicit C_PassThroughDrive(HANDLE handle) { hDevice = handle; }
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t*) override
    {
        return ScsiPassThrough(hDevice, cdbLength, cdb, dataIn, byteCount, buffer);
    }
};
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

int CdfsSearchLetter(char letter, uint64_t minimum, std::string* path, std::string* message, C_Device* device)
{
    path->clear();
    message->clear();
    if (device) {
        CdfsSearchDevice(*device, letter, minimum, path);
    } else {
        const uint64_t os = GetOsVersionWord();
        if (!(os & kOsNt)) {
            *message = CdfsNotNtMessage();
            return 0;
        }
        char name[8];
        snprintf(name, sizeof(name), "\\\\.\\%c:", letter);
        // Windows NT 4.0 refuses write access to a CD-ROM device; later systems want it
        // for pass-through.
        const DWORD access = (os & kOsNt4) ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
        HANDLE handle =
            CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            *message = CdfsOpenFailedMessage(name);
            return 0;
        }
        C_PassThroughDrive drive(handle);
        CdfsSearchDevice(drive, letter, minimum, path);
        drive.hDevice = nullptr;
        CloseHandle(handle);
    }
    if (!path->empty())
        return 1;
    const char root[4] = {letter, ':', '\\', 0};
    *message = CdfsFailureMessage(GetDriveTypeA(root) == DRIVE_CDROM, minimum, letter);
    return 0;
}
