// Decoders of the answers devices give: READ CAPACITY, the full TOC, INQUIRY, the unit
// serial number page, ATA IDENTIFY data and the storage device descriptor. All of them
// take the bytes exactly as returned, with the returned length, and never read beyond it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

struct C_DeviceTexts {
    std::string vendor, product, revision, serial;
};
// Standard INQUIRY data (36 bytes): vendor, product and revision, trailing blanks removed.
int DecodeInquiry(const uint8_t* data, size_t size, C_DeviceTexts* texts);
// Peripheral device type of INQUIRY data (0x1F when unknown).
uint32_t InquiryDeviceType(const uint8_t* data, size_t size);
// Unit serial number page 0x80; 0 unless every serial byte is printable (32..127).
int DecodeUnitSerialPage(const uint8_t* data, size_t size, std::string* serial);
// ATA IDENTIFY DEVICE data (512 bytes): serial, vendor (first 8 model characters),
// product (the rest of the model) and revision.
int DecodeIdentify(const uint8_t* data, size_t size, C_DeviceTexts* texts);

// A serial given as groups of four hexadecimal digits, each naming two printable
// characters stored swapped, is decoded; any other text is returned unchanged.
std::string DecodeDescriptorSerial(const std::string& serial);

struct C_StorageDescriptor {
    uint32_t deviceType = 0;
    uint32_t removable = 0;
    uint32_t busType = 0;
    C_DeviceTexts texts;
    std::vector<uint8_t> rawInquiry; // the raw device properties when exactly 36 bytes
};
// The storage device descriptor as returned by the storage property query.
int DecodeStorageDescriptor(const uint8_t* data, size_t size, C_StorageDescriptor* out);
// Bus bits for the descriptor's bus type (SCSI, IEEE 1394, USB, iSCSI); 0 for others.
uint32_t BusBitsFromBusType(uint32_t busType);
// Vendor and product from raw INQUIRY data carried by the descriptor; shifted by four
// bytes for the bridges that set identity bus bits 0x1 or 0x4.
void ApplyRawInquiry(const std::vector<uint8_t>& raw, uint32_t bus, C_DeviceTexts* texts);

// Drive letters ("\DosDevices\X:" links) of a mount manager's list of mount points, in
// the order listed, each once.
void DecodeMountPointLetters(const uint8_t* data, size_t size, std::string* letters);
// The mount point query for one device name: the input block the mount manager expects.
std::vector<uint8_t> EncodeMountPointQuery(const std::u16string& deviceName);

// Device parameters of a DOS drive (special functions, device type, attributes, cylinders,
// media type, then the BIOS parameter block from byte 7): bytes per sector and the total
// sectors, the 16-bit count or, when that is 0, the 32-bit one. 0 when unusable.
int DecodeDosDeviceParams(const uint8_t* data, size_t size, uint32_t* bytesPerSector, uint64_t* sectors);

// Location key: (device type << 16) | (device number << 8) | partition number.
uint32_t PackLocation(uint32_t deviceType, uint32_t deviceNumber, uint32_t partition);

// Big-endian readers of command answers.
uint32_t ReadBe16(const uint8_t* p);
uint32_t ReadBe32(const uint8_t* p);
uint64_t ReadBe64(const uint8_t* p);
void WriteBe16(uint8_t* p, uint32_t v);
void WriteBe32(uint8_t* p, uint32_t v);
void WriteBe64(uint8_t* p, uint64_t v);

// Text of a fixed-width field: at most width bytes, stopping at a zero byte.
std::string FixedText(const uint8_t* p, size_t width);
std::string TrimRight(const std::string& text);
std::string TrimBoth(const std::string& text);
