// The worker's side of the QuickAccess page: one run over the selected drives.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <cstdlib>
#include "app/pages/common/DesktopLogFile.h"
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/Simple.h"
#include "app/pages/quick/model/QuickRules.h"
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/Rate.h"
#include "core/SeqMessages.h"
#include "core/UsbHint.h"
#include "core/System.h"
#include "core/TestFile.h"
#include "core/engines/EngineTable.h"
#include "core/engines/SequentialText.h"
#include "devices/DriveLetterInfo.h"

void C_Simple::StartRun()
{
    // A Start while a run goes on does nothing; that run keeps its plan.
    if (m_worker.IsRunning())
        return;
    const int skipRandom = (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0) ? 1 : 0;
    m_plan = MakeQuickRunPlan(GetItemText(IDC_QUICK_FILE_SIZE), IsItemChecked(IDC_QUICK_BLOCK_64K),
                              skipRandom, m_drives.Entries(), m_drives.SelectedEntries());
    for (C_QuickPlannedDrive& drive : m_plan.drives)
        drive.usbSpeedClass = GetUsbSpeedClassOfLetter(C_DeviceList::Instance(), drive.entry.letter);
    m_worker.Start(&C_Simple::RunThread, this, 0);
}

uint32_t C_Simple::RunThread(void* self, uintptr_t)
{
    // The shell wants COM on a thread that opens documents.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ((C_Simple*)self)->Run();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void C_Simple::SetPhase(uint32_t phase)
{
    EnterCriticalSection(&m_lock);
    m_phase = phase;
    LeaveCriticalSection(&m_lock);
}

void C_Simple::Run()
{
    const C_QuickRunPlan& plan = m_plan;
    RequestRunState(1);
    m_lastReadMiB.store(0);
    m_lastWriteMiB.store(0);
    m_deviceText.clear();
    m_deviceClass = 0;

    m_fileSize.store(plan.fileSize);
    C_AlignedBuffer allocation;
    if (plan.fileSize && allocation.Allocate(plan.blockSize)) {
        void* buffer = allocation.Get();
        FillRandom(buffer, plan.blockSize, 0);
        std::string log = FormatLocalDateTime() + "\r\n";
        for (const C_QuickPlannedDrive& drive : plan.drives) {
            if (m_worker.IsStopRequested())
                break;
            m_stopPass.store(0);
            for (int id : {IDC_QUICK_SEQ_WRITE, IDC_QUICK_RND_WRITE, IDC_QUICK_SEQ_READ, IDC_QUICK_RND_READ})
                RequestResult(id, "", kColourGrey);
            RequestResult(IDC_QUICK_WRITE_HINT, "", kColourDarkRed);
            RequestResult(IDC_QUICK_READ_HINT, "", kColourDarkRed);
            std::string results[4]; // seq write, random write, seq read, random read
            TestDrive(drive, plan.skipRandom, results, buffer, plan.blockSize);
            const C_DriveEntry& entry = drive.entry;
            log += FormatDriveLogLine(entry.driveText, results[2], results[3], results[0], results[1]);
            m_deviceText = entry.vendorText.empty() ? entry.driveText : entry.vendorText;
            m_deviceClass = entry.classBits;
        }
        if (plan.drives.size() > 1)
            AppendDesktopLog(log, true);
    }
    RequestRunState(0);
}

void C_Simple::TestDrive(const C_QuickPlannedDrive& drive, int skipRandom, std::string results[4],
                         void* buffer, uint32_t blockSize)
{
    const char folder[3] = {drive.entry.letter, ':', 0};
    C_TestFile testFile(folder);
    // A folder that cannot be made shows as the open failure of the first pass.
    testFile.Prepare();
    const std::string& path = testFile.Path();
    const int usbSpeedClass = drive.usbSpeedClass;

    std::string hint;
    SetPhase(kPhaseSeqWrite);
    int ok = WorkerDoSpeedtest(1, path.c_str(), buffer, blockSize, usbSpeedClass, results[0], hint,
                               m_lastWriteMiB);
    SetPhase(0);
    RequestResult(IDC_QUICK_SEQ_WRITE, results[0], SequentialResultColour(hint));
    RequestResult(IDC_QUICK_WRITE_HINT, hint, kColourDarkRed);

    if (ok) {
        hint.clear();
        SetPhase(kPhaseSeqRead);
        ok = WorkerDoSpeedtest(0, path.c_str(), buffer, blockSize, usbSpeedClass, results[2], hint,
                               m_lastReadMiB);
        SetPhase(0);
        RequestResult(IDC_QUICK_SEQ_READ, results[2], SequentialResultColour(hint));
        RequestResult(IDC_QUICK_READ_HINT, hint, kColourDarkRed);
    }
    // Each random pass runs only after the one before it completed.
    const struct {
        int direction;
        uint32_t phase;
        int slot, id;
    } randomPasses[2] = {{1, kPhaseRndWrite, 1, IDC_QUICK_RND_WRITE},
                         {0, kPhaseRndRead, 3, IDC_QUICK_RND_READ}};
    for (const auto& pass : randomPasses) {
        if (!ok)
            break;
        if (skipRandom) {
            results[pass.slot] = "not tested";
        } else {
            m_random.Reset();
            SetPhase(pass.phase);
            ok = WorkerDoAccesstest(pass.direction, path.c_str(), buffer, results[pass.slot]);
            SetPhase(0);
        }
        // A shown figure has the latencies of its accesses in its tooltip.
        const std::string tip = skipRandom || results[pass.slot].empty()
                                    ? ""
                                    : FormatLatencyTip(m_random.Latency()->Percentiles());
        RequestResult(pass.id, results[pass.slot], kColourDarkGrey, tip);
    }

    testFile.Remove();
}

int C_Simple::WorkerDoSpeedtest(int direction, const char* path, void* buffer, uint32_t blockSize,
                                int usbSpeedClass, std::string& text, std::string& hint,
                                std::atomic<uint32_t>& lastMiB)
{
    // The pass's side of the page: the live display's figures, its message boxes and Stop.
    class C_Events : public I_EngineEvents {
    public:
        C_Events(C_Simple& page, const C_EngineJob& job) : m_page(page), m_job(job) {}
        int IsStopRequested() override { return m_page.IsStopRequested(); }
        void Begin(uint64_t) override
        {
            m_page.m_bytesDone.store(0);
            m_page.m_seqTimer.Start();
        }
        void Progress(uint64_t done) override { m_page.m_bytesDone.store(done, std::memory_order_relaxed); }
        void Failure(const C_EngineFailure& failure) override
        {
            m_page.Report(FormatSeqFailure(kStyleGui, failure, m_job.path, m_job.blockSize, m_job.size));
        }

    private:
        C_Simple& m_page;
        const C_EngineJob& m_job;
    };

    C_EngineJob job;
    job.kind = kEngineSequential;
    job.write = direction == 1;
    job.path = path;
    job.buffer = buffer;
    job.blockSize = blockSize;
    job.size = m_plan.fileSize;
    job.openFlags = kOpenNoBuffering | kOpenSequentialScan;
    C_Events events(*this, job);
    m_bytesDone.store(0);
    // Started here as well, so the live display never reads the previous pass's start.
    m_seqTimer.Start();
    const C_EngineResult result = RunEngine(job, events);
    text.clear();
    hint.clear();
    lastMiB.store(0);
    if (!result.complete)
        return 0;
    const C_RateResult rate = ComputeRate(result.bytes, result.microseconds);
    text = rate.text;
    if (!rate.tooFast) {
        lastMiB.store(rate.mibPerSecond);
        if (usbSpeedClass >= 0)
            AppendUsbHint(hint, usbSpeedClass, direction, rate.bytesPerSecond);
    }
    return 1;
}

int C_Simple::WorkerDoAccesstest(int direction, const char* path, void* buffer, std::string& text)
{
    C_EngineJob job;
    job.kind = kEngineRandom;
    job.write = direction == 1;
    job.path = path;
    job.buffer = buffer;
    job.size = m_plan.fileSize;
    job.keepFile = 1; // the sequential write wrote it in full, and the random read reads it
    job.latency = m_random.Latency();
    const C_EngineResult result = RunEngine(job, m_random);
    text = FormatAccessResult(result);
    return result.complete;
}
