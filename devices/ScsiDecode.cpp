#include "devices/ScsiDecode.h"
#include <cstring>
#include "devices/BlockAddressing.h"

uint32_t ReadBe16(const uint8_t* p) { return (uint32_t(p[0]) << 8) | p[1]; }
uint32_t ReadBe32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
uint64_t ReadBe64(const uint8_t* p) { return (uint64_t(ReadBe32(p)) << 32) | ReadBe32(p + 4); }
void WriteBe16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
void WriteBe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
void WriteBe64(uint8_t* p, uint64_t v)
{
    WriteBe32(p, uint32_t(v >> 32));
    WriteBe32(p + 4, uint32_t(v));
}

std::string FixedText(const uint8_t* p, size_t width)
{
    size_t n = 0;
    while (n < width && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::string TrimRight(const std::string& text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return text.substr(0, end);
}

std::string TrimBoth(const std::string& text)
{
    size_t begin = 0;
    while (begin < text.size() && text[begin] == ' ')
        ++begin;
    return TrimRight(text.substr(begin));
}

static int FinishCapacity(uint64_t lastBlock, uint32_t blockSize, C_CapacityAnswer* out)
{
    // Some drives answer 0x7FFFFFFF when they do not know; a small range keeps tests sane.
    const uint64_t count = lastBlock == 0x7FFFFFFFu ? 1000 : lastBlock + 1;
    const uint32_t size = blockSize ? blockSize : 512;
    // A size no byte address can reach (or a last block of all ones, whose count wraps to 0)
    // would let valid-looking blocks wrap to the disk's start.
    if (count == 0 || !CapacityAddressable(count, size))
        return 0;
    out->blockCount = count;
    out->blockSize = size;
    out->firstBlock = size != 512 ? 16 : 0;
    return 1;
}

int DecodeReadCapacity10(const uint8_t* data, size_t size, C_CapacityAnswer* out)
{
    *out = C_CapacityAnswer();
    if (!data || size < 8)
        return 0;
    const uint32_t last = ReadBe32(data);
    if (last >= 0xFFFFFFFEu) {
        out->needs16 = 1;
        return 0;
    }
    return FinishCapacity(last, ReadBe32(data + 4), out);
}

int DecodeReadCapacity16(const uint8_t* data, size_t size, C_CapacityAnswer* out)
{
    *out = C_CapacityAnswer();
    if (!data || size < 12)
        return 0;
    return FinishCapacity(ReadBe64(data), ReadBe32(data + 8), out);
}

uint32_t MsfToBlock(uint32_t minute, uint32_t second, uint32_t frame)
{
    const uint32_t all = minute * 4500u + second * 75u + frame;
    return all > 150 ? all - 150 : 0;
}

void DecodeFullToc(const uint8_t* data, size_t size, std::vector<C_TocTrack>* tracks)
{
    tracks->clear();
    if (!data || size < 4)
        return;
    uint32_t length = ReadBe16(data);
    if (length > 2046)
        length = 2046;
    if (length < 2)
        return;
    size_t count = (length - 2) / 11;
    // The header may claim more than the device actually transferred.
    if (count > (size - 4) / 11)
        count = (size - 4) / 11;
    uint64_t leadOut = 0;
    int haveLeadOut = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* d = data + 4 + i * 11;
        const uint32_t point = d[3];
        const uint32_t address = MsfToBlock(d[8], d[9], d[10]);
        if (point == 0xA2) {
            leadOut = address;
            haveLeadOut = 1;
        } else if (point >= 1 && point <= 99 && haveLeadOut) {
            C_TocTrack t;
            t.number = point;
            t.control = d[1] & 0x0F;
            t.firstBlock = address;
            t.leadOut = leadOut;
            tracks->push_back(t);
        }
    }
}

uint32_t AudioTransferLimit(uint32_t parentMaxBlocks, uint32_t parentBlockSize)
{
    const uint64_t blocks = uint64_t(parentMaxBlocks) * parentBlockSize / 2352;
    // One block stays one; a drive whose limit holds no whole audio block still gets one.
    if (blocks <= 1)
        return 1;
    return uint32_t(blocks - 1 > 0xFFFFFFFFu ? 0xFFFFFFFFu : blocks - 1);
}

int DecodeInquiry(const uint8_t* data, size_t size, C_DeviceTexts* texts)
{
    if (!data || size < 36)
        return 0;
    texts->vendor = TrimRight(FixedText(data + 8, 8));
    texts->product = TrimRight(FixedText(data + 16, 16));
    texts->revision = TrimRight(FixedText(data + 32, 4));
    return 1;
}

uint32_t InquiryDeviceType(const uint8_t* data, size_t size)
{
    return data && size >= 1 ? data[0] & 0x1Fu : 0x1Fu;
}

int DecodeUnitSerialPage(const uint8_t* data, size_t size, std::string* serial)
{
    if (!data || size < 4 || data[1] != 0x80)
        return 0;
    const size_t length = data[3];
    if (length == 0 || 4 + length > size)
        return 0;
    for (size_t i = 0; i < length; ++i)
        if (data[4 + i] < 32 || data[4 + i] > 127)
            return 0;
    *serial = std::string(reinterpret_cast<const char*>(data + 4), length);
    return 1;
}

// ATA strings store two characters per 16-bit word, the first in the high byte.
static std::string AtaString(const uint8_t* data, size_t firstWord, size_t words)
{
    std::string text;
    for (size_t w = firstWord; w < firstWord + words; ++w) {
        text += char(data[w * 2 + 1]);
        text += char(data[w * 2]);
    }
    return text;
}

int DecodeIdentify(const uint8_t* data, size_t size, C_DeviceTexts* texts)
{
    if (!data || size < 512)
        return 0;
    std::string serial = AtaString(data, 10, 10);
    const size_t cut = serial.find('\xFF');
    if (cut != std::string::npos)
        serial.resize(cut);
    serial = serial.substr(0, strnlen(serial.c_str(), serial.size()));
    texts->serial = TrimBoth(serial);
    std::string model = AtaString(data, 27, 20);
    model = model.substr(0, strnlen(model.c_str(), model.size()));
    std::string vendor = model.substr(0, 8);
    vendor.resize(8, ' ');
    texts->vendor = vendor;
    texts->product = model.size() > 8 ? TrimBoth(model.substr(8)) : std::string();
    std::string revision = AtaString(data, 23, 4);
    texts->revision = TrimRight(revision.substr(0, strnlen(revision.c_str(), revision.size())));
    return 1;
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string DecodeDescriptorSerial(const std::string& serial)
{
    std::string decoded;
    size_t i = 0;
    for (; i + 4 <= serial.size(); i += 4) {
        int v[4];
        for (int k = 0; k < 4; ++k)
            if ((v[k] = HexDigit(serial[i + k])) < 0)
                return serial;
        const int first = v[0] * 16 + v[1], second = v[2] * 16 + v[3];
        if (first == 0 && second == 0)
            return decoded.empty() ? serial : decoded;
        if (first < 32 || first > 127 || second < 32 || second > 127)
            return serial;
        decoded += char(second);
        decoded += char(first);
    }
    if (i != serial.size() || decoded.empty())
        return serial;
    return decoded;
}

static uint32_t ReadLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A text at a descriptor offset, 0 meaning absent; never past the returned bytes.
static std::string DescriptorText(const uint8_t* data, size_t size, uint32_t offset)
{
    if (offset == 0 || offset >= size)
        return std::string();
    return FixedText(data + offset, size - offset);
}

int DecodeStorageDescriptor(const uint8_t* data, size_t size, C_StorageDescriptor* out)
{
    *out = C_StorageDescriptor();
    if (!data || size < 36)
        return 0;
    const uint32_t declared = ReadLe32(data + 4);
    if (declared < size)
        size = declared < 36 ? 36 : declared;
    out->deviceType = data[8];
    out->removable = data[10];
    out->texts.vendor = TrimBoth(DescriptorText(data, size, ReadLe32(data + 12)));
    out->texts.product = TrimBoth(DescriptorText(data, size, ReadLe32(data + 16)));
    out->texts.revision = TrimBoth(DescriptorText(data, size, ReadLe32(data + 20)));
    out->texts.serial =
        TrimBoth(DecodeDescriptorSerial(TrimBoth(DescriptorText(data, size, ReadLe32(data + 24)))));
    out->busType = ReadLe32(data + 28);
    const uint32_t rawLength = ReadLe32(data + 32);
    if (rawLength == 36 && size >= 36 + 36)
        out->rawInquiry.assign(data + 36, data + 72);
    return 1;
}

uint32_t BusBitsFromBusType(uint32_t busType)
{
    switch (busType) {
    case 1:
        return 0x4;
    case 4:
        return 0x8;
    case 7:
        return 0x2;
    case 9:
        return 0x20;
    default:
        return 0;
    }
}

void ApplyRawInquiry(const std::vector<uint8_t>& raw, uint32_t bus, C_DeviceTexts* texts)
{
    if (raw.size() != 36)
        return;
    const size_t shift = (bus & 0x5) ? 4 : 0;
    texts->vendor = TrimRight(FixedText(raw.data() + 8 + shift, 8));
    texts->product =
        TrimRight(FixedText(raw.data() + 16 + shift, 36 - 16 - shift < 16 ? 36 - 16 - shift : 16));
    if (texts->revision.empty())
        texts->revision = TrimRight(FixedText(raw.data() + 32, 4));
}

uint32_t PackLocation(uint32_t deviceType, uint32_t deviceNumber, uint32_t partition)
{
    return ((deviceType & 0xFFFF) << 16) | ((deviceNumber & 0xFF) << 8) | (partition & 0xFF);
}

static uint32_t ReadLe16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }

// Mount point entry: link offset (4), length (2), pad, id offset (4), length (2), pad,
// device name offset (4), length (2), pad: 24 bytes after an 8-byte header.
void DecodeMountPointLetters(const uint8_t* data, size_t size, std::string* letters)
{
    if (!data || size < 8)
        return;
    const uint32_t count = ReadLe32(data + 4);
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t at = 8 + i * 24;
        if (at + 24 > size)
            return;
        const uint32_t offset = ReadLe32(data + at);
        const uint32_t length = ReadLe16(data + at + 4);
        static const char prefix[] = "\\DosDevices\\";
        const uint32_t want = (sizeof prefix - 1 + 2) * 2;
        if (length != want || uint64_t(offset) + length > size)
            continue;
        bool match = true;
        for (size_t k = 0; k < sizeof prefix - 1 && match; ++k)
            match = ReadLe16(data + offset + k * 2) == uint8_t(prefix[k]);
        const uint32_t letter = ReadLe16(data + offset + (sizeof prefix - 1) * 2);
        const uint32_t colon = ReadLe16(data + offset + (sizeof prefix) * 2);
        if (!match || colon != ':')
            continue;
        const uint32_t upper = letter >= 'a' && letter <= 'z' ? letter - 32 : letter;
        if (upper < 'A' || upper > 'Z' || letters->find(char(upper)) != std::string::npos)
            continue;
        *letters += char(upper);
    }
}

std::vector<uint8_t> EncodeMountPointQuery(const std::u16string& deviceName)
{
    const size_t nameBytes = deviceName.size() * 2;
    std::vector<uint8_t> block(24 + nameBytes + 2, 0);
    uint8_t* p = block.data();
    p[16] = 24; // the name follows the entry
    p[20] = uint8_t(nameBytes);
    p[21] = uint8_t(nameBytes >> 8);
    for (size_t i = 0; i < deviceName.size(); ++i) {
        p[24 + 2 * i] = uint8_t(deviceName[i]);
        p[25 + 2 * i] = uint8_t(deviceName[i] >> 8);
    }
    block.resize(24 + nameBytes);
    return block;
}

int DecodeDosDeviceParams(const uint8_t* data, size_t size, uint32_t* bytesPerSector, uint64_t* sectors)
{
    // BIOS parameter block: bytes per sector at 0, total sectors (16 bits) at 8, total
    // sectors (32 bits) at 21.
    const size_t bpb = 7;
    if (!data || size < bpb + 25)
        return 0;
    const uint32_t bps = ReadLe16(data + bpb);
    const uint32_t small = ReadLe16(data + bpb + 8);
    const uint32_t large = ReadLe32(data + bpb + 21);
    if (bps == 0)
        return 0;
    *bytesPerSector = bps;
    *sectors = small ? small : large;
    return 1;
}
