#include "app/settings/CommandLine.h"
#include <cstring>
#include "app/settings/Flags.h"

std::string ProgramFolderForTestFile(const std::string& programPath)
{
    size_t cut = programPath.find_last_of("\\/");
    std::string folder = cut == std::string::npos ? std::string() : programPath.substr(0, cut + 1);
    if (folder.size() >= 2 && folder[1] == ':') {
        folder.resize(2);
        folder += '\\';
    }
    return folder;
}

// Reads a decimal number after optional blanks; returns the position after its digits,
// or null (value untouched) when no digit follows. Values beyond the range saturate.
template <typename T>
static const char* ReadDecimal(const char* p, T* value)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p < '0' || *p > '9')
        return nullptr;
    const T maxValue = (T) ~(T)0;
    T number = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        unsigned digit = (unsigned)(*p - '0');
        if (number > (maxValue - digit) / 10)
            number = maxValue;
        else
            number = number * 10 + digit;
    }
    *value = number;
    return p;
}

// The value of "-l": starts after the letter and one separator, ends before the first
// blank outside double quotes. Returns the position where the search for switches resumes.
static const char* ReadTestFile(const char* dash, const std::string& programPath, std::string* value)
{
    const char* start = dash + 2;
    if (*start)
        ++start;
    const char* end = FindUnquotedBlank(start);
    std::string text(start, (size_t)(end - start));
    if (!text.empty() && text[0] == '"') {
        text.erase(0, 1);
        if (!text.empty())
            text.pop_back();
    }
    if (text == "?")
        text = ProgramFolderForTestFile(programPath);
    *value = text;
    return end;
}

int ParseSwitches(const char* arguments, const std::string& programPath, CommandLineState& state)
{
    int result = 1;
    const char* p = arguments;
    while ((p = strchr(p, '-')) != nullptr) {
        char letter = p[1];
        if (letter < 'a' || letter > 'z') {
            result = 0;
            ++p;
            continue;
        }
        state.switchOrder += letter;
        state.flags = ApplyFlagSwitch(state.flags, letter);
        const char* next = p + 2;
        const char* after = nullptr;
        switch (letter) {
        case 'i':
            state.fileSizeGiven = true;
            after = ReadDecimal(p + 2, &state.fileSize);
            break;
        case 'j':
            state.blockSizeGiven = true;
            after = ReadDecimal(p + 2, &state.blockSize);
            break;
        case 'k':
            state.preReadSizeGiven = true;
            after = ReadDecimal(p + 2, &state.preReadSize);
            break;
        case 'l':
            state.testFileGiven = true;
            after = ReadTestFile(p, programPath, &state.testFile);
            break;
        default:
            break;
        }
        p = after ? after : next;
    }
    return result;
}
