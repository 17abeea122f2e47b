#include "cmd/ConsoleRules.h"
#include <cctype>
#include <cinttypes>
#include "core/Text.h"
#include "core/engines/LatencyHistogram.h"
#include "core/report/Report.h"

C_RunPlan PlanConsoleRun(int64_t sizeMiB, int64_t blockKiB)
{
    C_RunPlan plan;
    if (sizeMiB == 0 || blockKiB == 0)
        return plan;
    if (sizeMiB < 0 || (uint64_t)sizeMiB > (UINT64_MAX >> 20)) {
        plan.exitCode = kExitBadValue;
        plan.error = StringPrintf("Invalid file size %" PRId64 " MB.\n", sizeMiB);
        return plan;
    }
    // One transfer's byte count is 32 bits; a larger block would silently wrap.
    if (blockKiB < 0 || (uint64_t)blockKiB > (UINT32_MAX >> 10)) {
        plan.exitCode = kExitBadValue;
        plan.error = StringPrintf("Invalid block size %" PRId64 " kB (at most %u kB).\n", blockKiB,
                                  (unsigned)(UINT32_MAX >> 10));
        return plan;
    }
    plan.runTest = 1;
    plan.fileSize = (uint64_t)sizeMiB << 20;
    plan.blockSize = (uint32_t)blockKiB << 10;
    return plan;
}

C_RunPlan PlanFillRun(int64_t sizeMiB, int sizeGiven, int64_t blockKiB)
{
    C_RunPlan plan = PlanConsoleRun(sizeGiven ? sizeMiB : 1, blockKiB);
    if (!sizeGiven)
        plan.fileSize = 0;
    return plan;
}

std::string CheckVerifyOptions(int verify, int random)
{
    if (verify && random)
        return "Random passes (-r 1) do not run with the check (-v 1 or -f 1).\n";
    return std::string();
}

std::string FormatFillProgress(int writing, uint64_t doneBytes, uint64_t totalBytes)
{
    return StringPrintf("%s %" PRIu64 " of %.1f GiB\n", writing ? "filled" : "verified", doneBytes >> 30,
                        double(totalBytes) / double(1ull << 30));
}

std::string FormatLogResults(const std::string& readText, uint32_t readMiB, const std::string& writeText,
                             uint32_t writeMiB)
{
    return StringPrintf("\tread:\t%s\t%u\twrite:\t%s\t%u%s", readText.c_str(), readMiB, writeText.c_str(),
                        writeMiB, "\r\n");
}

std::string CheckReportOptions(const std::string& format, int64_t runs, ConsoleReport* report)
{
    std::string lower = format;
    for (char& c : lower)
        c = (char)tolower((unsigned char)c);
    if (lower.empty())
        *report = kReportText;
    else if (lower == "json")
        *report = kReportJson;
    else if (lower == "csv")
        *report = kReportCsv;
    else
        return "Invalid output format " + format + " (json or csv).\n";
    if (runs < 1 || runs > kMaxConsoleRuns)
        return StringPrintf("Invalid run count %" PRId64 " (1 to %d).\n", runs, (int)kMaxConsoleRuns);
    return std::string();
}

std::string FormatRandomLine(const std::string& pass, double iops, const C_LatencyPercentiles& latency)
{
    return StringPrintf("%s: IOPS %.1f latency-us p50 %.1f p90 %.1f p99 %.1f p99.9 %.1f max %.1f\n",
                        pass.c_str(), iops, latency.p50 / 1000.0, latency.p90 / 1000.0, latency.p99 / 1000.0,
                        latency.p999 / 1000.0, latency.maximum / 1000.0);
}

std::string FormatRandomFailure(const std::string& pass, const std::string& operation, uint64_t position,
                                uint32_t error, const std::string& errorText)
{
    return StringPrintf("%s: failed: %s at byte %" PRIu64 ", error %u - %s\n", pass.c_str(),
                        operation.c_str(), position, (unsigned)error, errorText.c_str());
}

std::string FormatSummaryLine(const C_ReportFigure& figure)
{
    return StringPrintf("summary: %s %s median %.1f best %.1f spread %.1f%% of %u runs\n",
                        figure.pass.c_str(), figure.figure.c_str(), figure.median, figure.best,
                        figure.spreadPercent, (unsigned)figure.runs);
}
