#include "devices/emulated/ImageDisk.h"
#include <cstring>
#include "core/ErrorCodes.h"
#include "devices/BlockAddressing.h"
#include "devices/ScsiCommands.h"
#include "devices/ByteFields.h"

namespace {
const char kImageVendor[] = "QUELLMOR";
const char kImageProduct[] = "IMAGE DISK";
} // namespace

C_ImageDisk::C_ImageDisk(const std::string& imagePath, uint32_t blockSize, int readOnly)
    : m_readOnly(readOnly)
{
    strPath = imagePath;
    strName = "image " + imagePath;
    dwBlockSize = blockSize;
    dwKind = kKindPhysical;
    dwType = kTypeFixedPhysical;
    dwCaps = readOnly ? (kCapsHandle & ~kCapWrite) : kCapsHandle;
    dwAccess = readOnly ? kAccessRead : kAccessReadWrite;
    dwMaxBlocks = 128;
    strVendor = kImageVendor;
    strProduct = kImageProduct;
    strRevision = "1.0";
}

int C_ImageDisk::Open()
{
    if (dwOpenCount == 0) {
        if (!m_file.Open(strPath.c_str(), m_readOnly ? kOpenRead : kOpenReadWriteExisting, 0,
                         kShareReadWrite))
            return 0;
        ++opens;
        hDevice = m_file.GetHandle();
    }
    ++dwOpenCount;
    return 1;
}

int C_ImageDisk::Close()
{
    if (dwOpenCount == 0)
        return 0;
    if (--dwOpenCount == 0) {
        const uint32_t error = GetLastErrorCode();
        m_file.Close();
        hDevice = nullptr;
        SetLastErrorCode(error);
    }
    return 1;
}

int C_ImageDisk::QueryCapacity()
{
    if (!Open())
        return 0;
    uint64_t size = 0;
    const int ok = m_file.GetSize(&size);
    Close();
    if (!ok)
        return 0;
    ullBlockCount = size / dwBlockSize;
    return 1;
}

int C_ImageDisk::AskAgain(C_DeviceAnswers* now)
{
    C_File fresh;
    uint64_t size = 0;
    if (!fresh.Open(strPath.c_str(), kOpenRead, 0, kShareReadWrite) || !fresh.GetSize(&size))
        return 0;
    now->ullBlockCount = size / dwBlockSize;
    now->dwBlockSize = dwBlockSize;
    now->strVendor = kImageVendor;
    now->strProduct = kImageProduct;
    return 1;
}

int C_ImageDisk::Transfer(int write, uint64_t block, uint32_t count, void* buffer)
{
    if (write && m_readOnly) {
        SetLastErrorCode(kErrorWriteProtect);
        return 0;
    }
    uint64_t at = 0;
    uint32_t bytes = 0, refusal = kErrorInvalidParameter;
    if (count == 0 || block >= ullBlockCount || count > ullBlockCount - block ||
        !BlockByteRange(block, count, dwBlockSize, &at, &bytes, &refusal)) {
        SetLastErrorCode(refusal);
        return 0;
    }
    if (const uint32_t error = faults.Check(block, count)) {
        ++faults.hits;
        SetLastErrorCode(error);
        return 0;
    }
    if (!Open())
        return 0;
    const int ok = write ? m_file.WriteAt(at, bytes, buffer) : m_file.ReadAt(at, bytes, buffer);
    Close();
    return ok;
}

int C_ImageDisk::ReadBlocks(uint64_t block, uint32_t count, void* buffer)
{
    return Transfer(0, block, count, buffer);
}

int C_ImageDisk::WriteBlocks(uint64_t block, uint32_t count, const void* buffer)
{
    return Transfer(1, block, count, const_cast<void*>(buffer));
}

static void IllegalRequest(uint8_t* sense)
{
    if (sense) {
        memset(sense, 0, 24);
        sense[0] = 0x70;
        sense[2] = 0x05;
        sense[7] = 10;
        sense[12] = 0x20; // invalid command operation code
    }
    SetLastErrorCode(kErrorIoDevice);
}

int C_ImageDisk::ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount,
                             void* buffer, uint8_t* sense)
{
    if (cdbLength < 6 || !cdb) {
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    uint8_t* out = static_cast<uint8_t*>(buffer);
    switch (cdb[0]) {
    case kScsiInquiry: {
        if (!dataIn || byteCount < 36 || (cdb[1] & 1))
            break;
        memset(out, ' ', 36);
        out[0] = 0;
        out[1] = 0;
        out[4] = 31;
        memcpy(out + 8, kImageVendor, 8);
        memcpy(out + 16, kImageProduct, 10);
        memcpy(out + 32, "1.0 ", 4);
        return 1;
    }
    case kScsiReadCapacity10:
        if (!dataIn || byteCount < 8 || ullBlockCount == 0)
            break;
        WriteBe32(out, ullBlockCount - 1 > 0xFFFFFFFEull ? 0xFFFFFFFFu : uint32_t(ullBlockCount - 1));
        WriteBe32(out + 4, dwBlockSize);
        return 1;
    case kScsiRead10:
    case kScsiWrite10: {
        if (cdbLength < 10)
            break;
        const uint32_t count = ReadBe16(cdb + 7);
        if (uint64_t(count) * dwBlockSize != byteCount) {
            SetLastErrorCode(kErrorInvalidParameter);
            return 0;
        }
        return Transfer(cdb[0] == kScsiWrite10, ReadBe32(cdb + 2), count, buffer);
    }
    default:
        break;
    }
    IllegalRequest(sense);
    return 0;
}

int C_ImageDisk::QueryProperty(uint32_t id, C_PropertyValue*, uintptr_t, C_PropertyValue*, C_PropertyValue*)
{
    if (id != kPropFlush || !Open())
        return 0;
    const int ok = m_file.Flush();
    Close();
    return ok;
}
