// Command blocks, timeouts, sense mapping, and the queries that run over a record's
// command slot, against a scripted device.
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <vector>
#include "core/ErrorCodes.h"
#include "devices/ScsiCommands.h"
#include "devices/ByteFields.h"

namespace {

// Answers commands with a test's function and keeps every command block it was sent.
struct ScriptedDevice : C_Device {
    std::function<int(const uint8_t*, uint32_t, uint8_t*)> answer;
    std::vector<std::vector<uint8_t>> sent;
    std::vector<uint32_t> lengths;
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int, uint32_t byteCount, void* buffer,
                    uint8_t*) override
    {
        sent.emplace_back(cdb, cdb + cdbLength);
        lengths.push_back(byteCount);
        return answer(cdb, byteCount, static_cast<uint8_t*>(buffer));
    }
};

TEST(Cdb, LayoutOfTheCommandsSent)
{
    C_Cdb c = MakeRead10(0x01020304, 0x0506);
    ASSERT_EQ(c.length, 10u);
    const uint8_t read10[10] = {0x28, 0, 1, 2, 3, 4, 0, 5, 6, 0};
    EXPECT_EQ(memcmp(c.bytes, read10, 10), 0);
    EXPECT_EQ(MakeWrite10(1, 1).bytes[0], 0x2A);
    c = MakeReadCd(0x00000100, 0x030201);
    ASSERT_EQ(c.length, 12u);
    const uint8_t readCd[12] = {0xBE, 0, 0, 0, 1, 0, 3, 2, 1, 0xF8, 0, 0};
    EXPECT_EQ(memcmp(c.bytes, readCd, 12), 0);
    c = MakeReadToc(2, 2048);
    const uint8_t toc[10] = {0x43, 0, 2, 0, 0, 0, 0, 0x08, 0x00, 0};
    EXPECT_EQ(memcmp(c.bytes, toc, 10), 0);
    c = MakeReadCapacity16(32);
    ASSERT_EQ(c.length, 16u);
    EXPECT_EQ(c.bytes[0], 0x9E);
    EXPECT_EQ(c.bytes[1], 0x10);
    EXPECT_EQ(ReadBe32(c.bytes + 10), 32u);
    c = MakeInquiry(255, 1, 0x80);
    const uint8_t inquiry[6] = {0x12, 1, 0x80, 0, 255, 0};
    EXPECT_EQ(memcmp(c.bytes, inquiry, 6), 0);
    c = MakeRead6Fixed(0x123456);
    const uint8_t read6[6] = {0x08, 1, 0x12, 0x34, 0x56, 0};
    EXPECT_EQ(memcmp(c.bytes, read6, 6), 0);
    EXPECT_EQ(MakeWrite6Fixed(1).bytes[0], 0x0A);
    EXPECT_EQ(MakeRewind().bytes[0], 0x01);
}

TEST(Cdb, TimeoutsByOperationCode)
{
    EXPECT_EQ(ScsiTimeoutSeconds(0x1B), 10u);
    EXPECT_EQ(ScsiTimeoutSeconds(0xBE), 30u);
    EXPECT_EQ(ScsiTimeoutSeconds(0xE0), 1u);
    EXPECT_EQ(ScsiTimeoutSeconds(0x3C), 1u);
    EXPECT_EQ(ScsiTimeoutSeconds(0x28), 5u);
    EXPECT_EQ(ScsiTimeoutSeconds(0x12), 5u);
}

TEST(Cdb, SenseToError)
{
    uint8_t sense[24] = {0x70, 0, 3};
    EXPECT_EQ(ScsiSenseToError(sense, 24), 23u); // medium error
    sense[2] = 4;
    sense[12] = 0x11;
    EXPECT_EQ(ScsiSenseToError(sense, 24), 23u); // unrecovered read error
    sense[12] = 0x44;
    EXPECT_EQ(ScsiSenseToError(sense, 24), 1117u);
    sense[0] = 0; // no valid sense at all
    sense[2] = 3;
    EXPECT_EQ(ScsiSenseToError(sense, 24), 1117u);
    EXPECT_EQ(ScsiSenseToError(nullptr, 0), 1117u);
    sense[0] = 0x71;
    EXPECT_EQ(ScsiSenseToError(sense, 13), 1117u); // too short to judge
}

TEST(ScsiQueries, CapacityFallsBackToTheSixteenByteForm)
{
    ScriptedDevice d;
    d.answer = [](const uint8_t* cdb, uint32_t, uint8_t* out) {
        if (cdb[0] == 0x25) {
            WriteBe32(out, 0xFFFFFFFF);
            WriteBe32(out + 4, 512);
            return 1;
        }
        if (cdb[0] == 0x9E) {
            WriteBe64(out, 0x2000000000ull - 1);
            WriteBe32(out + 8, 4096);
            return 1;
        }
        return 0;
    };
    ASSERT_EQ(ScsiQueryCapacity(d), 1);
    EXPECT_EQ(d.ullBlockCount, 0x2000000000ull);
    EXPECT_EQ(d.dwBlockSize, 4096u);
    EXPECT_EQ(d.ullFirstBlock, 16u);
    ASSERT_EQ(d.sent.size(), 2u);
    EXPECT_EQ(d.lengths[0], 8u);

    ScriptedDevice small;
    small.answer = [](const uint8_t* cdb, uint32_t, uint8_t* out) {
        if (cdb[0] != 0x25)
            return 0;
        WriteBe32(out, 999);
        WriteBe32(out + 4, 512);
        return 1;
    };
    small.ullFirstBlock = 16;
    ASSERT_EQ(ScsiQueryCapacity(small), 1);
    EXPECT_EQ(small.ullBlockCount, 1000u);
    EXPECT_EQ(small.ullFirstBlock, 0u);
    EXPECT_EQ(small.sent.size(), 1u);

    // 2^56 blocks of 512 bytes: no byte address reaches the upper half, so none is kept.
    ScriptedDevice huge;
    huge.answer = [](const uint8_t* cdb, uint32_t, uint8_t* out) {
        WriteBe32(out, 0xFFFFFFFF);
        WriteBe32(out + 4, 512);
        if (cdb[0] == 0x9E)
            WriteBe64(out, (1ull << 56) - 1);
        return 1;
    };
    huge.ullBlockCount = 2048;
    huge.dwBlockSize = 512;
    EXPECT_EQ(ScsiQueryCapacity(huge), 0);
    EXPECT_EQ(huge.ullBlockCount, 2048u);
    EXPECT_EQ(huge.sent.size(), 2u);

    ScriptedDevice silent;
    silent.answer = [](const uint8_t*, uint32_t, uint8_t*) { return 0; };
    silent.ullBlockCount = 2048;
    EXPECT_EQ(ScsiQueryCapacity(silent), 0);
    EXPECT_EQ(silent.ullBlockCount, 2048u); // defaults stay
}

TEST(ScsiQueries, TextsWithAndWithoutTheSerialPage)
{
    ScriptedDevice d;
    d.answer = [](const uint8_t* cdb, uint32_t, uint8_t* out) {
        if (cdb[0] != 0x12)
            return 0;
        if (cdb[1] & 1) {
            const uint8_t page[] = {0, 0x80, 0, 5, ' ', 'S', 'N', '4', '2'};
            memcpy(out, page, sizeof page);
            return 1;
        }
        memset(out, ' ', 36);
        memcpy(out + 8, "VENDOR", 6);
        memcpy(out + 16, "PRODUCT", 7);
        memcpy(out + 32, "0001", 4);
        return 1;
    };
    ASSERT_EQ(ScsiQueryTexts(d, 0), 1);
    EXPECT_EQ(d.strVendor, "VENDOR");
    EXPECT_EQ(d.strProduct, "PRODUCT");
    EXPECT_EQ(d.strRevision, "0001");
    EXPECT_EQ(d.strSerial, "SN42");
    ScriptedDevice removable;
    removable.answer = d.answer;
    ASSERT_EQ(ScsiQueryTexts(removable, 1), 1);
    EXPECT_EQ(removable.strSerial, "");
    EXPECT_EQ(removable.sent.size(), 1u);
}

TEST(ScsiQueries, TenByteTransfersAddThePartitionOffsetAndRefuseWhatDoesNotFit)
{
    ScriptedDevice d;
    d.answer = [](const uint8_t*, uint32_t, uint8_t*) { return 1; };
    d.dwBlockSize = 512;
    d.ullBlockOffset = 63;
    uint8_t buffer[1024];
    ASSERT_EQ(ScsiRead10(d, 100, 2, buffer), 1);
    EXPECT_EQ(ReadBe32(&d.sent[0][2]), 163u);
    EXPECT_EQ(ReadBe16(&d.sent[0][7]), 2u);
    EXPECT_EQ(d.lengths[0], 1024u);
    ASSERT_EQ(ScsiWrite10(d, 0, 1, buffer), 1);
    EXPECT_EQ(d.sent[1][0], 0x2A);
    EXPECT_EQ(ScsiRead10(d, 0xFFFFFFF0ull, 1, buffer), 0);
    EXPECT_EQ(ScsiRead10(d, 0, 0x10000, buffer), 0);
    // Block + offset past 2^64 would be LBA 3: the start of the disk.
    EXPECT_EQ(ScsiWrite10(d, ~0ull - 59, 1, buffer), 0);
    EXPECT_EQ(GetLastErrorCode(), uint32_t(kErrorArithmeticOverflow));
    EXPECT_EQ(ScsiRead10(d, ~0ull - 59, 1, buffer), 0);
    // A block size from a device that lies must not wrap the byte count.
    d.dwBlockSize = 0x80000000u;
    EXPECT_EQ(ScsiRead10(d, 0, 2, buffer), 0);
    EXPECT_EQ(d.sent.size(), 2u);
    EXPECT_EQ(GetLastErrorCode(), uint32_t(kErrorInvalidParameter));
}

} // namespace

namespace {

TEST(ScsiQueries, IdentifyThroughTheTranslationLayer)
{
    ScriptedDevice d;
    d.answer = [](const uint8_t* cdb, uint32_t bytes, uint8_t* out) {
        if (cdb[0] != 0x85 || bytes != 512)
            return 0;
        out[20] = 'B';
        out[21] = 'A';
        return 1;
    };
    uint8_t identify[512] = {};
    ASSERT_EQ(SatIdentify(d, 0xEC, identify), 1);
    ASSERT_EQ(d.sent.size(), 1u);
    const std::vector<uint8_t>& c = d.sent[0];
    ASSERT_EQ(c.size(), 16u);
    EXPECT_EQ(c[1], 0x08); // PIO data-in
    EXPECT_EQ(c[2], 0x0E); // to the host, in blocks, length in the sector count
    EXPECT_EQ(c[6], 1);
    EXPECT_EQ(c[13], 0xA0);
    EXPECT_EQ(c[14], 0xEC);
    EXPECT_EQ(identify[20], 'B');
    C_AtaTaskFile smart;
    smart.command = 0xB0;
    smart.feature = 0xDA;
    smart.lbaMid = 0x4F;
    smart.lbaHigh = 0xC2;
    const C_Cdb status = MakeAtaPassThrough16(smart, 0, 0);
    EXPECT_EQ(status.bytes[1], 0x06);
    EXPECT_EQ(status.bytes[2], 0x20);
    EXPECT_EQ(status.bytes[4], 0xDA);
    EXPECT_EQ(status.bytes[10], 0x4F);
    EXPECT_EQ(status.bytes[12], 0xC2);
}

} // namespace

namespace {

// A drive reached through raw task files only: IDENTIFY data and a SMART status.
struct TaskFileDevice : C_Device {
    int failing = 0;
    std::vector<C_AtaTaskFile> seen;
    int AtaPassThrough(C_AtaTaskFile& tf, int dataIn, uint32_t bytes, void* buffer) override
    {
        seen.push_back(tf);
        if (tf.command == kAtaIdentify) {
            if (!dataIn || bytes != 512)
                return 0;
            memset(buffer, 0x11, 512);
            return 1;
        }
        if (tf.command == kAtaSmart && tf.feature == kSmartReturnStatus) {
            if (failing) {
                tf.lbaMid = 0xF4;
                tf.lbaHigh = 0x2C;
            }
            return 1;
        }
        return 0;
    }
};

TEST(AtaCommand, RecordsWithoutSystemRequestsUseTheTaskFileSlot)
{
    TaskFileDevice d;
    uint8_t identify[512] = {};
    ASSERT_EQ(d.AtaCommand(kAtaIdentify, 0, identify, 256, nullptr), 1);
    EXPECT_EQ(identify[255], 0x11);
    EXPECT_EQ(identify[256], 0); // only what was asked for is copied
    int healthy = -1;
    ASSERT_EQ(d.AtaCommand(kAtaSmart, kSmartReturnStatus, nullptr, 0, &healthy), 1);
    EXPECT_EQ(healthy, 1);
    EXPECT_EQ(d.seen.back().lbaMid, 0x4F);
    EXPECT_EQ(d.seen.back().lbaHigh, 0xC2);
    d.failing = 1;
    ASSERT_EQ(d.AtaCommand(kAtaSmart, kSmartReturnStatus, nullptr, 0, &healthy), 1);
    EXPECT_EQ(healthy, 0);
    EXPECT_EQ(d.AtaCommand(kAtaSmart, kSmartReadData, identify, 512, nullptr), 0);
    C_Device plain;
    EXPECT_EQ(plain.AtaCommand(kAtaIdentify, 0, identify, 512, nullptr), 0);
}

} // namespace
