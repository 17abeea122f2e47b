#include "core/report/Report.h"
#include <algorithm>
#include "core/CacheNote.h"
#include "core/Rate.h"
#include "core/UsbHint.h"
#include "core/Text.h"

const char* const kReportPassNames[4] = {"sequential-write", "sequential-read", "random-write",
                                         "random-read"};

const C_ReportPass* FailedPass(const C_ReportRun& run)
{
    for (const C_ReportPass& pass : run.passes)
        if (pass.result.failure.op != kOpNone)
            return &pass;
    return nullptr;
}

const char* RunOutcome(const C_ReportRun& run)
{
    if (FailedPass(run))
        return "failed";
    for (const C_ReportPass& pass : run.passes)
        if (pass.result.stopped)
            return "interrupted";
    for (const C_ReportPass& pass : run.passes)
        if (!pass.result.complete)
            return "incomplete";
    return run.passes.empty() ? "incomplete" : "complete";
}

const char* EngineOpName(uint32_t op)
{
    static const char* const kNames[] = {
        "none",        "open",        "seek-end",     "set-end",     "seek-start", "write",   "read",
        "flush",       "allocate",    "start-thread", "buffer-size", "range",      "changed", "volume-in-use",
        "source-open", "source-read", "sink-open",    "sink-write",  "free-space"};
    static_assert(sizeof(kNames) / sizeof(kNames[0]) == kOpFreeSpace + 1, "a name for every operation");
    return op <= kOpFreeSpace ? kNames[op] : "unknown";
}

const char* CacheBypassName(int bypass)
{
    switch (bypass) {
    case kBypassDevice:
        return "bypassed";
    case kBypassRefused:
        return "refused";
    case kBypassIgnored:
        return "ignored";
    case kBypassMemory:
        return "memory";
    default:
        return nullptr;
    }
}

const char* UsbSpeedName(int speedClass)
{
    static const char* const kNames[] = {"usb1", "usb2", "usb3-on-usb2-controller", "usb3-at-usb2-speed",
                                         "usb3"};
    return speedClass >= 1 && speedClass <= kUsbSuperSpeed ? kNames[speedClass - 1] : nullptr;
}

std::string FormatUtcTimestamp(int64_t unixSeconds)
{
    int64_t days = unixSeconds / 86400, second = unixSeconds % 86400;
    if (second < 0) {
        second += 86400;
        --days;
    }
    // The proleptic Gregorian calendar in 400-year eras of 146097 days, counted from 1 March
    // so that the leap day ends a year.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = (int)(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = (int)(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const long long year = yearOfEra + era * 400 + (month <= 2);
    return StringPrintf("%04lld-%02d-%02dT%02d:%02d:%02dZ", year, month, day, (int)(second / 3600),
                        (int)(second / 60 % 60), (int)(second % 60));
}

namespace {

struct C_FigureRule {
    const char* key;
    int randomOnly;
    int lowerIsBetter;
    double (*value)(const C_ReportPass& pass);
};

const C_FigureRule kFigures[] = {
    {"bytes_per_second", 0, 0, [](const C_ReportPass& p) { return p.result.bytesPerSecond; }},
    {"iops", 1, 0, [](const C_ReportPass& p) { return p.result.iops; }},
    {"latency_p50_ns", 1, 1, [](const C_ReportPass& p) { return (double)p.latency.p50; }},
    {"latency_p99_ns", 1, 1, [](const C_ReportPass& p) { return (double)p.latency.p99; }},
};

} // namespace

std::vector<C_ReportFigure> SummariseRuns(const C_Report& report)
{
    // Passes in the order they first ran.
    std::vector<std::string> names;
    std::vector<int> random;
    for (const C_ReportRun& run : report.runs)
        for (const C_ReportPass& pass : run.passes)
            if (std::find(names.begin(), names.end(), pass.name) == names.end()) {
                names.push_back(pass.name);
                random.push_back(pass.random);
            }

    std::vector<C_ReportFigure> figures;
    for (size_t n = 0; n < names.size(); ++n)
        for (const C_FigureRule& rule : kFigures) {
            if (rule.randomOnly && !random[n])
                continue;
            // A pass that failed or was stopped has no figure to compare.
            std::vector<double> values;
            for (const C_ReportRun& run : report.runs)
                for (const C_ReportPass& pass : run.passes)
                    if (pass.name == names[n] && pass.result.complete && !pass.result.stopped &&
                        pass.result.failure.op == kOpNone)
                        values.push_back(rule.value(pass));
            if (values.empty())
                continue;
            C_ReportFigure f;
            f.pass = names[n];
            f.figure = rule.key;
            f.runs = (uint32_t)values.size();
            f.median = MedianOf(values.data(), values.size());
            const double low = *std::min_element(values.begin(), values.end());
            const double high = *std::max_element(values.begin(), values.end());
            f.best = rule.lowerIsBetter ? low : high;
            f.spreadPercent = f.median > 0 ? (high - low) / f.median * 100 : 0;
            figures.push_back(f);
        }
    return figures;
}
