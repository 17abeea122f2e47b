#include "app/info/HtmlText.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool StartsWithNoCase(const std::string& s, size_t at, const char* prefix)
{
    const size_t n = std::strlen(prefix);
    if (at > s.size() || s.size() - at < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[at + i])) != prefix[i])
            return false;
    return true;
}

struct Tag {
    std::string name; // lower case
    bool closing = false;
    bool selfClosing = false;
    std::string id;
    size_t end = 0; // one past the '>'
};

// Reads the tag starting at the '<' at pos; false when it is no tag (a lone '<').
bool ReadTag(const std::string& html, size_t pos, Tag* tag)
{
    size_t i = pos + 1;
    if (i < html.size() && html[i] == '/') {
        tag->closing = true;
        ++i;
    }
    const size_t nameStart = i;
    while (i < html.size() && std::isalnum(static_cast<unsigned char>(html[i])))
        ++i;
    if (i == nameStart)
        return false;
    tag->name = Lower(html.substr(nameStart, i - nameStart));
    // Attributes: name[=value], value quoted or bare; only id is kept.
    while (i < html.size() && html[i] != '>') {
        if (IsSpace(html[i])) {
            ++i;
            continue;
        }
        if (html[i] == '/') {
            tag->selfClosing = true;
            ++i;
            continue;
        }
        const size_t attrStart = i;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != '=' && html[i] != '>')
            ++i;
        const std::string attr = Lower(html.substr(attrStart, i - attrStart));
        while (i < html.size() && IsSpace(html[i]))
            ++i;
        if (i < html.size() && html[i] == '=') {
            ++i;
            while (i < html.size() && IsSpace(html[i]))
                ++i;
            std::string value;
            if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                const char quote = html[i++];
                const size_t close = html.find(quote, i);
                const size_t stop = close == std::string::npos ? html.size() : close;
                value = html.substr(i, stop - i);
                i = stop == html.size() ? stop : stop + 1;
            } else {
                const size_t valueStart = i;
                while (i < html.size() && !IsSpace(html[i]) && html[i] != '>')
                    ++i;
                value = html.substr(valueStart, i - valueStart);
            }
            if (attr == "id")
                tag->id = value;
        }
    }
    tag->end = i < html.size() ? i + 1 : html.size();
    return true;
}

// Position after the end tag </name> that closes the element whose content starts at pos,
// counting nested elements of the same name; the end of the text when there is none.
size_t SkipElement(const std::string& html, size_t pos, const std::string& name, bool nests)
{
    int depth = 1;
    while (pos < html.size()) {
        const size_t lt = html.find('<', pos);
        if (lt == std::string::npos)
            break;
        Tag tag;
        if (!ReadTag(html, lt, &tag)) {
            pos = lt + 1;
            continue;
        }
        pos = tag.end;
        if (tag.name != name)
            continue;
        if (tag.closing) {
            if (--depth == 0)
                return pos;
        } else if (nests && !tag.selfClosing) {
            ++depth;
        }
    }
    return html.size();
}

// Decodes the entity at html[pos] == '&'; appends the text and returns the next position.
size_t DecodeEntity(const std::string& html, size_t pos, std::string* out)
{
    const size_t semi = html.find(';', pos);
    if (semi == std::string::npos || semi - pos > 10) {
        out->push_back('&');
        return pos + 1;
    }
    const std::string name = html.substr(pos + 1, semi - pos - 1);
    static const struct {
        const char* name;
        char value;
    } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    for (const auto& e : kNamed) {
        if (name == e.name) {
            out->push_back(e.value);
            return semi + 1;
        }
    }
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const char* digits = name.c_str() + (hex ? 2 : 1);
        char* end = nullptr;
        const unsigned long code = std::strtoul(digits, &end, hex ? 16 : 10);
        if (end && *end == 0 && end != digits) {
            // The pages are in the ANSI code page; anything beyond it becomes '?'.
            out->push_back(code == 0 ? '?' : code < 256 ? char(code) : '?');
            return semi + 1;
        }
    }
    out->push_back('&');
    return pos + 1;
}

// Collects text with the line structure the tags ask for.
class TextBuilder {
public:
    void Text(const std::string& s, bool preformatted)
    {
        for (char c : s) {
            if (preformatted) {
                if (c == '\r')
                    continue;
                Put(c);
                continue;
            }
            if (IsSpace(c)) {
                space_ = true;
                continue;
            }
            if (space_ && !AtLineStart())
                Put(' ');
            space_ = false;
            Put(c);
        }
    }
    void Break()
    {
        space_ = false;
        if (!out_.empty() && out_.back() != '\n')
            out_.push_back('\n');
    }
    void Paragraph()
    {
        Break();
        if (!out_.empty() && !EndsWith("\n\n"))
            out_.push_back('\n');
    }
    void Cell()
    {
        space_ = false;
        if (!AtLineStart())
            out_.push_back('\t');
    }
    std::string Finish()
    {
        // Trailing blanks of each line go; runs of blank lines shrink to one.
        std::string result;
        size_t start = 0;
        int blank = 0;
        while (start <= out_.size()) {
            size_t end = out_.find('\n', start);
            if (end == std::string::npos)
                end = out_.size();
            std::string line = out_.substr(start, end - start);
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
                line.pop_back();
            if (line.empty()) {
                ++blank;
            } else {
                if (!result.empty())
                    result += blank ? "\n\n" : "\n";
                result += line;
                blank = 0;
            }
            start = end + 1;
        }
        if (!result.empty())
            result += '\n';
        return result;
    }

private:
    bool AtLineStart() const { return out_.empty() || out_.back() == '\n' || out_.back() == '\t'; }
    bool EndsWith(const char* s) const
    {
        const size_t n = std::strlen(s);
        return out_.size() >= n && out_.compare(out_.size() - n, n, s) == 0;
    }
    void Put(char c) { out_.push_back(c); }

    std::string out_;
    bool space_ = false;
};

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (name == n)
            return true;
    return false;
}

} // namespace

std::string HtmlToText(const std::string& html, const HtmlTextOptions& options)
{
    TextBuilder text;
    int preformatted = 0;
    size_t pos = 0;
    while (pos < html.size()) {
        const char c = html[pos];
        if (c == '<' && StartsWithNoCase(html, pos, "<!--")) {
            const size_t end = html.find("-->", pos + 4);
            pos = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        if (c == '<' && pos + 1 < html.size() && (html[pos + 1] == '!' || html[pos + 1] == '?')) {
            const size_t end = html.find('>', pos);
            pos = end == std::string::npos ? html.size() : end + 1;
            continue;
        }
        Tag tag;
        if (c == '<' && ReadTag(html, pos, &tag)) {
            pos = tag.end;
            const std::string& n = tag.name;
            if (!tag.closing && IsOneOf(n, {"head", "script", "style", "title"})) {
                pos = SkipElement(html, pos, n, false);
                continue;
            }
            if (!tag.closing && !options.replaceId.empty() && tag.id == options.replaceId) {
                if (IsOneOf(n, {"div", "p", "h1", "h2", "h3", "h4", "h5", "h6"}))
                    text.Break();
                text.Text(options.replacement, false);
                if (!tag.selfClosing)
                    pos = SkipElement(html, pos, n, true);
                if (IsOneOf(n, {"div", "p", "h1", "h2", "h3", "h4", "h5", "h6"}))
                    text.Break();
                continue;
            }
            if (n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6') {
                if (tag.closing)
                    text.Break();
                else
                    text.Paragraph();
            } else if (n == "p") {
                text.Paragraph();
            } else if (n == "pre") {
                text.Paragraph();
                if (tag.closing) {
                    if (preformatted > 0)
                        --preformatted;
                } else {
                    ++preformatted;
                    if (pos < html.size() && html[pos] == '\r')
                        ++pos; // the line end
                    if (pos < html.size() && html[pos] == '\n')
                        ++pos; // after <pre>
                }
            } else if (n == "table") {
                if (tag.closing)
                    text.Paragraph();
                else
                    text.Break();
            } else if (IsOneOf(n, {"td", "th"})) {
                if (!tag.closing)
                    text.Cell();
            } else if (IsOneOf(n, {"br", "div", "tr", "li", "ul", "ol", "center", "hr", "body", "dl", "dt",
                                   "dd", "blockquote"})) {
                text.Break();
            }
            continue;
        }
        // Text up to the next tag, with its entities decoded; a '<' that starts no tag
        // stays text (the first character of a run is always taken, so the loop advances).
        std::string run;
        bool first = true;
        while (pos < html.size()) {
            if (html[pos] == '<' && !first) {
                Tag probe;
                if (ReadTag(html, pos, &probe) || StartsWithNoCase(html, pos, "<!") ||
                    StartsWithNoCase(html, pos, "<?"))
                    break;
            }
            first = false;
            if (html[pos] == '&') {
                pos = DecodeEntity(html, pos, &run);
            } else {
                run.push_back(html[pos++]);
            }
        }
        text.Text(run, preformatted > 0);
    }
    return text.Finish();
}

std::string ToWindowsLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}
