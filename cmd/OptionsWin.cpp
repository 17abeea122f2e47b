// C_Options::Parse: the process command line, with command files read through C_File.
#include "cmd/Options.h"
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

class C_FileSource : public C_OptionFileSource {
public:
    std::unique_ptr<C_OptionLineReader> Open(const std::string& name) override
    {
        std::unique_ptr<C_FileLineReader> reader(new C_FileLineReader);
        if (!reader->Open(name))
            return nullptr;
        return std::unique_ptr<C_OptionLineReader>(reader.release());
    }
};
}  // namespace

int C_Options::Parse()
{
    C_FileSource files;
    return ParseCommandLine(GetProcessCommandLine(), &files);
}
