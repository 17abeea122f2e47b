#include "devices/ScsiCommands.h"
#include <vector>
#include "core/ErrorCodes.h"
#include "devices/BlockAddressing.h"
#include "devices/ByteFields.h"
#include "devices/ScsiDecode.h"

static C_Cdb Cdb(uint32_t length, uint8_t opcode)
{
    C_Cdb c;
    c.length = length;
    c.bytes[0] = opcode;
    return c;
}

C_Cdb MakeRead10(uint32_t block, uint32_t count)
{
    C_Cdb c = Cdb(10, kScsiRead10);
    WriteBe32(c.bytes + 2, block);
    WriteBe16(c.bytes + 7, count);
    return c;
}

C_Cdb MakeWrite10(uint32_t block, uint32_t count)
{
    C_Cdb c = MakeRead10(block, count);
    c.bytes[0] = kScsiWrite10;
    return c;
}

static void Put24(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 16);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v);
}

C_Cdb MakeRead6Fixed(uint32_t count)
{
    C_Cdb c = Cdb(6, kScsiRead6);
    c.bytes[1] = 1;
    Put24(c.bytes + 2, count);
    return c;
}

C_Cdb MakeWrite6Fixed(uint32_t count)
{
    C_Cdb c = MakeRead6Fixed(count);
    c.bytes[0] = kScsiWrite6;
    return c;
}

C_Cdb MakeRewind() { return Cdb(6, kScsiRewind); }

C_Cdb MakeReadCd(uint32_t block, uint32_t count)
{
    C_Cdb c = Cdb(12, kScsiReadCd);
    WriteBe32(c.bytes + 2, block);
    Put24(c.bytes + 6, count);
    c.bytes[9] = 0xF8;
    return c;
}

C_Cdb MakeReadToc(uint32_t format, uint32_t allocation)
{
    C_Cdb c = Cdb(10, kScsiReadToc);
    c.bytes[2] = uint8_t(format & 0x0F);
    WriteBe16(c.bytes + 7, allocation);
    return c;
}

C_Cdb MakeReadCapacity10() { return Cdb(10, kScsiReadCapacity10); }

C_Cdb MakeReadCapacity16(uint32_t allocation)
{
    C_Cdb c = Cdb(16, kScsiServiceActionIn16);
    c.bytes[1] = 0x10;
    WriteBe32(c.bytes + 10, allocation);
    return c;
}

C_Cdb MakeInquiry(uint32_t allocation, int vitalPage, uint32_t page)
{
    C_Cdb c = Cdb(6, kScsiInquiry);
    c.bytes[1] = vitalPage ? 1 : 0;
    c.bytes[2] = uint8_t(page);
    c.bytes[4] = uint8_t(allocation);
    return c;
}

C_Cdb MakeAtaPassThrough16(const C_AtaTaskFile& tf, int dataIn, uint32_t blocks)
{
    C_Cdb c = Cdb(16, kScsiAtaPassThrough16);
    if (blocks) {
        c.bytes[1] = uint8_t((dataIn ? 4 : 5) << 1); // PIO data-in / data-out
        // Transfer length in the sector count field, counted in blocks, direction.
        c.bytes[2] = uint8_t((dataIn ? 0x08 : 0) | 0x04 | 0x02);
    } else {
        c.bytes[1] = 3 << 1; // non-data
        c.bytes[2] = 0x20;   // return the task file
    }
    c.bytes[4] = tf.feature;
    c.bytes[6] = tf.count;
    c.bytes[8] = tf.lbaLow;
    c.bytes[10] = tf.lbaMid;
    c.bytes[12] = tf.lbaHigh;
    c.bytes[13] = tf.device;
    c.bytes[14] = tf.command;
    return c;
}

int SatIdentify(C_Device& device, uint8_t command, uint8_t* out)
{
    C_AtaTaskFile tf;
    tf.command = command;
    tf.count = 1;
    tf.device = 0xA0;
    const C_Cdb c = MakeAtaPassThrough16(tf, 1, 1);
    return device.ScsiCommand(c.length, c.bytes, 1, 512, out, nullptr);
}

uint32_t ScsiTimeoutSeconds(uint8_t opcode)
{
    switch (opcode) {
    case kScsiStartStopUnit:
        return 10;
    case kScsiReadCd:
        return 30;
    case 0xE0:
    case kScsiWriteBuffer:
        return 1;
    default:
        return 5;
    }
}

uint32_t ScsiSenseToError(const uint8_t* sense, uint32_t senseLength)
{
    if (sense && senseLength >= 14) {
        const uint8_t code = sense[0] & 0x7F;
        if (code == 0x70 || code == 0x71) {
            const uint8_t key = sense[2] & 0x0F;
            if (key == 3 || sense[12] == 0x11)
                return 23;
        }
    }
    return 1117;
}

int ScsiQueryCapacity(C_Device& device)
{
    uint8_t answer[32] = {};
    C_Cdb c = MakeReadCapacity10();
    C_CapacityAnswer a;
    int ok =
        device.ScsiCommand(c.length, c.bytes, 1, 8, answer, nullptr) && DecodeReadCapacity10(answer, 8, &a);
    if (!ok && a.needs16) {
        c = MakeReadCapacity16(32);
        ok = device.ScsiCommand(c.length, c.bytes, 1, 32, answer, nullptr) &&
             DecodeReadCapacity16(answer, 32, &a);
    }
    if (!ok)
        return 0;
    device.ullBlockCount = a.blockCount;
    device.dwBlockSize = a.blockSize;
    device.ullFirstBlock = a.firstBlock;
    return 1;
}

int ScsiQueryTexts(C_Device& device, int skipSerialPage)
{
    uint8_t answer[256] = {};
    C_Cdb c = MakeInquiry(36, 0, 0);
    C_DeviceTexts texts;
    if (!device.ScsiCommand(c.length, c.bytes, 1, 36, answer, nullptr) || !DecodeInquiry(answer, 36, &texts))
        return 0;
    device.strVendor = texts.vendor;
    device.strProduct = texts.product;
    device.strRevision = texts.revision;
    if (!skipSerialPage) {
        uint8_t page[256] = {};
        c = MakeInquiry(255, 1, 0x80);
        std::string serial;
        if (device.ScsiCommand(c.length, c.bytes, 1, 255, page, nullptr) &&
            DecodeUnitSerialPage(page, sizeof page, &serial))
            device.strSerial = TrimBoth(serial);
    }
    return 1;
}

int ScsiTransfer10(C_Device& device, int write, uint32_t lba, uint32_t count, void* buffer)
{
    const C_Cdb c = write ? MakeWrite10(lba, count) : MakeRead10(lba, count);
    return device.ScsiCommand(c.length, c.bytes, !write, count * device.dwBlockSize, buffer, nullptr);
}

static int Transfer10(C_Device& device, int write, uint64_t block, uint32_t count, void* buffer)
{
    uint32_t lba = 0, error = 0;
    if (!TenByteAddress(block, device.ullBlockOffset, count, device.dwBlockSize, &lba, &error)) {
        SetLastErrorCode(error);
        return 0;
    }
    return ScsiTransfer10(device, write, lba, count, buffer);
}

int ScsiRead10(C_Device& device, uint64_t block, uint32_t count, void* buffer)
{
    return Transfer10(device, 0, block, count, buffer);
}

int ScsiWrite10(C_Device& device, uint64_t block, uint32_t count, const void* buffer)
{
    return Transfer10(device, 1, block, count, const_cast<void*>(buffer));
}
