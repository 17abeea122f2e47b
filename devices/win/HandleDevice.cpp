#include "devices/win/HandleDevice.h"
#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>
#include <ntdddisk.h>
#include <cstring>
#include <malloc.h>
#include "devices/BlockAddressing.h"
#include "devices/DeviceRefresh.h"
#include "devices/ScsiCommands.h"
#include "devices/win/DeviceProbe.h"
#include "devices/win/Enumerators.h"

int IsWindows9x() { return (GetVersion() & 0x80000000u) != 0; }

C_HandleDevice::C_HandleDevice() { dwCaps = kCapsHandle; }

C_HandleDevice::~C_HandleDevice()
{
    if (hDevice)
        CloseHandle(hDevice);
    hDevice = nullptr;
}

std::unique_ptr<C_Device> NewDevicePathRecord() { return std::make_unique<C_HandleDevice>(); }

int C_HandleDevice::Open()
{
    if (dwOpenCount == 0) {
        if (hDevice) {
            CloseHandle(hDevice);
            hDevice = nullptr;
        }
        HANDLE h = CreateFileA(strPath.c_str(), dwAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return 0;
        hDevice = h;
    }
    ++dwOpenCount;
    return 1;
}

int C_HandleDevice::Close()
{
    if (!hDevice || dwOpenCount == 0)
        return 0;
    if (--dwOpenCount == 0) {
        // The caller wants the error of the operation, not of the close.
        const DWORD error = GetLastError();
        CloseHandle(hDevice);
        hDevice = nullptr;
        SetLastError(error);
    }
    return 1;
}

int C_HandleDevice::DeviceControl(uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                                  uint32_t* returned)
{
    if (!Open())
        return 0;
    DWORD got = 0;
    const BOOL ok = DeviceIoControl(hDevice, code, in, inSize, out, outSize, &got, nullptr);
    if (returned)
        *returned = got;
    Close();
    return ok ? 1 : 0;
}

// The driver reads these requests by the documented layout of the running system: a
// pointer-sized field makes them 44 bytes in 32-bit programs and 56 in 64-bit ones.
static_assert(sizeof(SCSI_PASS_THROUGH) == (sizeof(void*) == 4 ? 44 : 56), "SCSI_PASS_THROUGH layout");
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == (sizeof(void*) == 4 ? 44 : 56),
              "SCSI_PASS_THROUGH_DIRECT layout");
static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12 && sizeof(DISK_GEOMETRY) == 24, "disk answer layouts");

namespace {
// Pass-through request with room for the sense data after it, and for the buffered form
// a small data area after that.
struct DirectRequest {
    SCSI_PASS_THROUGH_DIRECT spt;
    ULONG filler;
    UCHAR sense[32];
};
struct BufferedRequest {
    SCSI_PASS_THROUGH spt;
    ULONG filler;
    UCHAR sense[32];
    UCHAR data[2048];
};
} // namespace

int C_HandleDevice::ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount,
                                void* buffer, uint8_t* sense)
{
    if (cdbLength == 0 || cdbLength > 16 || (byteCount && !buffer)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!Open())
        return 0;
    const uint32_t timeout = dwScsiTimeout != 0xFFFFFFFFu ? dwScsiTimeout : ScsiTimeoutSeconds(cdb[0]);
    const bool buffered = (byteCount >= 1 && byteCount <= 3) || ((dwBus & kBus1394) && byteCount <= 2048);
    BOOL ok;
    DWORD got = 0;
    UCHAR status = 0;
    const UCHAR* senseData;
    if (buffered) {
        BufferedRequest* r = new BufferedRequest();
        r->spt.Length = sizeof(SCSI_PASS_THROUGH);
        r->spt.CdbLength = UCHAR(cdbLength);
        r->spt.SenseInfoLength = 32;
        r->spt.SenseInfoOffset = offsetof(BufferedRequest, sense);
        r->spt.DataIn = byteCount == 0 ? SCSI_IOCTL_DATA_UNSPECIFIED
                        : dataIn       ? SCSI_IOCTL_DATA_IN
                                       : SCSI_IOCTL_DATA_OUT;
        r->spt.DataTransferLength = byteCount;
        r->spt.DataBufferOffset = offsetof(BufferedRequest, data);
        r->spt.TimeOutValue = timeout;
        memcpy(r->spt.Cdb, cdb, cdbLength);
        if (!dataIn && byteCount)
            memcpy(r->data, buffer, byteCount);
        ok = DeviceIoControl(hDevice, IOCTL_SCSI_PASS_THROUGH, r, sizeof *r, r, sizeof *r, &got, nullptr);
        status = r->spt.ScsiStatus;
        if (ok && dataIn && byteCount)
            memcpy(buffer, r->data, byteCount);
        if (!ok || status) {
            senseData = r->sense;
            if (sense)
                memcpy(sense, senseData, 24);
            if (ok)
                SetLastError(ScsiSenseToError(senseData, 32));
        }
        delete r;
    } else {
        // Adapters demand aligned data buffers; small answers land in stack arrays of
        // the callers, so those travel through an aligned copy.
        void* data = buffer;
        uint8_t* bounce = nullptr;
        if (byteCount && (reinterpret_cast<uintptr_t>(buffer) & 15)) {
            bounce = static_cast<uint8_t*>(_aligned_malloc(byteCount, 16));
            if (!bounce) {
                Close();
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return 0;
            }
            if (!dataIn)
                memcpy(bounce, buffer, byteCount);
            data = bounce;
        }
        DirectRequest r;
        memset(&r, 0, sizeof r);
        r.spt.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
        r.spt.CdbLength = UCHAR(cdbLength);
        r.spt.SenseInfoLength = 32;
        r.spt.SenseInfoOffset = offsetof(DirectRequest, sense);
        r.spt.DataIn = byteCount == 0 ? SCSI_IOCTL_DATA_UNSPECIFIED
                       : dataIn       ? SCSI_IOCTL_DATA_IN
                                      : SCSI_IOCTL_DATA_OUT;
        r.spt.DataTransferLength = byteCount;
        r.spt.DataBuffer = data;
        r.spt.TimeOutValue = timeout;
        memcpy(r.spt.Cdb, cdb, cdbLength);
        ok = DeviceIoControl(hDevice, IOCTL_SCSI_PASS_THROUGH_DIRECT, &r, sizeof r, &r, sizeof r, &got,
                             nullptr);
        status = r.spt.ScsiStatus;
        if (!ok || status) {
            if (sense)
                memcpy(sense, r.sense, 24);
            if (ok)
                SetLastError(ScsiSenseToError(r.sense, 32));
        }
        if (bounce) {
            if (ok && dataIn)
                memcpy(buffer, bounce, byteCount);
            _aligned_free(bounce);
        }
    }
    Close();
    return ok && status == 0 ? 1 : 0;
}

int C_HandleDevice::FileTransfer(int write, uint64_t offset, uint32_t bytes, void* buffer)
{
    if (!Open())
        return 0;
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    int ok = SetFilePointerEx(hDevice, at, nullptr, FILE_BEGIN) != 0;
    if (ok) {
        DWORD done = 0;
        ok = write ? WriteFile(hDevice, buffer, bytes, &done, nullptr)
                   : ReadFile(hDevice, buffer, bytes, &done, nullptr);
        if (ok && done != bytes) {
            ok = 0;
            SetLastError(write ? ERROR_WRITE_FAULT : ERROR_HANDLE_EOF);
        }
    }
    Close();
    return ok;
}

int C_HandleDevice::RoutedTransfer(int write, uint64_t block, uint32_t count, void* buffer)
{
    const C_BlockRoute route = RouteBlockTransfer(*this, write, IsWindows9x(), block, count);
    if (route.path == kRouteCommand10)
        return ScsiTransfer10(*this, write, uint32_t(route.address), count, buffer);
    if (route.path == kRouteFile)
        return FileTransfer(write, route.address, route.bytes, buffer);
    SetLastError(route.error);
    return 0;
}

int C_HandleDevice::TapeTransfer(int write, uint64_t block, uint32_t count, void* buffer)
{
    if (block == 0) {
        const C_Cdb rewind = MakeRewind();
        if (!ScsiCommand(rewind.length, rewind.bytes, 0, 0, nullptr, nullptr))
            return 0;
    }
    if (count > 0xFFFFFF || uint64_t(count) * dwBlockSize > 0xFFFFFFFFull) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const C_Cdb c = write ? MakeWrite6Fixed(count) : MakeRead6Fixed(count);
    return ScsiCommand(c.length, c.bytes, !write, count * dwBlockSize, buffer, nullptr);
}

int C_HandleDevice::ReadBlocks(uint64_t block, uint32_t count, void* buffer)
{
    if (dwType == kTypeTape)
        return TapeTransfer(0, block, count, buffer);
    return RoutedTransfer(0, block, count, buffer);
}

int C_HandleDevice::WriteBlocks(uint64_t block, uint32_t count, const void* buffer)
{
    void* data = const_cast<void*>(buffer);
    if (dwType == kTypeTape)
        return TapeTransfer(1, block, count, data);
    return RoutedTransfer(1, block, count, data);
}

int C_HandleDevice::AskAgain(C_DeviceAnswers* now)
{
    std::unique_ptr<C_HandleDevice> fresh;
    if (dwKind == kKindLogical && strLetters.size() == 1)
        fresh.reset(ProbeLogicalDrive(strLetters[0], dwOptions));
    else if (dwKind == kKindPhysical)
        fresh.reset(ProbePhysicalDrive(dwNumber, dwOptions, nullptr));
    else if (dwKind == kKindCdRom)
        fresh.reset(ProbeCdRomDevice(dwNumber, dwOptions, nullptr));
    else
        SetLastError(ERROR_NOT_SUPPORTED);
    if (!fresh)
        return 0;
    now->ullBlockCount = fresh->ullBlockCount;
    now->dwBlockSize = fresh->dwBlockSize;
    now->strVendor = fresh->strVendor;
    now->strProduct = fresh->strProduct;
    now->strSerial = fresh->strSerial;
    return 1;
}

int C_HandleDevice::BeginWrites(std::string* busy) { return m_locks.Take(*this, busy); }

void C_HandleDevice::EndWrites() { m_locks.Release(); }

int C_HandleDevice::QueryCapacity()
{
    if (dwOptions & kOptNoCapacity)
        return 0;
    if (ScsiQueryCapacity(*this) && ullBlockCount)
        return 1;
    if (ProbeGeometry(*this))
        return 1;
    if (ProbeFreeSpace(*this, dwOptions))
        return 1;
    return (dwKind & kKindLogical) && ProbeHandleSize(*this);
}

int C_HandleDevice::AtaCommand(uint8_t command, uint8_t feature, void* buffer, uint32_t size, int* statusOk)
{
    if (size > 512)
        size = 512;
    SENDCMDINPARAMS in;
    memset(&in, 0, sizeof in);
    in.cBufferSize = size;
    in.irDriveRegs.bFeaturesReg = feature;
    in.irDriveRegs.bSectorCountReg = 1;
    in.irDriveRegs.bSectorNumberReg = 1;
    in.irDriveRegs.bDriveHeadReg = 0xA0;
    in.irDriveRegs.bCommandReg = command;
    if (command == kAtaSmart) {
        in.irDriveRegs.bCylLowReg = 0x4F;
        in.irDriveRegs.bCylHighReg = 0xC2;
    }
    const bool sends = command == kAtaSmart && (feature == kSmartReturnStatus || size == 0);
    const uint32_t outSize = sizeof(SENDCMDOUTPARAMS) + 512;
    BYTE* out = new BYTE[outSize]();
    uint32_t got = 0;
    const int ok = DeviceControl(sends ? SMART_SEND_DRIVE_COMMAND : SMART_RCV_DRIVE_DATA, &in,
                                 sizeof(SENDCMDINPARAMS) - 1, out, outSize, &got);
    if (ok) {
        const SENDCMDOUTPARAMS* o = reinterpret_cast<const SENDCMDOUTPARAMS*>(out);
        if (feature == kSmartReturnStatus && command == kAtaSmart) {
            const IDEREGS* regs = reinterpret_cast<const IDEREGS*>(o->bBuffer);
            if (statusOk)
                *statusOk = regs->bCylLowReg == 0x4F && regs->bCylHighReg == 0xC2;
        } else if (buffer && size) {
            memcpy(buffer, o->bBuffer, size);
        }
        dwAtaMethod = 1;
    }
    delete[] out;
    return ok;
}

int C_HandleDevice::AtaPassThrough(C_AtaTaskFile& tf, int dataIn, uint32_t byteCount, void* buffer)
{
    if (byteCount > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const uint32_t total = sizeof(ATA_PASS_THROUGH_EX) + byteCount;
    BYTE* request = new BYTE[total]();
    ATA_PASS_THROUGH_EX* a = reinterpret_cast<ATA_PASS_THROUGH_EX*>(request);
    a->Length = sizeof(ATA_PASS_THROUGH_EX);
    a->AtaFlags =
        ATA_FLAGS_DRDY_REQUIRED | (byteCount ? (dataIn ? ATA_FLAGS_DATA_IN : ATA_FLAGS_DATA_OUT) : 0);
    a->DataTransferLength = byteCount;
    a->DataBufferOffset = sizeof(ATA_PASS_THROUGH_EX);
    a->TimeOutValue = 5;
    UCHAR* r = a->CurrentTaskFile;
    r[0] = tf.feature;
    r[1] = tf.count;
    r[2] = tf.lbaLow;
    r[3] = tf.lbaMid;
    r[4] = tf.lbaHigh;
    r[5] = tf.device;
    r[6] = tf.command;
    if (!dataIn && byteCount)
        memcpy(request + sizeof(ATA_PASS_THROUGH_EX), buffer, byteCount);
    uint32_t got = 0;
    const int ok = DeviceControl(IOCTL_ATA_PASS_THROUGH, request, total, request, total, &got);
    if (ok) {
        tf.feature = r[0];
        tf.count = r[1];
        tf.lbaLow = r[2];
        tf.lbaMid = r[3];
        tf.lbaHigh = r[4];
        tf.device = r[5];
        tf.command = r[6];
        if (dataIn && byteCount)
            memcpy(buffer, request + sizeof(ATA_PASS_THROUGH_EX), byteCount);
        dwAtaMethod = 2;
    }
    delete[] request;
    return ok;
}

int C_HandleDevice::QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument,
                                  C_PropertyValue* out2, C_PropertyValue* out3)
{
    if (pIdentity) {
        if (pIdentity->QueryProperty(id, out1, argument, out2, out3))
            return 1;
        // The link answers the identity questions under its own numbers.
        if (id >= kPropLinkSerialText && id <= kPropLinkLocation) {
            static const uint32_t asked[] = {kPropSerialText, kPropUsbIds, kProp1394Id, kProp1394VendorModel,
                                             kPropLocation};
            return pIdentity->QueryProperty(asked[id - kPropLinkSerialText], out1, argument, out2, out3);
        }
    }
    if (id == kPropFlush) {
        if (!Open())
            return 0;
        const int ok = FlushFileBuffers(hDevice) ? 1 : 0;
        Close();
        return ok;
    }
    return 0;
}
