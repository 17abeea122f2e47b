// Fuzzes the element-list grammar and command files: the input is split at NUL bytes into a
// command line and the lines of command files named "f0".."f3".
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "cmd/Options.h"

namespace {
class Files : public C_OptionFileSource {
public:
    std::map<std::string, std::vector<std::string>> files;
    class Reader : public C_OptionLineReader {
    public:
        explicit Reader(const std::vector<std::string>* l) : lines(l) {}
        int ReadLine(std::string& line) override
        {
            if (next >= lines->size())
                return 0;
            line = (*lines)[next++];
            return 1;
        }
        const std::vector<std::string>* lines;
        size_t next = 0;
    };
    std::unique_ptr<C_OptionLineReader> Open(const std::string& name) override
    {
        auto it = files.find(name);
        if (it == files.end())
            return nullptr;
        return std::unique_ptr<C_OptionLineReader>(new Reader(&it->second));
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string all((const char*)data, size);
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= all.size(); ++i)
        if (i == all.size() || all[i] == '\0') {
            parts.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    Files files;
    for (size_t i = 1; i < parts.size() && i <= 4; ++i) {
        std::vector<std::string>& lines = files.files["f" + std::to_string(i - 1)];
        size_t from = 0;
        const std::string& text = parts[i];
        for (size_t j = 0; j <= text.size(); ++j)
            if (j == text.size() || text[j] == '\n') {
                lines.push_back(text.substr(from, j - from));
                from = j + 1;
            }
    }
    C_Options o;
    o.AddString("d", "C:\\", "Drive for testing");
    o.AddNumber("s", kOptionDecimal, 1000, "File size in MB");
    o.AddNumber("h", kOptionHex, 0, "Hex");
    o.AddNumber("v", kOptionSwitch, 0, "");
    o.ParseCommandLine(parts[0], &files);
    std::string usage;
    o.FormatUsage(usage);
    (void)o.GetString("d");
    for (size_t i = 0; i < o.GetFreeCount(); ++i)
        (void)o.GetFree(i);
    return 0;
}
