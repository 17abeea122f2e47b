// Command files read through C_File, and C_Options::Parse on the process command line.
#include "cmd/OptionFiles.h"
#include "core/File.h"
#include "core/System.h"

namespace {
class C_FileLineReader : public C_OptionLineReader {
public:
    int Open(const std::string& name) { return m_file.Open(name.c_str(), kOpenRead, 0, kShareReadWrite); }
    int ReadLine(std::string& line) override { return m_file.ReadLine(line, 0, -1); }

private:
    C_File m_file;
};
} // namespace

std::unique_ptr<C_OptionLineReader> C_FileOptionSource::Open(const std::string& name)
{
    std::unique_ptr<C_FileLineReader> reader(new C_FileLineReader);
    if (!reader->Open(name))
        return nullptr;
    return std::unique_ptr<C_OptionLineReader>(reader.release());
}

int C_Options::Parse()
{
    C_FileOptionSource files;
    return ParseCommandLine(GetProcessCommandLine(), &files);
}
