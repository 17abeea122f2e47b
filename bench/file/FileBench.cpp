// Runs the FileAccess worker's write pass and then its read pass on one file, without the
// page: the fields come from the command line, messages go to the console, and the result
// texts are printed as "text file-write ..." and "text file-read ...".
//   FileBench <file> <size MiB> <block bytes> [write-through]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "app/pages/file/FileWorker.h"

namespace {

class C_ConsolePage : public C_FileAccessWorker {
public:
    uint32_t flags = 0;
    std::string fields[4];
    std::vector<std::string> results; // complete passes in their order: write, then read

    uint32_t& WorkerFlags() override { return flags; }
    std::string GetField(Field f) override { return fields[f]; }
    void SetField(Field f, const std::string& text) override { fields[f] = text; }
    void SetResultText(const std::string& text) override
    {
        if (!text.empty())
            results.push_back(text);
    }
    void EnableControls(int) override {}
    void Tell(const std::string& text) override { fprintf(stderr, "%s\n", text.c_str()); }
    int Ask(const std::string& text) override
    {
        fprintf(stderr, "%s (answered no)\n", text.c_str());
        return 0;
    }
    int ChooseFile(int, const std::string&, const char*, const std::string&, std::string&) override { return 0; }
    void StartProgress() override {}
    void ResetProgress() override {}
    void StopProgress() override {}
    void RefreshBrowser() override {}
    void SelectListEntry(const std::string&) override {}
    int IsStopRequested() override { return 0; }
    bool IsCdromRoot(const std::string&) override { return false; }
    bool GetVolumeSpace(const std::string&, C_VolumeSpace& space) override
    {
        // Free space is the benchmark's own concern: never ask.
        space.callerFree = space.total = space.totalFree = UINT64_MAX;
        return true;
    }
    uint32_t GetSectorSize(const std::string&) override { return 512; }
    I_DirectoryWalk& DirectoryWalk() override { return m_noWalk; }

private:
    // The benchmark never searches.
    struct C_NoWalk : I_DirectoryWalk {
        bool List(const std::string&, std::vector<C_DirEntry>&) override { return false; }
        std::string FolderIdentity(const std::string&) override { return std::string(); }
    } m_noWalk;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: FileBench <file> <size MiB> <block bytes> [write-through]\n");
        return 2;
    }
    C_ConsolePage page;
    page.fields[0] = argv[1];
    page.fields[1] = argv[2];
    page.fields[2] = argv[3];
    page.fields[3] = "0";
    // Buffered like the peer under Wine, which ignores the cache bypass anyway.
    page.flags = 0x2 | 0x4 | (argc > 4 ? 0x100 : 0);
    page.TakeRunPlan();
    page.WorkerThread();
    if (page.results.size() != 2)
        return 1;
    printf("text file-write %s\n", page.results[0].c_str());
    printf("text file-read %s\n", page.results[1].c_str());
    return 0;
}
