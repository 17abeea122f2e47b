// The report as CSV: the columns are fixed, so files of many tests line up; a pass that did not
// run, and a figure that could not be measured, leave their fields empty.
#include <cinttypes>
#include <cmath>
#include <cstring>
#include <vector>
#include "core/Text.h"
#include "core/report/Report.h"

namespace {

// A field as it stands, or in double quotes with its quotes doubled when it holds a comma,
// a quote or a line break.
std::string CsvField(const std::string& value)
{
    if (value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Integer(uint64_t value) { return StringPrintf("%" PRIu64, value); }
std::string Rate(double value)
{
    return value > 0 && std::isfinite(value) ? StringPrintf("%.1f", value) : "";
}
bool IsRandomPass(const char* name) { return std::strncmp(name, "random-", 7) == 0; }

// The fixed columns of one pass, as "random_read_iops".
void AddPassColumns(std::vector<std::string>& columns, const char* pass)
{
    std::string prefix = pass;
    for (char& c : prefix)
        c = c == '-' ? '_' : c;
    for (const char* key : {"bytes", "elapsed_us", "bytes_per_second"})
        columns.push_back(prefix + "_" + key);
    if (IsRandomPass(pass))
        for (const char* key : {"accesses", "iops", "latency_p50_ns", "latency_p90_ns", "latency_p99_ns",
                                "latency_p99_9_ns", "latency_max_ns"})
            columns.push_back(prefix + "_" + key);
}

void AddPassFields(std::vector<std::string>& fields, const char* name, const C_ReportRun& run)
{
    const C_ReportPass* pass = nullptr;
    for (const C_ReportPass& p : run.passes)
        if (p.name == name)
            pass = &p;
    const size_t count = IsRandomPass(name) ? 10 : 3;
    if (!pass) {
        fields.insert(fields.end(), count, std::string());
        return;
    }
    const C_EngineResult& r = pass->result;
    fields.push_back(Integer(r.bytes));
    fields.push_back(Integer(r.microseconds));
    fields.push_back(Rate(r.bytesPerSecond));
    if (count == 3)
        return;
    const C_LatencyPercentiles& l = pass->latency;
    fields.push_back(Integer(r.accesses));
    fields.push_back(Rate(r.iops));
    for (uint64_t ns : {l.p50, l.p90, l.p99, l.p999, l.maximum})
        fields.push_back(l.count ? Integer(ns) : std::string());
}

std::string Line(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\n";
}

} // namespace

std::string FormatCsvReport(const C_Report& report)
{
    std::vector<std::string> header = {
        "program",      "version",    "timestamp",   "folder",         "file_system", "device", "usb_speed",
        "cache_bypass", "file_bytes", "block_bytes", "random_threads", "run",         "outcome"};
    for (const char* pass : kReportPassNames)
        AddPassColumns(header, pass);
    for (const char* key : {"failure_pass", "failure_operation", "failure_position", "failure_error",
                            "failure_error_text", "failure_detail"})
        header.push_back(key);
    // A check's verdict: columns of their own at the end, so the columns of every other test
    // stay as they are.
    if (report.settings.verify)
        for (const char* key :
             {"verify_intact", "verify_checked_bytes", "verify_intact_bytes", "verify_moved_bytes",
              "verify_lost_bytes", "verify_changed_bytes", "verify_first_bad_byte", "verify_trusted_bytes"})
            header.push_back(key);
    std::string text = Line(header);

    const C_ReportSettings& s = report.settings;
    const C_ReportTarget& t = report.target;
    const char* usb = UsbSpeedName(t.usbSpeedClass);
    const char* bypass = CacheBypassName(t.cacheBypass);
    for (size_t i = 0; i < report.runs.size(); ++i) {
        const C_ReportRun& run = report.runs[i];
        std::vector<std::string> fields = {report.program,
                                           report.version,
                                           report.timestamp,
                                           t.folder,
                                           t.fileSystem,
                                           t.device,
                                           usb ? usb : "",
                                           bypass ? bypass : "",
                                           Integer(s.fileBytes),
                                           Integer(s.blockBytes),
                                           s.randomPasses ? Integer(s.randomThreads) : "",
                                           Integer(i + 1),
                                           RunOutcome(run)};
        for (const char* pass : kReportPassNames)
            AddPassFields(fields, pass, run);
        if (const C_ReportPass* failed = FailedPass(run)) {
            const C_EngineFailure& f = failed->result.failure;
            for (const std::string& field :
                 {failed->name, std::string(EngineOpName(f.op)), Integer(f.position), Integer(f.error),
                  failed->errorText, f.detail})
                fields.push_back(field);
        } else {
            fields.insert(fields.end(), 6, std::string());
        }
        if (report.settings.verify && run.verified) {
            const C_CheckTally& c = run.tally;
            const bool intact = c.firstBad == kNoPosition;
            for (const std::string& field :
                 {std::string(intact ? "true" : "false"), Integer(c.checkedBytes), Integer(c.intactBytes),
                  Integer(c.movedBytes), Integer(c.lostBytes), Integer(c.changedBytes),
                  intact ? std::string() : Integer(c.firstBad), Integer(run.trustedBytes)})
                fields.push_back(field);
        } else if (report.settings.verify) {
            fields.insert(fields.end(), 8, std::string());
        }
        text += Line(fields);
    }
    return text;
}
