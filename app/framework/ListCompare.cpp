#include "app/framework/ListCompare.h"
#include <cstdlib>

bool ParseSizeText(const std::string& text, double* bytes)
{
    static const struct {
        const char* unit;
        double factor;
    } units[] = {
        {" PByte", 1125899906842624.0}, {" TByte", 1099511627776.0}, {" GByte", 1073741824.0},
        {" MByte", 1048576.0},          {" kByte", 1024.0},          {" Byte", 1.0},
    };
    for (const auto& u : units) {
        if (text.find(u.unit) == std::string::npos)
            continue;
        *bytes = strtod(text.c_str(), nullptr) * u.factor;
        return true;
    }
    return false;
}

std::string RemoveSeparators(const std::string& text, const std::string& separator)
{
    if (separator.empty())
        return text;
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, separator.size(), separator) == 0) {
            i += separator.size();
        } else {
            result += text[i];
            ++i;
        }
    }
    return result;
}

int CompareCells(const std::string& a, const std::string& b, const std::string& thousands, bool descending,
                 TextOrder order)
{
    int result;
    double sizeA = 0, sizeB = 0;
    if (ParseSizeText(a, &sizeA) && ParseSizeText(b, &sizeB))
        result = sizeA < sizeB ? -1 : sizeA > sizeB ? 1 : 0;
    else
        result = order(RemoveSeparators(a, thousands), RemoveSeparators(b, thousands));
    return descending ? -result : result;
}
