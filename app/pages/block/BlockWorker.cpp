// The BlockAccess run on the page's worker thread: the checks and the write question,
// then the run itself through the page as its channel.
#include <windows.h>
#include <commctrl.h>
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/settings/Flags.h"
#include "core/System.h"
#include "core/engines/EngineTable.h"

uint32_t C_BlockAccess::WorkerEntry(void* self, uintptr_t)
{
    static_cast<C_BlockAccess*>(self)->WorkerThread();
    return 0;
}

void C_BlockAccess::WorkerThread()
{
    SetItemText(IDC_BLOCK_CRC_VALUE, "");
    SetItemText(IDC_BLOCK_SPEED, "");
    const C_RunPlan plan = m_plan;
    C_Device* device = plan.device;
    const int write = (plan.flags & kFlagRunWrites) != 0;
    const BlockPattern pattern = PatternOfRunFlags(plan.flags);
    const int graph = (plan.flags & kFlagShowGraph) != 0;
    // A linear graph run that ends before its first access closes the window it opened.
    const int closeUnused = pattern == kPatternLinear && graph;
    if (!device) {
        RequestRunState(0, closeUnused);
        return;
    }
    if (!(device->dwCaps & (write ? kCapWrite : kCapRead))) {
        Report(NoCapabilityText(device->strName, write));
        RequestRunState(0, closeUnused);
        return;
    }
    if (write) {
        if (const char letter = WindowsLetterOn(*device, plan.windowsLetter, plan.systemIdentity)) {
            Report(SystemDeviceText(device->strName, letter));
            RequestRunState(0, closeUnused);
            return;
        }
        if (!ConfirmWrite(*device)) {
            RequestRunState(0, closeUnused);
            return;
        }
    }
    // The page enters the running state and checks the fields on its own thread.
    RequestRunState(1, 0);

    C_EngineJob job;
    job.kind = kEngineBlock;
    job.target = device;
    job.blockSize = device->dwBlockSize;
    job.pattern = pattern;
    job.write = write;
    job.values = m_values;
    job.dataFile = (plan.flags & kFlagSaveReadData) != 0;
    job.sourceFile = plan.dataFile;
    job.checkData = (plan.flags & kFlagUdmaCrc) != 0;
    job.ratePoints = 1;
    m_shape = C_RunShape();
    m_shape.bufferBytes = BufferBytes(job.values.blocks, job.blockSize);
    m_shape.calcEvery = job.values.calcEvery;
    m_shape.graph = pattern == kPatternLinear && graph;
    const C_EngineResult result = RunEngine(job, *this);
    const C_EngineFailure& failure = result.failure;
    if (failure.op != kOpNone) {
        const std::string text = BlockFailureText(failure, device->strName, job.values.blocks, job.blockSize,
                                                  ErrorText(failure.error));
        if (!text.empty())
            Report(text);
    }
    const bool accessFailed = failure.op == kOpRead || failure.op == kOpWrite;
    const int closeGraph = closeUnused && (accessFailed || result.accesses == 0);
    RequestRunState(0, closeGraph);
}

int C_BlockAccess::ConfirmWrite(C_Device& d)
{
    const std::string name =
        WriteConfirmationName(d.strVendor, d.strProduct, d.strRevision, d.strSerial, d.strName, d.strLetters);
    I_SettingsStore& settings = m_settings;
    if (settings.ReadNumber(name.c_str(), 0, "Write") != 0)
        return 1;
    if (ShowPageBox(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                    WriteQuestionText(d.strName, DeviceDescription(d))) != IDYES)
        return 0;
    settings.WriteNumber(name.c_str(), 1, "Write");
    return 1;
}

void C_BlockAccess::ApplyRunState(int running, int closeGraph)
{
    HWND bar = m_progressBar.GetProgressBar();
    if (running) {
        m_bRunning = true;
        EnableRunning();
        ReadAndCheckValues();
        m_count = 0;
        m_loopMax = 0;
        SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SetTimer(m_hWnd, kTimerProgress, 40, nullptr);
        return;
    }
    KillTimer(m_hWnd, kTimerProgress);
    SetItemText(IDC_BLOCK_STOP, "&Stop");
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    if (closeGraph)
        m_graphWindow.Dismiss();
    m_flags &= ~kFlagRunMask;
    m_bRunning = false;
    EnableIdle();
}

void C_BlockAccess::OnProgressTimer()
{
    const uint64_t loopMax = m_loopMax.load(), count = m_count.load();
    const WPARAM position = loopMax ? WPARAM(count * 100 / loopMax) : 0;
    SendMessageA(m_progressBar.GetProgressBar(), PBM_SETPOS, position, 0);
}

int C_BlockAccess::IsStopRequested() { return m_worker.IsStopRequested(); }

void C_BlockAccess::Begin(uint64_t accesses)
{
    m_loopMax = accesses;
    if (!m_shape.graph)
        return;
    m_shape.graphScale = GraphScale(accesses);
    C_GRAPH& graph = m_graphWindow.Graph();
    graph.Init(int(accesses / m_shape.graphScale), 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
    // A group's point lands at its last access, so a graph of groups starts from zero.
    if (m_shape.calcEvery != 1)
        graph.AddValue(0, 0, 0);
}

void C_BlockAccess::Progress(uint64_t done) { m_count = done; }

void C_BlockAccess::RatePoint(uint64_t accesses, uint64_t bytes, uint64_t microseconds)
{
    const C_BlockRatePoint point =
        BlockRatePoint(m_shape.bufferBytes, m_shape.graphScale, accesses, bytes, microseconds);
    SetItemText(IDC_BLOCK_SPEED, point.text.c_str());
    if (m_shape.graph)
        m_graphWindow.Graph().AddValue(point.x, point.megaBytesPerSecond, 0);
}

void C_BlockAccess::AccessData(const void* data, uint32_t bytes)
{
    SetItemText(IDC_BLOCK_CRC_VALUE, "");
    SetItemText(IDC_BLOCK_CRC_VALUE, UdmaCrcText(data, bytes).c_str());
}

void C_BlockAccess::Report(const std::string& message) { ShowPageBox(MB_ICONEXCLAMATION, message); }

void C_BlockAccess::RequestRunState(int running, int closeGraph)
{
    OnPageThread([&]() -> intptr_t {
        ApplyRunState(running, closeGraph);
        return 1;
    });
}
