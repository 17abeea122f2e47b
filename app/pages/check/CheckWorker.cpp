// The worker's side of the CheckAccess page: one check of the chosen drive through the engine
// table, its curves fed to the graph as the chunks come, and the outcome in words.
#include <windows.h>
#include "app/pages/check/CheckAccess.h"
#include "app/pages/check/CheckIds.h"
#include "app/pages/common/DesktopLogFile.h"
#include "core/UsbHint.h"
#include "core/System.h"
#include "core/Text.h"
#include "core/engines/EngineTable.h"

namespace {
constexpr uint32_t kCheckBlockBytes = 1u << 20;
} // namespace

void C_CheckAccess::Run()
{
    // The engine's side of the page: the live figures the timers read, the curve points, a
    // failure's message box and Stop.
    class C_Events : public I_EngineEvents {
    public:
        C_Events(C_CheckAccess& page, const C_CheckOutcome& outcome) : m_page(page), m_outcome(outcome) {}
        int IsStopRequested() override { return m_page.IsStopRequested(); }
        void Begin(uint64_t planned) override
        {
            const int pass = m_outcome.reading ? kPassRead : kPassWrite;
            m_page.m_passDone.store(0);
            m_page.m_passBytes.store(planned);
            m_page.m_lastRate.store(0);
            m_page.m_pass.store(pass);
            if (pass == kPassWrite) {
                const C_FillPlan& plan = m_outcome.plan;
                const int points = (int)ChunkCount(plan.totalBytes, plan.chunkBytes);
                m_page.m_graph.Init(points > 1 ? points : 2, 0, 10, 2, "%d MB/s", 60, 1, -1, -1);
                m_page.m_graph.SetName(0, "write");
                m_page.m_graph.SetName(1, "read");
                m_page.RequestText(IDC_CHECK_AXIS_END, CurveEndText(plan.totalBytes));
            }
        }
        void Progress(uint64_t done) override { m_page.m_passDone.store(done, std::memory_order_relaxed); }
        void RatePoint(uint64_t position, uint64_t bytes, uint64_t microseconds) override
        {
            const C_CurvePoint point = CurvePoint(position, bytes, microseconds, m_outcome.plan.chunkBytes);
            m_page.m_lastRate.store(microseconds ? bytes * 1000000 / microseconds : 0);
            if (point.drawn)
                m_page.m_graph.AddValue(point.x, point.megaBytesPerSecond, m_outcome.reading ? 1 : 0);
        }
        void Failure(const C_EngineFailure& failure) override
        {
            const std::string text =
                FormatCheckFailure(failure, m_page.m_plan.folder, kCheckBlockBytes, m_outcome.plan.fileBytes);
            if (!text.empty())
                m_page.ShowPageBox(MB_ICONEXCLAMATION, text);
        }

    private:
        C_CheckAccess& m_page;
        const C_CheckOutcome& m_outcome;
    };

    RequestRunState(1);
    RequestText(IDC_CHECK_AXIS_END, "");
    C_EngineJob job;
    job.kind = kEngineCheck;
    job.path = m_plan.folder;
    job.blockSize = kCheckBlockBytes;
    job.size = m_plan.limitBytes;
    job.keepFiles = m_plan.keepFiles;
    job.check = &m_outcome;
    C_Events events(*this, m_outcome);
    const C_EngineResult result = RunEngine(job, events);
    m_pass.store(kPassNone);
    ShowOutcome(result);
    RequestRunState(0);
}

void C_CheckAccess::ShowOutcome(const C_EngineResult& result)
{
    const C_CheckOutcome& outcome = m_outcome;
    std::string status;
    if (result.stopped)
        status = m_plan.keepFiles ? "The check was stopped; its test files are kept."
                                  : "The check was stopped; its test files are removed.";
    else if (!result.complete)
        status = "The check could not be completed.";
    else if (outcome.diskFull)
        status = "The drive was full before the planned end; what was written was verified.";
    RequestText(IDC_CHECK_STATUS, status);
    if (!result.complete)
        return;

    const C_PassRates write = SummarisePass(outcome.writeChunks), read = SummarisePass(outcome.readChunks);
    const std::string writeText = FormatPassResult(write), readText = FormatPassResult(read);
    std::string writeHint, readHint;
    if (m_plan.usbSpeedClass >= 0) {
        AppendUsbHint(writeHint, m_plan.usbSpeedClass, 1, (float)write.mean);
        AppendUsbHint(readHint, m_plan.usbSpeedClass, 0, (float)read.mean);
    }
    const std::string hint = CombineUsbHints(writeHint, readHint);
    const std::string verdict = FormatCheckVerdict(outcome.tally);
    m_verdictColour.store(outcome.tally.firstBad == kNoPosition ? kColourIntact : kColourBad);
    RequestText(IDC_CHECK_WRITE, FormatRate((float)write.mean));
    RequestText(IDC_CHECK_READ, FormatRate((float)read.mean));
    RequestText(IDC_CHECK_WRITE_SPREAD, FormatPassSpread(write));
    RequestText(IDC_CHECK_READ_SPREAD, FormatPassSpread(read));
    RequestText(IDC_CHECK_HINT, hint);
    RequestText(IDC_CHECK_CLIFF, FormatCliffs(FindCliff(outcome.writeChunks), FindCliff(outcome.readChunks)));
    RequestText(IDC_CHECK_VERDICT, verdict);
    // The page shows the result itself; the log only keeps it.
    AppendDesktopLog(FormatLocalDateTime() + "\r\n" +
                         FormatCheckLogLine(m_plan.entry.driveText, verdict, writeText, readText),
                     false);
}
