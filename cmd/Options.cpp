#include "cmd/Options.h"
#include <cctype>
#include <cinttypes>
#include <climits>
#include <cstring>
#include "core/Text.h"

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

static bool EqualNoCase(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i]))
            return false;
    return true;
}

size_t ReadOptionToken(const std::string& s, size_t pos, std::string& token)
{
    const size_t n = s.size();
    while (pos < n && IsBlank(s[pos]))
        ++pos;
    const size_t start = pos;
    bool quoted = false;
    while (pos < n) {
        if (s[pos] == '"') {
            if (pos + 1 < n && s[pos + 1] == '"') {
                pos += 2; // a doubled quote is a literal one and does not toggle
                continue;
            }
            quoted = !quoted;
            ++pos;
            continue;
        }
        if (IsBlank(s[pos]) && !quoted)
            break;
        ++pos;
    }
    std::string raw = s.substr(start, pos - start);
    if (!raw.empty() && raw[0] == '"')
        raw = raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : std::string();
    token.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        token += raw[i];
        if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"')
            ++i;
    }
    if (TrimWhite(token).empty())
        token.clear();
    return pos;
}

static int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

int ReadOptionNumber(const char* p, int hex, int64_t* value)
{
    while (*p && isspace((unsigned char)*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    int base = 10;
    if (hex) {
        base = 16;
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16)
            p += 2;
    } else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;
    }
    if (DigitValue(*p) >= base)
        return 0;
    uint64_t magnitude = 0;
    bool overflow = false;
    for (; DigitValue(*p) < base; ++p) {
        uint64_t d = (uint64_t)DigitValue(*p);
        if (magnitude > (UINT64_MAX - d) / (uint64_t)base)
            overflow = true;
        else
            magnitude = magnitude * (uint64_t)base + d;
    }
    if (negative)
        *value = (overflow || magnitude > (uint64_t)INT64_MAX + 1) ? INT64_MIN
                 : magnitude == (uint64_t)INT64_MAX + 1            ? INT64_MIN
                                                                   : -(int64_t)magnitude;
    else
        *value = (overflow || magnitude > (uint64_t)INT64_MAX) ? INT64_MAX : (int64_t)magnitude;
    return 1;
}

std::string CommandLineArguments(const std::string& commandLine)
{
    return TrimWhite(SkipProgramName(commandLine.c_str()));
}

int C_Options::AddNumber(const char* name, int kind, int64_t defaultValue, const char* help)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    std::unique_ptr<Record> r(new (std::nothrow)
                                  Record{name ? name : "", help ? help : "", kind, defaultValue, ""});
    if (!r)
        return 0;
    m_records.push_back(std::move(r));
    return 1;
}

int C_Options::AddString(const char* name, const char* defaultText, const char* help)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    std::unique_ptr<Record> r(new (std::nothrow) Record{name ? name : "", help ? help : "", kOptionString, 0,
                                                        defaultText ? defaultText : ""});
    if (!r)
        return 0;
    m_records.push_back(std::move(r));
    return 1;
}

C_Options::Record* C_Options::FindByPrefix(const char* text, size_t length)
{
    for (auto& r : m_records) {
        if (r->kind == kOptionFree || r->name.empty() || r->name.size() > length)
            continue;
        if (EqualNoCase(r->name.c_str(), text, r->name.size()))
            return r.get();
    }
    return nullptr;
}

int C_Options::ParseList(const std::string& s, C_OptionFileSource* files, int depth, bool& abort,
                         int& filesLeft)
{
    int result = 1;
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && !abort) {
        const char c = s[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '-' || c == '/') {
            Record* r = FindByPrefix(s.c_str() + i + 1, n - i - 1);
            if (!r) {
                result = 0;
                ++i;
                continue;
            }
            size_t j = i + 1 + r->name.size();
            r->given = 1;
            switch (r->kind) {
            case kOptionDecimal:
            case kOptionHex: {
                int64_t v;
                if (ReadOptionNumber(s.c_str() + j, r->kind == kOptionHex, &v))
                    r->number = v;
                while (j < n && IsBlank(s[j]))
                    ++j;
                while (j < n && !IsBlank(s[j]))
                    ++j;
                i = j;
                break;
            }
            case kOptionSwitch:
                r->number = 1;
                i = j;
                break;
            default: {
                std::string token;
                i = ReadOptionToken(s, j, r->text);
                (void)token;
                break;
            }
            }
            continue;
        }
        if (c == '@') {
            std::string name;
            i = ReadOptionToken(s, i + 1, name);
            if (name.empty()) {
                abort = true;
                return 0;
            }
            std::unique_ptr<C_OptionLineReader> reader;
            if (files && depth < kMaxCommandFileDepth && filesLeft > 0) {
                --filesLeft;
                reader = files->Open(name);
            }
            if (!reader) {
                result = 0;
                continue;
            }
            std::string line;
            while (reader->ReadLine(line)) {
                if (!ParseList(TrimWhite(line), files, depth + 1, abort, filesLeft)) {
                    result = 0;
                    break;
                }
            }
            continue;
        }
        std::string token;
        i = ReadOptionToken(s, i, token);
        m_records.push_back(std::unique_ptr<Record>(new Record{"", "", kOptionFree, 0, token}));
    }
    return abort ? 0 : result;
}

int C_Options::ParseElements(const std::string& elements, C_OptionFileSource* files)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    bool abort = false;
    int filesLeft = kMaxCommandFiles;
    return ParseList(elements, files, 0, abort, filesLeft);
}

int C_Options::ParseCommandLine(const std::string& commandLine, C_OptionFileSource* files)
{
    return ParseElements(CommandLineArguments(commandLine), files);
}

int64_t C_Options::GetNumber(const char* name) const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const size_t len = strlen(name);
    for (auto& r : m_records)
        if (r->kind <= kOptionSwitch && r->name.size() == len && EqualNoCase(r->name.c_str(), name, len))
            return r->number;
    return 0;
}

const char* C_Options::GetString(const char* name) const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const size_t len = strlen(name);
    for (auto& r : m_records)
        if (r->kind == kOptionString && r->name.size() == len && EqualNoCase(r->name.c_str(), name, len))
            return r->text.empty() ? nullptr : r->text.c_str();
    return nullptr;
}

int C_Options::WasGiven(const char* name) const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const size_t len = strlen(name);
    for (auto& r : m_records)
        if (r->kind != kOptionFree && r->name.size() == len && EqualNoCase(r->name.c_str(), name, len))
            return r->given;
    return 0;
}

void C_Options::FormatUsage(std::string& text) const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    text += "   @<file> [command file]\n";
    for (auto& r : m_records) {
        const std::string help = r->help.empty() ? std::string() : "[" + r->help + "]";
        switch (r->kind) {
        case kOptionDecimal:
            text += StringPrintf("   -%s %" PRId64 " %s\n", r->name.c_str(), r->number, help.c_str());
            break;
        case kOptionHex:
            text +=
                StringPrintf("   -%s 0x%" PRIX64 " %s\n", r->name.c_str(), (uint64_t)r->number, help.c_str());
            break;
        case kOptionSwitch:
            text += StringPrintf("   -%s %s\n", r->name.c_str(), help.c_str());
            break;
        case kOptionString:
            if (!r->text.empty())
                text += StringPrintf("   -%s %s %s\n", r->name.c_str(), r->text.c_str(), help.c_str());
            else
                text += StringPrintf("   -%s %s\n", r->name.c_str(), help.c_str());
            break;
        default:
            break;
        }
    }
}

size_t C_Options::GetFreeCount() const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    size_t n = 0;
    for (auto& r : m_records)
        n += r->kind == kOptionFree;
    return n;
}

std::string C_Options::GetFree(size_t index) const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    for (auto& r : m_records)
        if (r->kind == kOptionFree && index-- == 0)
            return r->text;
    return std::string();
}
