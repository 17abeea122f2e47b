// The BlockAccess run on the page's worker thread: the checks and the write question,
// then the run itself through the page as its channel.
#include <windows.h>
#include <commctrl.h>
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/settings/Flags.h"
#include "core/System.h"

namespace {
const uint32_t kRunBits = kFlagRunLinear | kFlagRunRandom | kFlagRunSeek | kFlagRunReads | kFlagRunWrites;
}

uint32_t C_BlockAccess::WorkerEntry(void* self, uintptr_t)
{
    static_cast<C_BlockAccess*>(self)->WorkerThread();
    return 0;
}

void C_BlockAccess::WorkerThread()
{
    SetItemText(IDC_BLOCK_CRC_VALUE, "");
    SetItemText(IDC_BLOCK_SPEED, "");
    const uint32_t flags = m_pHost->Flags();
    C_Device* device = m_pDevice;
    const int write = (flags & kFlagRunWrites) != 0;
    const BlockPattern pattern = (flags & kFlagRunLinear)   ? kPatternLinear
                                 : (flags & kFlagRunRandom) ? kPatternRandom
                                                            : kPatternSeek;
    if (!device) {
        SendMessageA(m_hWnd, kMsgRunState, 0, 0);
        return;
    }
    if (!(device->dwCaps & (write ? kCapWrite : kCapRead))) {
        Report(NoCapabilityText(device->strName, write));
        SendMessageA(m_hWnd, kMsgRunState, 0, 0);
        return;
    }
    if (write && !ConfirmWrite(*device)) {
        SendMessageA(m_hWnd, kMsgRunState, 0, 0);
        return;
    }
    // The page enters the running state and checks the fields on its own thread.
    SendMessageA(m_hWnd, kMsgRunState, 1, 0);

    C_BlockRunSetup setup;
    setup.device = device;
    setup.pattern = pattern;
    setup.write = write;
    setup.values = m_values;
    setup.saveData = (flags & kFlagSaveReadData) != 0;
    setup.udmaCrc = (flags & kFlagUdmaCrc) != 0;
    setup.graph = (flags & kFlagShowGraph) != 0;
    setup.dataFile = GetItemText(IDC_BLOCK_DATA_FILE);
    const C_BlockRunResult result = m_run.Run(setup, *this);
    const int closeGraph =
        pattern == kPatternLinear && setup.graph && (result.lastFailed || result.accesses == 0);
    SendMessageA(m_hWnd, kMsgRunState, 0, closeGraph);
}

int C_BlockAccess::ConfirmWrite(C_Device& d)
{
    const std::string name =
        WriteConfirmationName(d.strVendor, d.strProduct, d.strRevision, d.strSerial, d.strName, d.strLetters);
    I_SettingsStore& settings = m_pHost->Settings();
    if (settings.ReadNumber(name.c_str(), 0, "Write") != 0)
        return 1;
    if (AskPage(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, WriteQuestionText(d.strName)) != IDYES)
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
    m_pHost->Flags() &= ~kRunBits;
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

void C_BlockAccess::Report(const std::string& message) { AskPage(MB_ICONEXCLAMATION, message); }

int C_BlockAccess::AskPage(UINT style, const std::string& text)
{
    // The box runs its modal loop on the GUI thread: a loop on the worker would leave the
    // page's thread to serve the owner's side of it across threads.
    C_BoxRequest request = {style, text.c_str(), 0};
    SendMessageA(m_hWnd, kMsgShowBox, 0, (LPARAM)&request);
    return request.answer;
}
