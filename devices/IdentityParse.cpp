#include "devices/IdentityParse.h"
#include <cctype>
#include <cstring>

size_t FindNoCase(const std::string& text, const char* what, size_t from)
{
    const size_t n = strlen(what);
    if (n > text.size())
        return std::string::npos;
    for (size_t i = from; i + n <= text.size(); ++i) {
        size_t k = 0;
        while (k < n && toupper(static_cast<unsigned char>(text[i + k])) ==
                            toupper(static_cast<unsigned char>(what[k])))
            ++k;
        if (k == n)
            return i;
    }
    return std::string::npos;
}

int StartsWithNoCase(const std::string& text, const char* prefix)
{
    const size_t n = strlen(prefix);
    return text.size() >= n && FindNoCase(text.substr(0, n), prefix) == 0;
}

// Identifiers are applied from the device node outwards; a later one that knows a field
// replaces what an earlier, vaguer one (a hardware identifier) said.
static void SetKnown(std::string& field, const std::string& value)
{
    if (!value.empty())
        field = value;
}

static void AddHardwareId(C_IdentityFields* f, const std::string& id)
{
    if (f->hardwareIds.find(id) != std::string::npos)
        return;
    if (!f->hardwareIds.empty())
        f->hardwareIds += ' ';
    f->hardwareIds += id;
}

// Identifier fields are padded with blanks or, in device identifiers, underscores.
static std::string TrimPadding(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '_'))
        text.pop_back();
    return text;
}

static std::string Between(const std::string& text, const char* key, char end)
{
    const size_t at = FindNoCase(text, key);
    if (at == std::string::npos)
        return std::string();
    const size_t begin = at + strlen(key);
    const size_t stop = text.find(end, begin);
    return text.substr(begin, stop == std::string::npos ? std::string::npos : stop - begin);
}

static std::string AfterLast(const std::string& text, char c)
{
    const size_t at = text.rfind(c);
    return at == std::string::npos ? text : text.substr(at + 1);
}

static int ParseHex(const std::string& text, size_t at, size_t digits, uint32_t* value)
{
    if (at + digits > text.size())
        return 0;
    uint32_t v = 0;
    for (size_t i = at; i < at + digits; ++i) {
        const int c = toupper(static_cast<unsigned char>(text[i]));
        if (c >= '0' && c <= '9')
            v = v * 16 + uint32_t(c - '0');
        else if (c >= 'A' && c <= 'F')
            v = v * 16 + uint32_t(c - 'A' + 10);
        else
            return 0;
    }
    *value = v;
    return 1;
}

static int ParseHex64(const std::string& text, uint64_t* value)
{
    if (text.empty() || text.size() > 16)
        return 0;
    uint64_t v = 0;
    for (char ch : text) {
        const int c = toupper(static_cast<unsigned char>(ch));
        if (c >= '0' && c <= '9')
            v = v * 16 + uint64_t(c - '0');
        else if (c >= 'A' && c <= 'F')
            v = v * 16 + uint64_t(c - 'A' + 10);
        else
            return 0;
    }
    *value = v;
    return 1;
}

static void ParseStorageIdentifier(const std::string& id, C_IdentityFields* f)
{
    const std::string tail = AfterLast(id, '\\');
    if (FindNoCase(tail, "USB&VID_") != std::string::npos) {
        SetKnown(f->serialText, AfterLast(tail, '&'));
    } else {
        std::string serial = tail.substr(0, tail.find('&'));
        for (char& c : serial)
            if (c == '_')
                c = ' ';
        while (!serial.empty() && serial.back() == ' ')
            serial.pop_back();
        SetKnown(f->serialText, serial);
        const size_t amp = tail.rfind('&');
        if (amp != std::string::npos && amp + 1 < tail.size()) {
            uint32_t n = 0;
            bool digits = true;
            for (size_t i = amp + 1; i < tail.size() && digits; ++i) {
                digits = isdigit(static_cast<unsigned char>(tail[i])) != 0;
                n = n * 10 + uint32_t(tail[i] - '0');
            }
            if (digits) {
                f->hasSerialSuffix = 1;
                f->serialSuffix = n;
            }
        }
    }
    if (FindNoCase(id, "USBSTOR\\") != std::string::npos) {
        SetKnown(f->vendor, Between(id, "&VEN_", '&'));
        SetKnown(f->product, Between(id, "&PROD_", '&'));
        SetKnown(f->revision, Between(id, "&REV_", '\\'));
    }
}

static void ParseIdeIdentifier(const std::string& id, size_t shift, C_IdentityFields* f)
{
    auto field = [&](size_t at, size_t width) {
        return at + shift < id.size() ? TrimPadding(id.substr(at + shift, width)) : std::string();
    };
    SetKnown(f->vendor, field(8, 8));
    SetKnown(f->product, field(16, 32));
    SetKnown(f->revision, field(48, 8));
    // The fixed-width fields end where the instance part begins.
    for (std::string* s : {&f->vendor, &f->product, &f->revision}) {
        const size_t cut = s->find('\\');
        if (cut != std::string::npos)
            *s = TrimPadding(s->substr(0, cut));
    }
}

static void Parse1394Identifier(const std::string& id, uint32_t options, C_IdentityFields* f)
{
    AddHardwareId(f, id);
    const std::string rest = id.substr(5);
    const size_t amp = rest.find('&');
    if (amp == std::string::npos)
        return;
    SetKnown(f->vendor1394, rest.substr(0, amp));
    const size_t slash = rest.find('\\', amp + 1);
    SetKnown(f->model1394,
             rest.substr(amp + 1, slash == std::string::npos ? std::string::npos : slash - amp - 1));
    if (slash == std::string::npos)
        return;
    std::string unique = rest.substr(slash + 1);
    uint64_t value = 0;
    if (!(options & 0x8000) && ParseHex64(unique, &value)) {
        uint64_t swapped = 0;
        for (int i = 0; i < 8; ++i)
            swapped = (swapped << 8) | ((value >> (8 * i)) & 0xFF);
        static const char digits[] = "0123456789ABCDEF";
        unique.assign(16, '0');
        for (int i = 15; i >= 0; --i, swapped >>= 4)
            unique[size_t(i)] = digits[swapped & 0xF];
    }
    f->id1394 = unique;
}

int ParseDeviceIdentifier(const std::string& id, uint32_t options, C_IdentityFields* f)
{
    if (FindNoCase(id, "TPPIOSTB\\") != std::string::npos ||
        FindNoCase(id, "CY_IOSTB\\") != std::string::npos ||
        FindNoCase(id, "USBSTOR\\") != std::string::npos) {
        ParseStorageIdentifier(id, f);
        return 1;
    }
    if (StartsWithNoCase(id, "IDE\\CDROM")) {
        ParseIdeIdentifier(id, 1, f);
        return 2;
    }
    if (StartsWithNoCase(id, "IDE\\DISK")) {
        ParseIdeIdentifier(id, 0, f);
        return 2;
    }
    if (FindNoCase(id, "PU20SYSD\\") != std::string::npos ||
        FindNoCase(id, "NECUSB\\") != std::string::npos) {
        if (id.find('&') != std::string::npos)
            SetKnown(f->serialText, AfterLast(id, '&'));
        return 3;
    }
    if (StartsWithNoCase(id, "USB\\VID")) {
        AddHardwareId(f, id);
        uint32_t vid = 0, pid = 0;
        if (f->vendorId == 0 && f->productId == 0 && ParseHex(id, 8, 4, &vid) && ParseHex(id, 17, 4, &pid)) {
            f->vendorId = vid;
            f->productId = pid;
        }
        const size_t slash = id.rfind('\\');
        if (slash != std::string::npos && slash > 3) {
            std::string last = id.substr(slash + 1);
            if (!last.empty() && last.find('&') == std::string::npos) {
                if (StartsWithNoCase(last, "MSFT30"))
                    last = last.substr(6);
                SetKnown(f->serialText, last);
            }
        }
        return 4;
    }
    if (StartsWithNoCase(id, "1394\\")) {
        Parse1394Identifier(id, options, f);
        return 5;
    }
    if (StartsWithNoCase(id, "SBP2\\")) {
        const std::string rest = id.substr(5);
        if (FindNoCase(rest, "&LUN") != std::string::npos) {
            const size_t slash = rest.find('\\');
            if (slash != std::string::npos)
                SetKnown(f->id1394, rest.substr(slash + 1));
        }
        return 6;
    }
    if (StartsWithNoCase(id, "\\\\?\\hid#vid_")) {
        uint32_t vid = 0, pid = 0;
        if (ParseHex(id, 12, 4, &vid) && FindNoCase(id, "&pid_") == 16 && ParseHex(id, 21, 4, &pid)) {
            f->vendorId = vid;
            f->productId = pid;
        }
        return 7;
    }
    return 0;
}

uint32_t HubSpeedClass(const std::string& hubPath)
{
    if (FindNoCase(hubPath, "#ROOT_HUB30#") != std::string::npos)
        return 5;
    if (FindNoCase(hubPath, "#ROOT_HUB20#") != std::string::npos)
        return 2;
    return 1;
}

uint32_t DevicePathHash(const std::string& path)
{
    uint32_t h = 1;
    for (char ch : path) {
        const int32_t c = static_cast<int8_t>(ch);
        h = h * static_cast<uint32_t>(c);
        h = h + (h >> 24);
    }
    return h;
}

uint32_t IdentityRecordNumber(uint32_t classValue, const std::string& path, uint32_t port)
{
    // The hash stays below the class value so the high four bits keep telling the class.
    return (classValue << 28) | ((DevicePathHash(path) + port) & 0x0FFFFFFFu);
}
