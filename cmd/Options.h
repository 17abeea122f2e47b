// C_Options: a table of named options filled from a command line and command files.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum OptionKind { kOptionDecimal = 0, kOptionHex = 1, kOptionSwitch = 2, kOptionString = 3, kOptionFree = 4 };

// Reads the lines of one command file.
class C_OptionLineReader {
public:
    virtual ~C_OptionLineReader() = default;
    // 1 with the next line, 0 at the end of the file or on a failed read.
    virtual int ReadLine(std::string& line) = 0;
};

// Opens command files named after "@"; null when the file cannot be opened.
class C_OptionFileSource {
public:
    virtual ~C_OptionFileSource() = default;
    virtual std::unique_ptr<C_OptionLineReader> Open(const std::string& name) = 0;
};

class C_Options {
public:
    // Command files may name further command files; deeper nesting than this fails the
    // parse instead of recursing until the stack is gone (a file naming itself).
    enum { kMaxCommandFileDepth = 16 };
    // Files naming each other more than once would multiply the work at every level; a parse
    // reads at most this many command files in all.
    enum { kMaxCommandFiles = 64 };

    int AddNumber(const char* name, int kind, int64_t defaultValue, const char* help);
    int AddString(const char* name, const char* defaultText, const char* help);

    // Parses a whole process command line (the program name first).
    int ParseCommandLine(const std::string& commandLine, C_OptionFileSource* files);
    // Parses one element list (a command line without the program name, or a file line).
    int ParseElements(const std::string& elements, C_OptionFileSource* files);
    // Parses the process command line, reading command files with C_File (Windows only).
    int Parse();

    int64_t GetNumber(const char* name) const;
    const char* GetString(const char* name) const;
    // 1 when the command line or a command file set the option, whatever its value.
    int WasGiven(const char* name) const;
    void FormatUsage(std::string& text) const;

    size_t GetFreeCount() const;
    std::string GetFree(size_t index) const;

private:
    struct Record {
        std::string name;
        std::string help;
        int kind;
        int64_t number;
        std::string text;
        int given = 0;
    };
    int ParseList(const std::string& s, C_OptionFileSource* files, int depth, bool& abort, int& filesLeft);
    Record* FindByPrefix(const char* text, size_t length);

    mutable std::recursive_mutex m_lock;
    std::vector<std::unique_ptr<Record>> m_records;
};

// Helpers of the grammar, exposed for tests.
// Reads a token starting at pos (leading blanks skipped); returns the index after it.
size_t ReadOptionToken(const std::string& s, size_t pos, std::string& token);
// Reads a number as "%I64i" (base from prefix) or "%I64X" (hex); 1 when one was read.
// Values beyond the 64-bit range are clamped to it.
int ReadOptionNumber(const char* text, int hex, int64_t* value);
// The part of a command line after the program's own name, trimmed.
std::string CommandLineArguments(const std::string& commandLine);
