#include "app/info/HtmlDialogText.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

std::string HtmlAddressForNumber(const std::string& programPath, uint32_t number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%u", unsigned(number));
    return "res://" + programPath + "/#" + digits;
}

std::string HtmlAddressForName(const std::string& programPath, const std::string& page)
{
    if (page.find("://") != std::string::npos)
        return page;
    return "res://" + programPath + "/" + page;
}

std::string TitleFromArgument(const char* argument)
{
    if (!argument)
        return "Quellmor";
    const std::string text(argument);
    if (text.find(';') != std::string::npos)
        return "Quellmor";
    return text;
}

namespace {

std::string Trimmed(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool SameNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

int HtmlDialogFeaturePixels(const std::string& options, const std::string& feature)
{
    size_t start = 0;
    while (start <= options.size()) {
        size_t end = options.find(';', start);
        if (end == std::string::npos)
            end = options.size();
        const std::string item = options.substr(start, end - start);
        const size_t colon = item.find_first_of(":=");
        if (colon != std::string::npos && SameNoCase(Trimmed(item.substr(0, colon)), feature)) {
            std::string value = Trimmed(item.substr(colon + 1));
            if (value.size() > 2 && SameNoCase(value.substr(value.size() - 2), "px"))
                value.resize(value.size() - 2);
            char* stop = nullptr;
            const long pixels = std::strtol(value.c_str(), &stop, 10);
            if (stop && *stop == 0 && !value.empty() && pixels > 0 && pixels < 100000)
                return int(pixels);
            return 0;
        }
        start = end + 1;
    }
    return 0;
}
