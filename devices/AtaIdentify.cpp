#include "devices/AtaIdentify.h"
#include <cstring>
#include "devices/ByteFields.h"

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
