#include "app/framework/ControlLook.h"
#include <cstdio>
#include <strings.h>

std::vector<std::string> SplitFaceList(const std::string& faces)
{
    std::string list = faces.empty() ? "Segoe UI;Verdana;MS Sans Serif" : faces;
    std::vector<std::string> result;
    std::string current;
    auto flush = [&]() {
        size_t begin = current.find_first_not_of(" \t");
        size_t end = current.find_last_not_of(" \t");
        if (begin != std::string::npos)
            result.push_back(current.substr(begin, end - begin + 1));
        current.clear();
    };
    for (char c : list) {
        if (c == ',' || c == ';')
            flush();
        else
            current += c;
    }
    flush();
    return result;
}

bool ParseRgbText(const char* text, uint8_t* red, uint8_t* green, uint8_t* blue)
{
    unsigned r = 0, g = 0, b = 0;
    if (!text || sscanf(text, "%u,%u,%u", &r, &g, &b) != 3 || r > 255 || g > 255 || b > 255)
        return false;
    *red = (uint8_t)r;
    *green = (uint8_t)g;
    *blue = (uint8_t)b;
    return true;
}

UnderlineMode ParseUnderlineMode(const char* text)
{
    if (text && strcasecmp(text, "no") == 0)
        return kUnderlineNever;
    if (text && strcasecmp(text, "hover") == 0)
        return kUnderlineHover;
    return kUnderlineAlways;
}

bool IsYes(const char* text) { return text && strcasecmp(text, "yes") == 0; }
