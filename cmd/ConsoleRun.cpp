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
#include "core/VolumeFacts.h"
#include "core/Text.h"
#include "core/System.h"
#include "core/engines/CheckEngine.h"
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

// The check's passes: the read pass's heading as it begins, a fill's progress per GiB, and each
// failure as it happens in today's words where the sequential test has them.
class C_CheckEvents : public I_EngineEvents {
public:
    C_CheckEvents(std::atomic<int>* interrupted, const C_CheckOutcome& outcome, const C_EngineJob& job,
                  int fill, const std::function<void(const std::string&)>& print)
        : m_pInterrupted(interrupted), m_outcome(outcome), m_job(job), m_fill(fill), m_print(print)
    {
    }
    int IsStopRequested() override { return m_pInterrupted && m_pInterrupted->load(); }
    void Begin(uint64_t planned) override
    {
        m_planned = planned;
        m_shownGiB = 0;
        if (m_outcome.reading)
            m_print("Performing read test.\n");
    }
    void Progress(uint64_t done) override
    {
        if (m_fill && done >> 30 > m_shownGiB)
            m_print(FormatFillProgress(!m_outcome.reading, (m_shownGiB = done >> 30) << 30, m_planned));
    }
    void Failure(const C_EngineFailure& failure) override
    {
        // The sequential texts speak of one file: the failed file's own position and size.
        const C_FillPlan& plan = m_outcome.plan;
        const uint32_t index = plan.fileBytes ? uint32_t(failure.position / plan.fileBytes) : 0;
        C_EngineFailure inFile = failure;
        inFile.position -= uint64_t(index) * plan.fileBytes;
        std::string text = FormatSeqFailure(kStyleConsole, inFile, failure.detail, m_job.blockSize,
                                            FillFileBytes(plan, index));
        if (text.empty())
            text = FormatRandomFailure(kReportPassNames[m_outcome.reading ? 1 : 0], EngineOpName(failure.op),
                                       failure.position, failure.error, ErrorText(failure.error));
        m_print(text);
    }

private:
    std::atomic<int>* m_pInterrupted;
    const C_CheckOutcome& m_outcome;
    const C_EngineJob& m_job;
    int m_fill;
    std::function<void(const std::string&)> m_print;
    uint64_t m_planned = 0;
    uint64_t m_shownGiB = 0;
};

// A pass as it goes into the report, so a failed or stopped one is reported too.
void AddReportPass(C_ReportRun& run, int pass, const C_EngineResult& result,
                   const C_LatencyHistogram* latency)
{
    C_ReportPass entry;
    entry.name = kReportPassNames[pass];
    entry.random = pass >= 2;
    entry.result = result;
    if (latency)
        entry.latency = latency->Percentiles();
    if (result.failure.op != kOpNone)
        entry.errorText = ErrorText(result.failure.error);
    run.passes.push_back(entry);
}

// One pass of a check as the sequential test reports it: the timed transfers of its chunks.
C_EngineResult CheckPassResult(const std::vector<C_ChunkTime>& chunks, uint32_t blockSize)
{
    C_EngineResult result;
    for (const C_ChunkTime& chunk : chunks) {
        result.bytes += chunk.bytes;
        result.microseconds += chunk.microseconds;
    }
    result.accesses = blockSize ? result.bytes / blockSize : 0;
    FinishRates(result);
    return result;
}
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

void C_ConsoleRun::PrintRates(const C_EngineResult& read, const C_EngineResult& written, std::string& log)
{
    // The rates from the bytes actually moved: a file size that is not a whole number of
    // blocks is not covered completely.
    const C_RateResult readRate = ComputeRate(read.bytes, read.microseconds);
    const C_RateResult writeRate = ComputeRate(written.bytes, written.microseconds);
    log += FormatLogResults(readRate.text, readRate.mibPerSecond, writeRate.text, writeRate.mibPerSecond);
    Print(StringPrintf("read: %u write: %u\n", readRate.mibPerSecond, writeRate.mibPerSecond));
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
    auto keep = [&run](int pass, const C_EngineResult& result, const C_LatencyHistogram* latency) {
        AddReportPass(run, pass, result, latency);
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

    PrintRates(read, written, log);
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

int C_ConsoleRun::RunCheck(const C_RunPlan& plan, C_ReportRun& run, std::string& log)
{
    C_CheckOutcome outcome;
    C_EngineJob job;
    job.kind = kEngineCheck;
    job.path = m_checkFolder;
    job.blockSize = plan.blockSize;
    job.size = plan.fileSize;
    job.check = &outcome;
    C_CheckEvents events(m_pInterrupted, outcome, job, m_fill, [this](const std::string& t) { Print(t); });
    Print("Performing write test.\n");
    const C_EngineResult result = RunEngine(job, events);

    // The engine's one result covers both passes; each pass's figures come from its own chunks,
    // whose times hold only the transfers (stamping and checking lie outside them).
    C_EngineResult written = CheckPassResult(outcome.writeChunks, plan.blockSize);
    if (outcome.reading) {
        written.complete = 1;
    } else {
        written.stopped = result.stopped;
        written.failure = result.failure;
    }
    AddReportPass(run, 0, written, nullptr);
    if (!outcome.reading)
        return kExitPassFailed;
    C_EngineResult read = CheckPassResult(outcome.readChunks, plan.blockSize);
    read.complete = result.complete;
    read.stopped = result.stopped;
    read.failure = result.failure;
    AddReportPass(run, 1, read, nullptr);
    if (!result.complete)
        return kExitPassFailed;

    PrintRates(read, written, log);
    Print(FormatConsoleVerify(outcome.tally));
    run.verified = 1;
    run.tally = outcome.tally;
    run.trustedBytes = TrustedCapacity(outcome.tally, outcome.plan.chunkBytes);
    return outcome.tally.firstBad == kNoPosition ? kExitOk : kExitDataLost;
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
    C_VolumeFacts volume;
    if (GetVolumeFacts(testFile.Folder().c_str(), &volume)) {
        report.target.fileSystem = volume.fileSystem;
        report.target.device = volume.device;
        report.target.usbSpeedClass = volume.usbSpeedClass;
    }

    int exitCode = kExitOk;
    for (uint32_t i = 0; i < report.settings.runs && exitCode == kExitOk; ++i) {
        // Every run after the first (which follows a complete one) is a log record of its own.
        if (i)
            log += FormatLocalDateTime();
        report.runs.emplace_back();
        exitCode = m_verify ? RunCheck(plan, report.runs.back(), log)
                            : RunPasses(testFile.Path(), buffer, plan, report.runs.back(), log);
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
    m_options.AddNumber("v", kOptionDecimal, 0, "Verify the data read");
    m_options.AddNumber("f", kOptionDecimal, 0, "Fill the free space");
    C_FileOptionSource files;
    if (!m_options.ParseCommandLine(commandLine, &files)) {
        std::string usage;
        m_options.FormatUsage(usage);
        Print(title + usage);
        return kExitUsage;
    }
    ConsoleReport format = kReportText;
    const char* formatText = m_options.GetString("o");
    std::string refused = CheckReportOptions(formatText ? formatText : "", m_options.GetNumber("n"), &format);
    m_report = format != kReportText;
    m_random = m_options.GetNumber("r") == 1;
    m_fill = m_options.GetNumber("f") == 1;
    m_verify = m_fill || m_options.GetNumber("v") == 1;
    Print(title);
    if (refused.empty())
        refused = CheckVerifyOptions(m_verify, m_random);
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
    report.settings.verify = m_verify;
    report.settings.fill = m_fill;

    std::string log = FormatLocalDateTime();
    const C_RunPlan plan =
        m_fill ? PlanFillRun(m_options.GetNumber("s"), m_options.WasGiven("s"), m_options.GetNumber("b"))
               : PlanConsoleRun(m_options.GetNumber("s"), m_options.GetNumber("b"));
    report.settings.fileBytes = plan.fileSize;
    report.settings.blockBytes = plan.blockSize;
    const char* folder = m_options.GetString("d");
    C_TestFile testFile(folder ? folder : "");
    m_checkFolder = folder ? folder : "";
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
