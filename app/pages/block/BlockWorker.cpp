// The BlockAccess run on the page's worker thread: the checks and the write question,
// then the run itself through the page as its channel.
#include <windows.h>
#include <commctrl.h>
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/settings/Flags.h"
#include "core/System.h"

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

    C_BlockRunSetup setup;
    setup.device = device;
    setup.pattern = pattern;
    setup.write = write;
    setup.values = m_values;
    setup.saveData = (plan.flags & kFlagSaveReadData) != 0;
    setup.udmaCrc = (plan.flags & kFlagUdmaCrc) != 0;
    setup.graph = graph;
    setup.dataFile = plan.dataFile;
    const C_BlockRunResult result = m_run.Run(setup, *this);
    const int closeGraph = closeUnused && (result.lastFailed || result.accesses == 0);
    RequestRunState(0, closeGraph);
}

int C_BlockAccess::ConfirmWrite(C_Device& d)
{
    const std::string name =
        WriteConfirmationName(d.strVendor, d.strProduct, d.strRevision, d.strSerial, d.strName, d.strLetters);
    I_SettingsStore& settings = m_pHost->Settings();
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
    HWND bar = m_pHost->GetProgressBar();
    if (running) {
        m_bRunning = true;
        EnableRunning();
        ReadAndCheckValues();
        m_run.count = 0;
        m_run.loopMax = 0;
        SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SetTimer(m_hWnd, kTimerProgress, 40, nullptr);
        return;
    }
    KillTimer(m_hWnd, kTimerProgress);
    SetItemText(IDC_BLOCK_STOP, "&Stop");
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    if (closeGraph)
        m_pHost->GraphWindow().Dismiss();
    m_pHost->Flags() &= ~kFlagRunMask;
    m_bRunning = false;
    EnableIdle();
}

void C_BlockAccess::OnProgressTimer()
{
    const uint64_t loopMax = m_run.loopMax.load(), count = m_run.count.load();
    const WPARAM position = loopMax ? WPARAM(count * 100 / loopMax) : 0;
    SendMessageA(m_pHost->GetProgressBar(), PBM_SETPOS, position, 0);
}

int C_BlockAccess::IsStopRequested() { return m_worker.IsStopRequested(); }

void C_BlockAccess::ShowSpeed(const std::string& text) { SetItemText(IDC_BLOCK_SPEED, text.c_str()); }

void C_BlockAccess::ShowCrc(const std::string& text) { SetItemText(IDC_BLOCK_CRC_VALUE, text.c_str()); }

void C_BlockAccess::GraphSetup(int points)
{
    m_pHost->GraphWindow().Graph().Init(points, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
}

void C_BlockAccess::GraphPoint(int x, int megaBytesPerSecond)
{
    m_pHost->GraphWindow().Graph().AddValue(x, megaBytesPerSecond, 0);
}

void C_BlockAccess::Report(const std::string& message) { ShowPageBox(MB_ICONEXCLAMATION, message); }

void C_BlockAccess::RequestRunState(int running, int closeGraph)
{
    OnPageThread([&]() -> intptr_t {
        ApplyRunState(running, closeGraph);
        return 1;
    });
}
