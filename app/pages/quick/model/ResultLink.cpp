#include "app/pages/quick/model/ResultLink.h"
#include "core/Text.h"

std::string ClassText(uint32_t bits)
{
    static const char* const words[] = {"usb ", "fw ", "thunderbolt ", "ram_drive ", "network_drive "};
    std::string text;
    for (int i = 0; i < 5; ++i)
        if (bits & (1u << i))
            text += words[i];
    return text.empty() ? "internal" : text;
}

std::string ProcessorText(const std::string& name, uint32_t mhz)
{
    if (mhz && name.find("GHz") == std::string::npos)
        return StringPrintf("%s %.2f GHz", name.c_str(), mhz / 1000.0);
    return name;
}

std::string PercentEncode(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += (char)c;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string BuildResultAddress(const std::string& server, uint32_t readMiB, uint32_t writeMiB,
                               const std::string& device, const std::string& classText,
                               const std::string& processor)
{
    // Device and processor names carry blanks, "&" and "#": sent as they are they would cut
    // the query short or end it, so every value is encoded.
    return server + StringPrintf("/content/quellmor/benchmark.php?r=%u&w=%u&d=", readMiB, writeMiB) +
           PercentEncode(device) + "&c=" + PercentEncode(classText) + "&o=" + PercentEncode(processor);
}
