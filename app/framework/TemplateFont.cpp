#include "app/framework/TemplateFont.h"
#include <cstdlib>
#include <cstring>

namespace {

const uint32_t kDsSetFont = 0x40;

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
    bool ok = true;

    uint16_t Word()
    {
        if (pos + 2 > size) {
            ok = false;
            return 0;
        }
        uint16_t v = (uint16_t)(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return v;
    }
    uint32_t Dword()
    {
        uint32_t lo = Word();
        uint32_t hi = Word();
        return lo | (hi << 16);
    }
    void Skip(size_t n)
    {
        if (pos + n > size)
            ok = false;
        else
            pos += n;
    }
    // A zero-terminated UTF-16 string; its text is returned.
    std::u16string String()
    {
        std::u16string s;
        for (;;) {
            uint16_t c = Word();
            if (!ok || c == 0)
                return s;
            s += (char16_t)c;
        }
    }
    // Menu or class: none, an ordinal, or a string.
    void StringOrOrdinal()
    {
        uint16_t first = Word();
        if (!ok || first == 0)
            return;
        if (first == 0xFFFF) {
            Word();
            return;
        }
        String();
    }
};

} // namespace

bool ReadTemplateFont(const uint8_t* data, size_t size, TemplateFont* font)
{
    Reader r{data, size, 0};
    uint32_t style;
    bool extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    if (extended) {
        r.Skip(4); // version and signature
        r.Skip(4); // help id
        r.Skip(4); // extended style
        style = r.Dword();
    } else {
        style = r.Dword();
        r.Skip(4); // extended style
    }
    r.Skip(2 + 8); // item count and the rectangle
    r.StringOrOrdinal();
    r.StringOrOrdinal();
    r.String();
    if (!r.ok || !(style & kDsSetFont))
        return false;
    font->extended = extended;
    font->pointOffset = r.pos;
    font->pointSize = r.Word();
    if (extended)
        r.Skip(4); // weight, italic, character set
    font->faceOffset = r.pos;
    font->face = r.String();
    font->faceEnd = r.pos;
    return r.ok;
}

bool RewriteTemplateFont(const uint8_t* data, size_t size, uint16_t pointSize, const std::u16string& face,
                         std::vector<uint8_t>& out)
{
    TemplateFont font;
    if (!ReadTemplateFont(data, size, &font))
        return false;
    out.assign(data, data + font.faceOffset);
    out[font.pointOffset] = (uint8_t)(pointSize & 0xFF);
    out[font.pointOffset + 1] = (uint8_t)(pointSize >> 8);
    for (char16_t c : face) {
        out.push_back((uint8_t)(c & 0xFF));
        out.push_back((uint8_t)(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    // The items start on a 4-byte boundary in both the old and the new template.
    size_t rest = (font.faceEnd + 3) & ~(size_t)3;
    while (out.size() % 4)
        out.push_back(0);
    if (rest < size)
        out.insert(out.end(), data + rest, data + size);
    return true;
}

bool IsReplaceableTemplateFace(const std::u16string& face)
{
    return face == u"MS Sans Serif" || face == u"MS Shell Dlg" || face == u"System";
}

bool ChooseTemplateFont(const std::u16string& templateFace, const SystemFontFacts& facts,
                        bool preferShellDlg2, std::u16string* face, uint16_t* pointSize)
{
    if (!IsReplaceableTemplateFace(templateFace))
        return false;
    const std::u16string& message = facts.messageFace;
    if (message != u"MS Sans Serif" && message != u"Tahoma" && message != u"Segoe UI")
        return false;
    auto exists = [&](const std::u16string& f) {
        return facts.faceExists && facts.faceExists(f, facts.context);
    };
    if (preferShellDlg2 && message == u"Segoe UI" && exists(u"MS Shell Dlg 2")) {
        *face = u"MS Shell Dlg 2";
        *pointSize = 8;
        return true;
    }
    if (exists(message)) {
        // A positive height is a cell height; the character height is what points follow.
        long height = labs((long)facts.messageHeight);
        long dpi = facts.logPixelsY > 0 ? facts.logPixelsY : 96;
        long points = (height * 72 + dpi / 2) / dpi;
        *face = message;
        *pointSize = (uint16_t)(points > 0 ? points : 8);
        return true;
    }
    *face = exists(u"MS Shell Dlg 2") ? u"MS Shell Dlg 2" : u"MS Shell Dlg";
    *pointSize = 8;
    return true;
}
