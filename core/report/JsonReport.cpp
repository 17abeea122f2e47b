// The report as one JSON object. Every number has its unit in its key; a figure that could not
// be measured is null rather than a made-up zero, and a failure is an object of its own.
#include <cinttypes>
#include <cmath>
#include <vector>
#include "core/Text.h"
#include "core/report/Report.h"

namespace {

// Length of the well-formed UTF-8 sequence at s[i] (2 to 4), or 0.
size_t Utf8SequenceLength(const std::string& s, size_t i)
{
    const unsigned char lead = (unsigned char)s[i];
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else
        return 0;
    if (i + length > s.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char c = (unsigned char)s[i + k];
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// A JSON string. Text that is not UTF-8 (a name in a code page) keeps the output valid: each
// byte that starts no well-formed sequence becomes U+FFFD.
void AppendJsonString(std::string& out, const std::string& s)
{
    out += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = (unsigned char)s[i];
        switch (c) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (c < 0x20) {
            out += StringPrintf("\\u%04x", c);
        } else if (c < 0x80) {
            out += (char)c;
        } else if (const size_t length = Utf8SequenceLength(s, i)) {
            out.append(s, i, length);
            i += length - 1;
        } else {
            out += "\\ufffd";
        }
    }
    out += '"';
}

// Writes members and elements one a line, with two spaces of indent per level; small objects
// of figures stay on one line.
class C_JsonWriter {
public:
    std::string text;

    void Open(const char* key, char bracket, bool oneLine = false)
    {
        Start(key);
        text += bracket;
        m_levels.push_back({0, oneLine || (!m_levels.empty() && m_levels.back().oneLine)});
    }
    void Close(char bracket)
    {
        const C_Level level = m_levels.back();
        m_levels.pop_back();
        if (level.members && !level.oneLine)
            NewLine();
        text += bracket;
    }
    void String(const char* key, const std::string& value)
    {
        Start(key);
        AppendJsonString(text, value);
    }
    // A known name, or null when there is none.
    void Name(const char* key, const char* value)
    {
        Start(key);
        if (value)
            AppendJsonString(text, value);
        else
            text += "null";
    }
    void Null(const char* key)
    {
        Start(key);
        text += "null";
    }
    void Bool(const char* key, int value)
    {
        Start(key);
        text += value ? "true" : "false";
    }
    void Integer(const char* key, uint64_t value)
    {
        Start(key);
        text += StringPrintf("%" PRIu64, value);
    }
    void Decimal(const char* key, double value)
    {
        Start(key);
        text += std::isfinite(value) ? StringPrintf("%.1f", value) : "null";
    }

private:
    struct C_Level {
        int members; // so far
        bool oneLine;
    };
    void NewLine() { text += "\n" + std::string(2 * m_levels.size(), ' '); }
    void Start(const char* key)
    {
        if (!m_levels.empty()) {
            C_Level& level = m_levels.back();
            if (level.members++)
                text += level.oneLine ? ", " : ",";
            if (!level.oneLine)
                NewLine();
        }
        if (key) {
            AppendJsonString(text, key);
            text += ": ";
        }
    }
    std::vector<C_Level> m_levels;
};

void WriteFailure(C_JsonWriter& w, const C_ReportPass& pass)
{
    const C_EngineFailure& f = pass.result.failure;
    w.Open("failure", '{');
    w.String("pass", pass.name);
    w.Name("operation", EngineOpName(f.op));
    w.Integer("position", f.position);
    w.Integer("error", f.error);
    w.String("error_text", pass.errorText);
    w.String("detail", f.detail);
    w.Close('}');
}

void WritePass(C_JsonWriter& w, const C_ReportPass& pass)
{
    const C_EngineResult& r = pass.result;
    w.Open(nullptr, '{');
    w.String("name", pass.name);
    w.Bool("complete", r.complete);
    w.Bool("stopped", r.stopped);
    w.Integer("bytes", r.bytes);
    w.Integer("elapsed_us", r.microseconds);
    // A pass shorter than the clock's step has no rate.
    if (r.bytesPerSecond > 0)
        w.Decimal("bytes_per_second", r.bytesPerSecond);
    else
        w.Null("bytes_per_second");
    if (pass.random) {
        w.Integer("accesses", r.accesses);
        if (r.iops > 0)
            w.Decimal("iops", r.iops);
        else
            w.Null("iops");
        const C_LatencyPercentiles& l = pass.latency;
        w.Open("latency_ns", '{', true);
        w.Integer("count", l.count);
        w.Integer("min", l.minimum);
        w.Integer("p50", l.p50);
        w.Integer("p90", l.p90);
        w.Integer("p99", l.p99);
        w.Integer("p99_9", l.p999);
        w.Integer("max", l.maximum);
        w.Close('}');
    }
    w.Close('}');
}

// What a check's read pass found, in bytes; null for a run that did not get that far.
void WriteVerify(C_JsonWriter& w, const C_ReportRun& run)
{
    if (!run.verified) {
        w.Null("verify");
        return;
    }
    const C_CheckTally& t = run.tally;
    w.Open("verify", '{');
    w.Bool("intact", t.firstBad == kNoPosition);
    w.Integer("checked_bytes", t.checkedBytes);
    w.Integer("intact_bytes", t.intactBytes);
    w.Integer("moved_bytes", t.movedBytes);
    w.Integer("lost_bytes", t.lostBytes);
    w.Integer("changed_bytes", t.changedBytes);
    if (t.firstBad == kNoPosition)
        w.Null("first_bad_byte");
    else
        w.Integer("first_bad_byte", t.firstBad);
    w.Integer("trusted_bytes", run.trustedBytes);
    w.Close('}');
}

} // namespace

std::string FormatJsonReport(const C_Report& report)
{
    C_JsonWriter w;
    w.Open(nullptr, '{');
    w.String("format", "quellmor-report");
    w.Integer("format_version", 1);
    w.String("program", report.program);
    w.String("version", report.version);
    w.String("timestamp", report.timestamp);

    const C_ReportSettings& s = report.settings;
    w.Open("settings", '{');
    w.Integer("file_bytes", s.fileBytes);
    w.Integer("block_bytes", s.blockBytes);
    w.Bool("random_passes", s.randomPasses);
    if (s.randomPasses) {
        w.Integer("random_threads", s.randomThreads);
        w.Integer("random_block_bytes", s.randomBlockBytes);
        w.Integer("random_seconds", s.randomSeconds);
    }
    w.Integer("runs", s.runs);
    if (s.verify) {
        w.Bool("verify", 1);
        w.Bool("fill", s.fill);
    }
    w.Close('}');

    const C_ReportTarget& t = report.target;
    w.Open("target", '{');
    w.String("folder", t.folder);
    w.String("file_system", t.fileSystem);
    w.String("device", t.device);
    w.Name("usb_speed", UsbSpeedName(t.usbSpeedClass));
    w.Name("cache_bypass", CacheBypassName(t.cacheBypass));
    w.Close('}');

    w.Open("runs", '[');
    for (size_t i = 0; i < report.runs.size(); ++i) {
        const C_ReportRun& run = report.runs[i];
        w.Open(nullptr, '{');
        w.Integer("run", i + 1);
        w.String("outcome", RunOutcome(run));
        w.Open("passes", '[');
        for (const C_ReportPass& pass : run.passes)
            WritePass(w, pass);
        w.Close(']');
        if (const C_ReportPass* failed = FailedPass(run))
            WriteFailure(w, *failed);
        else
            w.Null("failure");
        if (report.settings.verify)
            WriteVerify(w, run);
        w.Close('}');
    }
    w.Close(']');

    // Per pass, each figure over the runs that completed it.
    w.Open("summary", '[');
    const std::vector<C_ReportFigure> figures = SummariseRuns(report);
    for (size_t i = 0; i < figures.size(); ++i) {
        const C_ReportFigure& f = figures[i];
        if (!i || figures[i - 1].pass != f.pass) {
            w.Open(nullptr, '{');
            w.String("pass", f.pass);
            w.Integer("runs", f.runs);
        }
        w.Open(f.figure.c_str(), '{', true);
        w.Decimal("median", f.median);
        w.Decimal("best", f.best);
        w.Decimal("spread_percent", f.spreadPercent);
        w.Close('}');
        if (i + 1 == figures.size() || figures[i + 1].pass != f.pass)
            w.Close('}');
    }
    w.Close(']');
    w.Close('}');
    return w.text + "\n";
}
