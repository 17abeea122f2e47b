// Decoders of the answers SCSI and MMC devices give: READ CAPACITY, the full TOC, INQUIRY
// and the unit serial number page. All of them take the bytes exactly as returned, with the
// returned length, and never read beyond it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "devices/DeviceTexts.h"

struct C_CapacityAnswer {
    uint64_t blockCount = 0;
    uint32_t blockSize = 0;
    uint64_t firstBlock = 0;
    int needs16 = 0; // the 10-byte form cannot express the size: ask READ CAPACITY(16)
};
// READ CAPACITY(10): 8 bytes. 0 when too short or the device reports no blocks.
int DecodeReadCapacity10(const uint8_t* data, size_t size, C_CapacityAnswer* out);
// READ CAPACITY(16): at least 12 bytes. 0 when the blocks reach beyond kByteAddressLimit bytes
// or the last block address is all ones.
int DecodeReadCapacity16(const uint8_t* data, size_t size, C_CapacityAnswer* out);

// Minute/second/frame address to a block address; addresses before 00:02:00 give 0.
uint32_t MsfToBlock(uint32_t minute, uint32_t second, uint32_t frame);

struct C_TocTrack {
    uint32_t number = 0;  // point 1..99
    uint32_t control = 0; // control nibble; 0x4 marks a data track
    uint64_t firstBlock = 0;
    uint64_t leadOut = 0; // the lead-out seen before this track's descriptor
    int IsData() const { return (control & 0x4) != 0; }
};
// READ TOC format 2 (full TOC). Tracks are listed once a lead-out address was seen.
void DecodeFullToc(const uint8_t* data, size_t size, std::vector<C_TocTrack>* tracks);
// Blocks of 2352 bytes an audio track may carry in one transfer of its drive.
uint32_t AudioTransferLimit(uint32_t parentMaxBlocks, uint32_t parentBlockSize);

// Standard INQUIRY data (36 bytes): vendor, product and revision, trailing blanks removed.
int DecodeInquiry(const uint8_t* data, size_t size, C_DeviceTexts* texts);
// Peripheral device type of INQUIRY data (0x1F when unknown).
uint32_t InquiryDeviceType(const uint8_t* data, size_t size);
// Unit serial number page 0x80; 0 unless every serial byte is printable (32..127).
int DecodeUnitSerialPage(const uint8_t* data, size_t size, std::string* serial);
