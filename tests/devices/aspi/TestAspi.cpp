// A stand-in ASPI layer for tests: one adapter with a disk (target 0) and a CD-ROM
// (target 1) kept in memory, and a unit (target 1, LUN 1) that never completes a request.
// The adapter identifier comes from QM_TEST_ASPI_ADAPTER (default "QMTEST"). The disk's
// bytes tell their block (DiskByte); reads of the disk blocks listed in QM_TEST_ASPI_CRC
// fail with a medium error, and reads at or beyond block QM_TEST_ASPI_SLOW_FROM take a
// quarter of a second. The CD-ROM's full TOC holds a data track and an audio track.
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "devices/ByteFields.h"
#include "devices/win/AspiLayout.h"

namespace {

struct Unit {
    uint32_t blockSize;
    uint32_t blocks;
    int writable;
    uint8_t peripheral;
    const char* product;
    std::vector<uint8_t> data;
};

// The byte at an offset of a disk block, as an end-to-end test expects it.
uint8_t DiskByte(uint32_t block, uint32_t offset) { return uint8_t(block * 7 + offset * 3 + 1); }

Unit& Disk()
{
    static Unit u{512, 1024, 1, 0, "ASPI DISK", std::vector<uint8_t>()};
    if (u.data.empty()) {
        u.data.resize(size_t(512) * 1024);
        for (size_t i = 0; i < u.data.size(); ++i)
            u.data[i] = DiskByte(uint32_t(i / 512), uint32_t(i % 512));
    }
    return u;
}

// The blocks of a comma-separated list in an environment variable.
std::vector<uint32_t> BlockList(const char* name)
{
    char text[512] = "";
    std::vector<uint32_t> blocks;
    const DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    if (n == 0 || n >= sizeof text)
        return blocks;
    for (char* p = text; *p;) {
        char* end = p;
        const unsigned long v = strtoul(p, &end, 10);
        if (end == p)
            break;
        blocks.push_back(uint32_t(v));
        p = *end ? end + 1 : end;
    }
    return blocks;
}

bool TouchesAny(const std::vector<uint32_t>& blocks, uint32_t first, uint32_t count)
{
    for (uint32_t b : blocks)
        if (b >= first && b - first < count)
            return true;
    return false;
}

void PutMsf(uint8_t* out, uint32_t lba)
{
    const uint32_t frames = lba + 150;
    out[0] = uint8_t(frames / (60 * 75));
    out[1] = uint8_t(frames / 75 % 60);
    out[2] = uint8_t(frames % 75);
}

// Full TOC (format 2) of the CD: data track 1 at block 0, audio track 2 at block 200.
uint32_t FullToc(uint8_t* out, uint32_t size)
{
    std::vector<uint8_t> t = {0, 0, 1, 1};
    auto add = [&](uint8_t control, uint8_t point, uint32_t lba, bool msfIsNumber) {
        uint8_t d[11] = {1, uint8_t(0x10 | control), 0, point, 0, 0, 0, 0, 0, 0, 0};
        if (msfIsNumber)
            d[8] = uint8_t(lba);
        else
            PutMsf(d + 8, lba);
        t.insert(t.end(), d, d + 11);
    };
    add(4, 0xA0, 1, true);
    add(0, 0xA1, 2, true);
    add(4, 0xA2, 300, false);
    add(4, 1, 0, false);
    add(0, 2, 200, false);
    t[0] = uint8_t((t.size() - 2) >> 8);
    t[1] = uint8_t(t.size() - 2);
    const uint32_t n = uint32_t(t.size()) < size ? uint32_t(t.size()) : size;
    memcpy(out, t.data(), n);
    return n;
}

Unit& CdRom()
{
    static Unit u{2048, 300, 0, 5, "ASPI CDROM", std::vector<uint8_t>()};
    if (u.data.empty()) {
        u.data.resize(size_t(2048) * 300);
        for (size_t i = 0; i < u.data.size(); ++i)
            u.data[i] = uint8_t(i / 2048 + i);
    }
    return u;
}

Unit* Find(uint8_t adapter, uint8_t target, uint8_t lun)
{
    if (adapter != 0 || lun != 0)
        return nullptr;
    return target == 0 ? &Disk() : target == 1 ? &CdRom() : nullptr;
}

void CheckCondition(C_AspiExecScsi* r, uint8_t key, uint8_t asc)
{
    memset(r->sense, 0, sizeof r->sense);
    r->sense[0] = 0x70;
    r->sense[2] = key;
    r->sense[7] = 10;
    r->sense[12] = asc;
    r->targetStatus = 2;
    r->status = kAspiError;
}

void Execute(C_AspiExecScsi* r)
{
    if (r->adapter == 0 && r->target == 1 && r->lun == 1)
        return; // stays pending: the caller must give up on its own
    Unit* u = Find(r->adapter, r->target, r->lun);
    if (!u) {
        r->status = 0x82; // no device
        return;
    }
    const uint8_t* cdb = r->cdb;
    switch (cdb[0]) {
    case 0x12:
        if (r->bufferLength < 36 || !(r->flags & kAspiDirIn))
            break;
        memset(r->buffer, ' ', 36);
        r->buffer[0] = u->peripheral;
        r->buffer[4] = 31;
        memcpy(r->buffer + 8, "QUELLMOR", 8);
        memcpy(r->buffer + 16, u->product, strlen(u->product));
        memcpy(r->buffer + 32, "2.0 ", 4);
        r->status = kAspiComplete;
        return;
    case 0x25:
        if (r->bufferLength < 8)
            break;
        WriteBe32(r->buffer, u->blocks - 1);
        WriteBe32(r->buffer + 4, u->blockSize);
        r->status = kAspiComplete;
        return;
    case 0x43:
        if (u != &CdRom() || (cdb[2] & 0x0F) != 2 || !(r->flags & kAspiDirIn))
            break;
        FullToc(r->buffer, r->bufferLength);
        r->status = kAspiComplete;
        return;
    case 0x28:
    case 0x2A: {
        const uint32_t block = ReadBe32(cdb + 2), count = ReadBe16(cdb + 7);
        const bool write = cdb[0] == 0x2A;
        if (uint64_t(block) + count > u->blocks)
            return CheckCondition(r, 5, 0x21);
        if (!write && u == &Disk()) {
            static const std::vector<uint32_t> crc = BlockList("QM_TEST_ASPI_CRC");
            static const std::vector<uint32_t> slow = BlockList("QM_TEST_ASPI_SLOW_FROM");
            if (TouchesAny(crc, block, count))
                return CheckCondition(r, 3, 0x11); // unrecovered read error
            if (!slow.empty() && block + count > slow[0])
                Sleep(250);
        }
        if (write && !u->writable)
            return CheckCondition(r, 7, 0x27);
        if (r->bufferLength != count * u->blockSize || !(r->flags & (write ? kAspiDirOut : kAspiDirIn)))
            break;
        uint8_t* at = u->data.data() + size_t(block) * u->blockSize;
        if (write)
            memcpy(at, r->buffer, r->bufferLength);
        else
            memcpy(r->buffer, at, r->bufferLength);
        r->status = kAspiComplete;
        return;
    }
    default:
        break;
    }
    CheckCondition(r, 5, 0x20);
}

} // namespace

extern "C" __declspec(dllexport) uint32_t __cdecl GetASPI32SupportInfo()
{
    return (uint32_t(kAspiComplete) << 8) | 1;
}

extern "C" __declspec(dllexport) uint32_t __cdecl GetASPI32DLLVersion() { return 0x0402; }

extern "C" __declspec(dllexport) uint32_t __cdecl SendASPI32Command(void* request)
{
    uint8_t* header = static_cast<uint8_t*>(request);
    switch (header[0]) {
    case kAspiHaInquiry: {
        C_AspiHaInquiry* r = static_cast<C_AspiHaInquiry*>(request);
        if (r->adapter != 0) {
            r->status = 0x81; // invalid adapter
            return r->status;
        }
        r->adapterCount = 1;
        r->scsiId = 7;
        memset(r->managerId, ' ', 16);
        memcpy(r->managerId, "QUELLMOR ASPI", 13);
        memset(r->adapterId, ' ', 16);
        char name[17] = "QMTEST";
        const DWORD n = GetEnvironmentVariableA("QM_TEST_ASPI_ADAPTER", name, sizeof name);
        if (n == 0 || n >= sizeof name)
            strcpy(name, "QMTEST");
        memcpy(r->adapterId, name, strlen(name));
        memset(r->unique, 0, sizeof r->unique);
        r->unique[3] = 2;
        const uint32_t largest = 65536;
        memcpy(r->unique + 4, &largest, 4);
        r->status = kAspiComplete;
        return r->status;
    }
    case kAspiExecScsi: {
        C_AspiExecScsi* r = static_cast<C_AspiExecScsi*>(request);
        r->status = kAspiPending;
        Execute(r);
        return r->status;
    }
    case kAspiAbort: {
        C_AspiAbort* r = static_cast<C_AspiAbort*>(request);
        if (r->request)
            static_cast<C_AspiExecScsi*>(r->request)->status = 2; // aborted
        r->status = kAspiComplete;
        return r->status;
    }
    case kAspiGetDiskInfo: {
        C_AspiDiskInfo* r = static_cast<C_AspiDiskInfo*>(request);
        r->int13Drive = r->target == 0 ? 16 : 0xFF;
        r->status = kAspiComplete;
        return r->status;
    }
    default:
        header[1] = 0x80; // invalid command
        return header[1];
    }
}
