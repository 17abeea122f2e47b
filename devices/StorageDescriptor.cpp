#include "devices/StorageDescriptor.h"
#include "devices/ByteFields.h"

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
