#include "devices/emulated/EmulatedCdRom.h"
#include <cstring>
#include "core/ErrorCodes.h"
#include "devices/ScsiCommands.h"
#include "devices/ByteFields.h"

C_EmulatedCdRom::C_EmulatedCdRom(const std::string& isoPath, const std::vector<uint32_t>& audioTrackBlocks,
                                 int dataLast)
{
    strPath = isoPath;
    strName = "emulated CD-ROM";
    dwKind = kKindCdRom;
    dwType = kTypeOptical;
    dwCaps = kCapsHandle & ~kCapWrite;
    dwAccess = kAccessRead;
    dwBlockSize = 2048;
    dwMaxBlocks = 26;
    ullFirstBlock = 16;
    strVendor = "QUELLMOR";
    strProduct = "EMULATED CDROM";
    strRevision = "1.0";
    uint64_t next = 0;
    if (!isoPath.empty()) {
        uint32_t low = 0, high = 0;
        if (GetFileSizeByName(isoPath.c_str(), &low, &high)) {
            m_dataBlocks = ((uint64_t(high) << 32) | low) / 2048;
            m_hasData = m_dataBlocks > 0;
        }
    }
    if (m_hasData && !dataLast) {
        m_starts.push_back(0);
        next = m_dataBlocks;
    }
    for (uint32_t blocks : audioTrackBlocks) {
        m_starts.push_back(next);
        next += blocks;
    }
    if (m_hasData && dataLast) {
        m_dataStart = next;
        m_dataTrack = uint32_t(m_starts.size());
        m_starts.push_back(next);
        next += m_dataBlocks;
    }
    m_leadOut = next;
}

uint8_t C_EmulatedCdRom::AudioByte(uint64_t block, uint32_t offset)
{
    return uint8_t(block * 7 + offset * 13 + (offset >> 8));
}

int C_EmulatedCdRom::Open()
{
    if (dwOpenCount == 0 && m_hasData) {
        if (!m_file.Open(strPath.c_str(), kOpenRead, 0, kShareReadWrite))
            return 0;
        hDevice = m_file.GetHandle();
    }
    ++dwOpenCount;
    return 1;
}

int C_EmulatedCdRom::Close()
{
    if (dwOpenCount == 0)
        return 0;
    if (--dwOpenCount == 0 && m_file.IsOpen()) {
        const uint32_t error = GetLastErrorCode();
        m_file.Close();
        hDevice = nullptr;
        SetLastErrorCode(error);
    }
    return 1;
}

int C_EmulatedCdRom::QueryCapacity() { return ScsiQueryCapacity(*this); }

int C_EmulatedCdRom::ReadBlocks(uint64_t block, uint32_t count, void* buffer)
{
    return ScsiRead10(*this, block, count, buffer);
}

int C_EmulatedCdRom::Fail(uint32_t error, uint8_t key, uint8_t asc, uint8_t* sense)
{
    if (sense) {
        memset(sense, 0, 24);
        sense[0] = 0x70;
        sense[2] = key;
        sense[7] = 10;
        sense[12] = asc;
    }
    SetLastErrorCode(error);
    return 0;
}

int C_EmulatedCdRom::ReadData(uint64_t block, uint32_t count, uint8_t* out, uint8_t* sense)
{
    if (block + count > m_leadOut)
        return Fail(kErrorInvalidParameter, 5, 0x21, sense); // beyond the disc
    for (uint64_t b = block; b < block + count; ++b)
        if (!IsDataBlock(b))
            return Fail(kErrorIoDevice, 5, 0x64, sense); // illegal mode for track
    if (const uint32_t error = faults.Check(block, count)) {
        ++faults.hits;
        return Fail(error, error == kErrorCrc ? 3 : 4, error == kErrorCrc ? 0x11 : 0x44, sense);
    }
    if (!Open())
        return 0;
    const int ok = m_file.ReadAt((block - m_dataStart) * 2048, count * 2048, out);
    Close();
    return ok;
}

// One raw sector of 2352 bytes: audio samples, or sync, header and user data of mode 1.
int C_EmulatedCdRom::ReadCd(uint64_t block, uint32_t count, uint8_t* out, uint8_t* sense)
{
    if (block + count > m_leadOut)
        return Fail(kErrorInvalidParameter, 5, 0x21, sense);
    if (const uint32_t error = faults.Check(block, count)) {
        ++faults.hits;
        return Fail(error, error == kErrorCrc ? 3 : 4, error == kErrorCrc ? 0x11 : 0x44, sense);
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t b = block + i;
        uint8_t* s = out + uint64_t(i) * 2352;
        if (!IsDataBlock(b)) {
            for (uint32_t k = 0; k < 2352; ++k)
                s[k] = AudioByte(b, k);
            continue;
        }
        memset(s, 0, 2352);
        memset(s + 1, 0xFF, 10);
        const uint64_t msf = b + 150;
        s[12] = uint8_t(msf / 4500);
        s[13] = uint8_t(msf / 75 % 60);
        s[14] = uint8_t(msf % 75);
        s[15] = 1;
        if (!Open())
            return 0;
        const int ok = m_file.ReadAt((b - m_dataStart) * 2048, 2048, s + 16);
        Close();
        if (!ok)
            return 0;
    }
    return 1;
}

static void PutMsf(uint8_t* p, uint64_t block)
{
    const uint64_t a = block + 150;
    p[0] = uint8_t(a / 4500);
    p[1] = uint8_t(a / 75 % 60);
    p[2] = uint8_t(a % 75);
}

int C_EmulatedCdRom::Toc(uint32_t format, uint32_t allocation, uint8_t* out, uint32_t byteCount)
{
    std::vector<uint8_t> t(4, 0);
    const uint32_t tracks = uint32_t(m_starts.size());
    if (tracks == 0)
        return Fail(kErrorNotReady, 2, 0x3A, nullptr); // no medium
    t[2] = 1;
    t[3] = uint8_t(format == 2 ? 1 : tracks);
    auto control = [&](uint32_t index) { return uint8_t(m_hasData && index == m_dataTrack ? 4 : 0); };
    if (format == 0) {
        for (uint32_t i = 0; i <= tracks; ++i) {
            uint8_t d[8] = {};
            const bool leadOut = i == tracks;
            d[1] = uint8_t(0x10 | (leadOut ? control(0) : control(i)));
            d[2] = uint8_t(leadOut ? 0xAA : i + 1);
            WriteBe32(d + 4, uint32_t(leadOut ? m_leadOut : m_starts[i]));
            t.insert(t.end(), d, d + 8);
        }
    } else if (format == 2) {
        auto add = [&](uint8_t ctl, uint8_t point, const uint8_t pmsf[3]) {
            const uint8_t d[11] = {1, uint8_t(0x10 | ctl), 0, point, 0, 0, 0, 0, pmsf[0], pmsf[1], pmsf[2]};
            t.insert(t.end(), d, d + 11);
        };
        const uint8_t first[3] = {1, 0, 0}, last[3] = {uint8_t(tracks), 0, 0};
        uint8_t leadOut[3];
        PutMsf(leadOut, m_leadOut);
        add(control(0), 0xA0, first);
        add(control(tracks - 1), 0xA1, last);
        add(control(0), 0xA2, leadOut);
        for (uint32_t i = 0; i < tracks; ++i) {
            uint8_t start[3];
            PutMsf(start, m_starts[i]);
            add(control(i), uint8_t(i + 1), start);
        }
    } else {
        return Fail(kErrorIoDevice, 5, 0x24, nullptr);
    }
    WriteBe16(t.data(), uint32_t(t.size() - 2));
    const uint32_t n = uint32_t(t.size()) < allocation ? uint32_t(t.size()) : allocation;
    memcpy(out, t.data(), n < byteCount ? n : byteCount);
    return 1;
}

int C_EmulatedCdRom::ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount,
                                 void* buffer, uint8_t* sense)
{
    ++commands;
    if (cdbLength < 6 || !cdb || (byteCount && !buffer))
        return Fail(kErrorInvalidParameter, 5, 0x24, sense);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    switch (cdb[0]) {
    case kScsiInquiry:
        if (!dataIn || byteCount < 36 || (cdb[1] & 1))
            break;
        memset(out, ' ', 36);
        out[0] = 5;
        out[1] = 0x80;
        out[4] = 31;
        memcpy(out + 8, "QUELLMOR", 8);
        memcpy(out + 16, "EMULATED CDROM", 14);
        memcpy(out + 32, "1.0 ", 4);
        return 1;
    case kScsiReadCapacity10:
        if (!dataIn || byteCount < 8 || m_leadOut == 0)
            break;
        WriteBe32(out, uint32_t(m_leadOut - 1));
        WriteBe32(out + 4, 2048);
        return 1;
    case kScsiReadToc:
        if (cdbLength < 10 || !dataIn)
            break;
        return Toc(cdb[2] & 0x0F, ReadBe16(cdb + 7), out, byteCount);
    case kScsiRead10: {
        if (cdbLength < 10 || !dataIn)
            break;
        const uint32_t count = ReadBe16(cdb + 7);
        if (uint64_t(count) * 2048 != byteCount)
            return Fail(kErrorInvalidParameter, 5, 0x24, sense);
        return ReadData(ReadBe32(cdb + 2), count, out, sense);
    }
    case kScsiReadCd: {
        if (cdbLength < 12 || !dataIn)
            break;
        const uint32_t count = (uint32_t(cdb[6]) << 16) | (uint32_t(cdb[7]) << 8) | cdb[8];
        if (cdb[9] != 0xF8 || uint64_t(count) * 2352 != byteCount)
            return Fail(kErrorInvalidParameter, 5, 0x24, sense);
        return ReadCd(ReadBe32(cdb + 2), count, out, sense);
    }
    default:
        break;
    }
    return Fail(kErrorIoDevice, 5, 0x20, sense);
}
