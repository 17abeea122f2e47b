#include "devices/MountPoints.h"
#include "devices/ByteFields.h"

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
