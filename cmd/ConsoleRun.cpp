#include "cmd/ConsoleRun.h"
#include <cstdio>
#include <cstdlib>
#include "cmd/OptionFiles.h"
#include "cmd/RunRules.h"
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/SpeedMath.h"
#include "core/TestFile.h"
#include "core/Text.h"
#include "core/System.h"
#include "core/engines/EngineTable.h"
#include "core/engines/SequentialText.h"
#include "support/VersionInfo.h"

namespace {
// Prints a pass's failures as they happen and passes Ctrl+C on as the stop request.
class C_ConsoleEvents : public I_EngineEvents {
public:
    C_ConsoleEvents(std::atomic<int>* interrupted, const C_EngineJob& job,
                    const std::function<void(const std::string&)>& print)
        : m_pInterrupted(interrupted), m_job(job), m_print(print)
    {
    }
    int IsStopRequested() override { return m_pInterrupted && m_pInterrupted->load(); }
    void Failure(const C_EngineFailure& failure) override
    {
        m_print(FormatSeqFailure(kStyleConsole, failure, m_job.path, m_job.blockSize, m_job.size));
    }

private:
    std::atomic<int>* m_pInterrupted;
    const C_EngineJob& m_job;
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

int C_ConsoleRun::RunTest(C_TestFile& testFile, uint64_t fileSize, uint32_t blockSize, std::string& log)
{
    C_AlignedBuffer buffer;
    if (!buffer.Allocate(blockSize)) {
        Print(StringPrintf("Can't allocate %u bytes for the data buffer.\n", blockSize));
        return kExitCannotStart;
    }
    FillRandom(buffer.Get(), blockSize, 0);

    if (!testFile.Prepare()) {
        uint32_t error = GetLastErrorCode();
        Print(StringPrintf("Can't create test folder %s.\nError %u - %s.\n", testFile.Folder().c_str(), error,
                           ErrorText(error).c_str()));
        return kExitCannotStart;
    }
    // Said before the figures, so nobody takes the page cache's speed for the device's.
    Print(FormatCacheNote(ProbeCacheBypass(testFile.Path().c_str()), testFile.Folder()));

    C_EngineJob job;
    job.kind = kEngineSequential;
    job.path = testFile.Path();
    job.buffer = buffer.Get();
    job.blockSize = blockSize;
    job.size = fileSize;
    job.openFlags = kOpenNoBuffering | kOpenSequentialScan;
    C_ConsoleEvents events(m_pInterrupted, job, [this](const std::string& t) { Print(t); });

    Print("Performing write test.\n");
    job.write = 1;
    const C_EngineResult written = RunEngine(job, events);
    if (!written.complete)
        return kExitPassFailed;

    Print("Performing read test.\n");
    job.write = 0;
    const C_EngineResult read = RunEngine(job, events);
    if (!read.complete)
        return kExitPassFailed;

    // The rates from the bytes actually moved: a file size that is not a whole number of
    // blocks is not covered completely.
    const C_RateResult readRate = ComputeRate(read.bytes, read.microseconds);
    const C_RateResult writeRate = ComputeRate(written.bytes, written.microseconds);
    log += FormatLogResults(readRate.text, readRate.mibPerSecond, writeRate.text, writeRate.mibPerSecond);
    Print(StringPrintf("read: %u write: %u\n", readRate.mibPerSecond, writeRate.mibPerSecond));
    return kExitOk;
}

int C_ConsoleRun::Run(const std::string& commandLine)
{
    uint32_t major, minor;
    GetOwnVersionNumbers(&major, &minor);
    Print(FormatTitle("QuellmorCmd", major, minor) + " " + QM_WEB_ADDRESS + "\n");

    m_options.AddString("d", DefaultTestFolder(), "Drive for testing");
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
    const C_RunPlan plan = PlanConsoleRun(m_options.GetNumber("s"), m_options.GetNumber("b"));
    const char* folder = m_options.GetString("d");
    C_TestFile testFile(folder ? folder : "");
    int exitCode = plan.exitCode;
    if (!plan.error.empty())
        Print(plan.error);
    else if (plan.runTest)
        exitCode = RunTest(testFile, plan.fileSize, plan.blockSize, log);
    // Every record ends its line, also one without results, so the next run starts a new one.
    if (log.size() < 2 || log.compare(log.size() - 2, 2, "\r\n") != 0)
        log += "\r\n";
    // A log that cannot be written does not change the run's outcome.
    if (m_options.GetNumber("l") == 1)
        AppendToFile("QuellmorCmd.txt", log);
    testFile.Remove(); // after the log, as the record is the run's last word; nothing if never made
    return exitCode;
}

int RunConsoleProgram()
{
    static std::atomic<int> interrupted{0};
    InstallInterruptHandler(&interrupted);
    C_ConsoleRun run(&interrupted);
    return run.Run(GetProcessCommandLine());
}
