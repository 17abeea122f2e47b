#include "cmd/ConsoleRun.h"
#include <cstdio>
#include <cstdlib>
#include <memory>
#include "cmd/OptionFiles.h"
#include "cmd/ConsoleRules.h"
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/Rate.h"
#include "core/SeqMessages.h"
#include "core/TestFile.h"
#include "core/Text.h"
#include "core/System.h"
#include "core/engines/EngineTable.h"
#include "core/engines/LatencyHistogram.h"
#include "core/engines/SequentialText.h"
#include "core/report/Report.h"
#include "core/VersionInfo.h"

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

// The random passes: Ctrl+C as the stop request; their failure is printed from the result.
class C_RandomEvents : public I_EngineEvents {
public:
    explicit C_RandomEvents(std::atomic<int>* interrupted) : m_pInterrupted(interrupted) {}
    int IsStopRequested() override { return m_pInterrupted && m_pInterrupted->load(); }

private:
    std::atomic<int>* m_pInterrupted;
};

} // namespace

C_ConsoleRun::C_ConsoleRun(std::atomic<int>* interrupted, Output output, Output errors)
    : m_pInterrupted(interrupted), m_output(std::move(output)), m_errors(std::move(errors))
{
}

void C_ConsoleRun::Print(const std::string& text)
{
    if (!m_report) {
        PrintOut(text);
        return;
    }
    if (m_errors) {
        m_errors(text);
        return;
    }
    fputs(text.c_str(), stderr);
    fflush(stderr);
}

void C_ConsoleRun::PrintOut(const std::string& text)
{
    if (m_output) {
        m_output(text);
        return;
    }
    fputs(text.c_str(), stdout);
    fflush(stdout);
}

int C_ConsoleRun::RunPasses(const std::string& path, C_AlignedBuffer& buffer, const C_RunPlan& plan,
                            C_ReportRun& run, std::string& log)
{
    C_EngineJob job;
    job.kind = kEngineSequential;
    job.path = path;
    job.buffer = buffer.Get();
    job.blockSize = plan.blockSize;
    job.size = plan.fileSize;
    job.openFlags = kOpenNoBuffering | kOpenSequentialScan;
    C_ConsoleEvents events(m_pInterrupted, job, [this](const std::string& t) { Print(t); });
    // Each pass goes into the run as it ends, so a failed or stopped one is reported too.
    auto keep = [&run](int pass, const C_EngineResult& result, const C_LatencyHistogram* latency) {
        C_ReportPass entry;
        entry.name = kReportPassNames[pass];
        entry.random = pass >= 2;
        entry.result = result;
        if (latency)
            entry.latency = latency->Percentiles();
        if (result.failure.op != kOpNone)
            entry.errorText = ErrorText(result.failure.error);
        run.passes.push_back(entry);
    };

    Print("Performing write test.\n");
    job.write = 1;
    const C_EngineResult written = RunEngine(job, events);
    keep(0, written, nullptr);
    if (!written.complete)
        return kExitPassFailed;

    Print("Performing read test.\n");
    job.write = 0;
    const C_EngineResult read = RunEngine(job, events);
    keep(1, read, nullptr);
    if (!read.complete)
        return kExitPassFailed;

    // The rates from the bytes actually moved: a file size that is not a whole number of
    // blocks is not covered completely.
    const C_RateResult readRate = ComputeRate(read.bytes, read.microseconds);
    const C_RateResult writeRate = ComputeRate(written.bytes, written.microseconds);
    log += FormatLogResults(readRate.text, readRate.mibPerSecond, writeRate.text, writeRate.mibPerSecond);
    Print(StringPrintf("read: %u write: %u\n", readRate.mibPerSecond, writeRate.mibPerSecond));
    if (!m_random)
        return kExitOk;

    // On the file the write pass has just written in full, so that every random read reads
    // data of this run (a file system answers unwritten blocks without the device). The
    // random read removes the file when it ends.
    C_EngineJob random = job;
    random.kind = kEngineRandom;
    random.blockSize = 4096;
    random.openFlags = kOpenNoBuffering;
    random.keepFile = 1;
    std::unique_ptr<C_LatencyHistogram> latency(new C_LatencyHistogram);
    random.latency = latency.get();
    C_RandomEvents randomEvents(m_pInterrupted);
    for (int pass = 2; pass < 4; ++pass) {
        random.write = pass == 2;
        const C_EngineResult r = RunEngine(random, randomEvents);
        keep(pass, r, latency.get());
        if (r.failure.op != kOpNone)
            Print(FormatRandomFailure(kReportPassNames[pass], EngineOpName(r.failure.op), r.failure.position,
                                      r.failure.error, ErrorText(r.failure.error)));
        if (!r.complete)
            return kExitPassFailed;
        Print(FormatRandomLine(kReportPassNames[pass], r.iops, run.passes.back().latency));
    }
    return kExitOk;
}

int C_ConsoleRun::RunTest(C_TestFile& testFile, const C_RunPlan& plan, C_Report& report, std::string& log)
{
    C_AlignedBuffer buffer;
    if (!buffer.Allocate(plan.blockSize)) {
        Print(StringPrintf("Can't allocate %u bytes for the data buffer.\n", plan.blockSize));
        return kExitCannotStart;
    }
    FillRandom(buffer.Get(), plan.blockSize, 0);

    if (!testFile.Prepare()) {
        uint32_t error = GetLastErrorCode();
        Print(StringPrintf("Can't create test folder %s.\nError %u - %s.\n", testFile.Folder().c_str(), error,
                           ErrorText(error).c_str()));
        return kExitCannotStart;
    }
    // Said before the figures, so nobody takes the page cache's speed for the device's.
    const int bypass = ProbeCacheBypass(testFile.Path().c_str());
    Print(FormatCacheNote(bypass, testFile.Folder()));
    report.target.cacheBypass = bypass;

    int exitCode = kExitOk;
    for (uint32_t i = 0; i < report.settings.runs && exitCode == kExitOk; ++i) {
        // Every run after the first (which follows a complete one) is a log record of its own.
        if (i)
            log += FormatLocalDateTime();
        report.runs.emplace_back();
        exitCode = RunPasses(testFile.Path(), buffer, plan, report.runs.back(), log);
    }
    if (report.settings.runs > 1)
        for (const C_ReportFigure& figure : SummariseRuns(report))
            Print(FormatSummaryLine(figure));
    return exitCode;
}

int C_ConsoleRun::Run(const std::string& commandLine)
{
    uint32_t major, minor;
    GetOwnVersionNumbers(&major, &minor);
    const std::string title = FormatTitle("QuellmorCmd", major, minor) + " " + QM_WEB_ADDRESS + "\n";

    m_options.AddString("d", DefaultTestFolder(), "Drive for testing");
    m_options.AddNumber("s", kOptionDecimal, 1000, "File size in MB");
    m_options.AddNumber("b", kOptionDecimal, 1024, "Block size in kB");
    m_options.AddNumber("l", kOptionDecimal, 1, "Create log file");
    m_options.AddNumber("r", kOptionDecimal, 0, "Random passes");
    m_options.AddString("o", "", "Report: json or csv");
    m_options.AddNumber("n", kOptionDecimal, 1, "Number of runs");
    C_FileOptionSource files;
    if (!m_options.ParseCommandLine(commandLine, &files)) {
        std::string usage;
        m_options.FormatUsage(usage);
        Print(title + usage);
        return kExitUsage;
    }
    ConsoleReport format = kReportText;
    const char* formatText = m_options.GetString("o");
    const std::string refused =
        CheckReportOptions(formatText ? formatText : "", m_options.GetNumber("n"), &format);
    m_report = format != kReportText;
    m_random = m_options.GetNumber("r") == 1;
    Print(title);
    if (!refused.empty()) {
        Print(refused);
        return kExitBadValue;
    }

    C_Report report;
    report.program = "QuellmorCmd";
    report.version = StringPrintf("%u.%02u", (unsigned)major, (unsigned)minor);
    report.timestamp = FormatUtcTimestamp(GetCalendarSeconds());
    report.settings.randomPasses = m_random;
    report.settings.runs = (uint32_t)m_options.GetNumber("n");

    std::string log = FormatLocalDateTime();
    const C_RunPlan plan = PlanConsoleRun(m_options.GetNumber("s"), m_options.GetNumber("b"));
    report.settings.fileBytes = plan.fileSize;
    report.settings.blockBytes = plan.blockSize;
    const char* folder = m_options.GetString("d");
    C_TestFile testFile(folder ? folder : "");
    report.target.folder = testFile.Folder();
    int exitCode = plan.exitCode;
    if (!plan.error.empty())
        Print(plan.error);
    else if (plan.runTest)
        exitCode = RunTest(testFile, plan, report, log);
    // Every record ends its line, also one without results, so the next run starts a new one.
    if (log.size() < 2 || log.compare(log.size() - 2, 2, "\r\n") != 0)
        log += "\r\n";
    // A log that cannot be written does not change the run's outcome.
    if (m_options.GetNumber("l") == 1)
        AppendToFile("QuellmorCmd.txt", log);
    testFile.Remove(); // after the log, as the record is the run's last word; nothing if never made
    if (m_report)
        PrintOut(format == kReportJson ? FormatJsonReport(report) : FormatCsvReport(report));
    return exitCode;
}

int RunConsoleProgram()
{
    static std::atomic<int> interrupted{0};
    InstallInterruptHandler(&interrupted);
    C_ConsoleRun run(&interrupted);
    return run.Run(GetProcessCommandLine());
}
