#include "app/pages/quick/model/RunRules.h"

uint64_t QuickFileSizeBytes(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    const uint64_t limit = UINT64_MAX >> 20;
    uint64_t mib = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        const uint64_t digit = (uint64_t)(text[i] - '0');
        if (mib > (limit - digit) / 10)
            return 0;
        mib = mib * 10 + digit;
    }
    return digits ? mib << 20 : 0;
}

std::string QuickLogPath(const std::string& desktop)
{
    std::string path = desktop;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + "Quellmor.txt";
}
