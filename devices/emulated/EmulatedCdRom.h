// An emulated CD-ROM drive: a data track read from an ISO 9660 image and synthetic audio
// tracks, the data first, or last as on an enhanced CD. It answers READ TOC (formats 0 and 2), READ(10), READ CD,
// READ CAPACITY and INQUIRY, and fails transfers on injected blocks.
#pragma once
#include <string>
#include <vector>
#include "core/File.h"
#include "devices/Device.h"
#include "devices/emulated/FaultPlan.h"

class C_EmulatedCdRom : public C_Device {
public:
    // isoPath may be empty for an audio-only disc; each audio track has the given blocks.
    // With dataLast the image's first block is the disc block after the audio tracks (an
    // image mastered for that address).
    C_EmulatedCdRom(const std::string& isoPath, const std::vector<uint32_t>& audioTrackBlocks,
                    int dataLast = 0);

    int QueryCapacity() override;
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override;
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t* sense) override;
    int Open() override;
    int Close() override;

    // The byte an audio sample carries at a position of a block: what a test expects.
    static uint8_t AudioByte(uint64_t block, uint32_t offset);
    uint64_t DataBlocks() const { return m_dataBlocks; }
    uint64_t LeadOut() const { return m_leadOut; }
    // First block of each track, in track order.
    const std::vector<uint64_t>& TrackStarts() const { return m_starts; }

    C_FaultPlan faults;
    uint32_t commands = 0;

private:
    int ReadData(uint64_t block, uint32_t count, uint8_t* out, uint8_t* sense);
    int ReadCd(uint64_t block, uint32_t count, uint8_t* out, uint8_t* sense);
    int Toc(uint32_t format, uint32_t allocation, uint8_t* out, uint32_t byteCount);
    int Fail(uint32_t error, uint8_t key, uint8_t asc, uint8_t* sense);
    int IsDataBlock(uint64_t block) const
    {
        return block >= m_dataStart && block - m_dataStart < m_dataBlocks;
    }

    C_File m_file;
    uint64_t m_dataBlocks = 0;
    uint64_t m_dataStart = 0;
    uint32_t m_dataTrack = 0;
    uint64_t m_leadOut = 0;
    std::vector<uint64_t> m_starts;
    int m_hasData = 0;
};
