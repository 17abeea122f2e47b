#include "devices/ScsiDecode.h"
#include "devices/BlockAddressing.h"
#include "devices/ByteFields.h"

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
