#include "cmd/ConsoleRun.h"
#include <cstdio>
#include <cstdlib>
#include "cmd/OptionFiles.h"
#include "cmd/RunRules.h"
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/SequentialPass.h"
#include "core/Text.h"
#include "core/System.h"
#include "support/VersionInfo.h"

namespace {
class C_ConsoleChannel : public C_PassChannel {
public:
    C_ConsoleChannel(std::atomic<int>* interrupted, const std::function<void(const std::string&)>& print)
        : m_pInterrupted(interrupted), m_print(print)
    {
    }
    void Report(const std::string& text) override { m_print(text); }
    int IsStopRequested() override { return m_pInterrupted && m_pInterrupted->load(); }

private:
    std::atomic<int>* m_pInterrupted;
    std::function<void(const std::string&)> m_print;
};

} // namespace

C_ConsoleRun::C_ConsoleRun(std::atomic<int>* interrupted, Output output)
    : m_pInterrupted(interrupted), m_output(std::move(output))
{
}

void C_ConsoleRun::Print(const std::string& text)
{
    if (m_output) {
        m_output(text);
        return;
    }
    fputs(text.c_str(), stdout);
    fflush(stdout);
}

int C_ConsoleRun::RunTest(const char* drive, uint64_t fileSize, uint32_t blockSize, std::string& log)
{
    C_AlignedBuffer buffer;
    if (!buffer.Allocate(blockSize)) {
        Print(StringPrintf("Can't allocate %u bytes for the data buffer.\n", blockSize));
        return kExitCannotStart;
    }
    FillRandom(buffer.Get(), blockSize, 0);

    m_path = ConsoleTestPath(drive);
    if (!CreateDirectoryTree(m_path.c_str(), 1)) {
        uint32_t error = GetLastErrorCode();
        char text[260];
        const char* t = GetWin32ErrorText(error, text);
        Print(StringPrintf("Can't create test folder %s.\nError %u - %s.\n", FolderOfPath(m_path).c_str(),
                           error, t ? t : ""));
        return kExitCannotStart;
    }
    DeleteFileForce(m_path.c_str());

    C_ConsoleChannel channel(m_pInterrupted, [this](const std::string& t) { Print(t); });
    std::atomic<uint64_t> bytesDone{0};
    C_SeqPassArgs args;
    args.path = m_path.c_str();
    args.buffer = buffer.Get();
    args.blockSize = blockSize;
    args.fileSize = fileSize;
    args.style = kStyleConsole;
    args.checkStop = m_pInterrupted != nullptr;

    Print("Performing write test.\n");
    C_SeqPassResult written;
    args.direction = 1;
    if (!RunSequentialPass(args, bytesDone, channel, written))
        return kExitPassFailed;

    Print("Performing read test.\n");
    C_SeqPassResult read;
    args.direction = 0;
    bytesDone = 0;
    if (!RunSequentialPass(args, bytesDone, channel, read))
        return kExitPassFailed;

    log += FormatLogResults(read.text, read.mibPerSecond, written.text, written.mibPerSecond);
    Print(StringPrintf("read: %u write: %u\n", read.mibPerSecond, written.mibPerSecond));
    return kExitOk;
}

int C_ConsoleRun::Run(const std::string& commandLine)
{
    uint32_t major, minor;
    GetOwnVersionNumbers(&major, &minor);
    Print(FormatTitle("QuellmorCmd", major, minor) + " " + QM_WEB_ADDRESS + "\n");

    m_options.AddString("d", "C:\\", "Drive for testing");
    m_options.AddNumber("s", kOptionDecimal, 1000, "File size in MB");
    m_options.AddNumber("b", kOptionDecimal, 1024, "Block size in kB");
    m_options.AddNumber("l", kOptionDecimal, 1, "Create log file");
    C_FileOptionSource files;
    if (!m_options.ParseCommandLine(commandLine, &files)) {
        std::string usage;
        m_options.FormatUsage(usage);
        Print(usage);
        return kExitUsage;
    }

    std::string log = FormatLocalDateTime();
    int exitCode = kExitOk;
    C_RunPlan plan = PlanConsoleRun(m_options.GetNumber("s"), m_options.GetNumber("b"));
    if (!plan.error.empty()) {
        Print(plan.error);
        exitCode = plan.exitCode;
    } else if (plan.runTest) {
        const char* drive = m_options.GetString("d");
        exitCode = RunTest(drive ? drive : "", plan.fileSize, plan.blockSize, log);
    }
    // Every record ends its line, also one without results, so the next run starts a new one.
    if (log.size() < 2 || log.compare(log.size() - 2, 2, "\r\n") != 0)
        log += "\r\n";

    if (m_options.GetNumber("l") == 1) {
        C_File file;
        if (file.Open("QuellmorCmd.txt", kOpenWriteAlways, 0, kShareReadWrite) && file.Seek(kSeekEnd, 0))
            file.Write((uint32_t)log.size(), log.data());
        file.Close();
    }

    if (!m_path.empty()) {
        DeleteFileForce(m_path.c_str());
        std::string folder = FolderOfPath(m_path);
        if (!folder.empty())
            RemoveFolder(folder.c_str());
    }
    return exitCode;
}
