// Pure text helpers: byte sizes, rates, trimming, version numbers.
#include "core/Text.h"
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

// decimals: digits after the point once a unit with a prefix is taken; -1 for none from 10 units
// on and one below.
static char* FormatScaled(uint64_t value, char* text, int unitStyle, int decimals)
{
    const char* unit = unitStyle == 1 ? "B" : "Byte";
    // Each unit takes over once the value exceeds 2048 of the next smaller one.
    static const struct {
        int shift;
        char prefix;
    } steps[] = {{40, 'P'}, {30, 'T'}, {20, 'G'}, {10, 'M'}, {0, 'k'}};
    for (const auto& s : steps) {
        if ((value >> s.shift) > 2048) {
            // Unsigned conversion: sizes of 2^63 and more stay positive.
            double scaled = (double)value / (double)(1ull << (s.shift + 10));
            if (decimals < 0)
                decimals = scaled < 9.95 ? 1 : 0;
            snprintf(text, 32, "%.*f %c%s", decimals, scaled, s.prefix, unit);
            return text;
        }
    }
    snprintf(text, 32, "%" PRIu64 " Byte", value);
    return text;
}

char* FormatByteSize(uint64_t value, char* text, int unitStyle)
{
    return FormatScaled(value, text, unitStyle, 1);
}

std::string FormatByteSize(uint64_t value, int unitStyle)
{
    char text[32];
    return FormatByteSize(value, text, unitStyle);
}

std::string FormatRate(float bytesPerSecond)
{
    uint64_t whole = bytesPerSecond > 0 ? (uint64_t)bytesPerSecond : 0;
    return FormatByteSize(whole, 0) + "/sec";
}

std::string FormatShortRate(float bytesPerSecond)
{
    char text[32];
    uint64_t whole = bytesPerSecond > 0 ? (uint64_t)bytesPerSecond : 0;
    return std::string(FormatScaled(whole, text, 0, -1)) + "/sec";
}

std::string StringPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize((size_t)n + 1);
        vsnprintf(&out[0], out.size(), format, args);
        out.resize((size_t)n);
    }
    va_end(args);
    return out;
}

static bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string TrimWhite(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && IsWhite(text[b]))
        ++b;
    while (e > b && IsWhite(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

const char* FindUnquotedBlank(const char* text)
{
    bool quoted = false;
    const char* p = text;
    for (; *p; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (*p == ' ' && !quoted)
            break;
    }
    return p;
}

const char* SkipProgramName(const char* commandLine)
{
    const char* blank = FindUnquotedBlank(commandLine);
    return *blank ? blank + 1 : blank;
}

void CleanErrorText(char* text)
{
    size_t n = 0;
    for (; text[n]; ++n)
        if (text[n] == '\r' || text[n] == '\n')
            text[n] = ' ';
    while (n > 0 && text[n - 1] == ' ')
        text[--n] = 0;
}

int ParseVersionPair(const char* text, uint32_t* major, uint32_t* minor)
{
    unsigned a = 0, b = 0;
    if (!text || sscanf(text, "%u.%u", &a, &b) != 2)
        return 0;
    *major = a;
    *minor = b;
    return 1;
}

std::string FormatTitle(const char* product, uint32_t major, uint32_t minor)
{
    return StringPrintf("%s [%u.%02u]", product, (unsigned)major, (unsigned)minor);
}
