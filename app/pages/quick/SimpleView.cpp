// The GUI thread's side of the QuickAccess page: control states, result colours, the two
// run timers and the comparison link.
#include <windows.h>
#include <commctrl.h>
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/Simple.h"
#include "app/pages/quick/model/ResultLink.h"
#include "app/pages/quick/ResultSubmit.h"
#include "app/pages/quick/model/QuickRules.h"
#include "core/PassPosition.h"
#include "core/System.h"

namespace {
const int kResultIds[4] = {IDC_QUICK_SEQ_WRITE, IDC_QUICK_RND_WRITE, IDC_QUICK_SEQ_READ, IDC_QUICK_RND_READ};

int ResultSlot(int id)
{
    for (int i = 0; i < 4; ++i)
        if (kResultIds[i] == id)
            return i;
    return -1;
}
} // namespace

void C_Simple::RequestRunState(int running)
{
    OnPageThread([&]() -> intptr_t {
        ApplyRunState(running);
        return 1;
    });
}

void C_Simple::RequestResult(int id, const std::string& text, uint32_t colour, const std::string& tip)
{
    OnPageThread([&]() -> intptr_t {
        ApplyResult(id, text.c_str(), colour, tip.c_str());
        return 1;
    });
}

void C_Simple::ApplyRunState(int running)
{
    m_bRunning = running != 0;
    for (int id :
         {IDC_QUICK_DRIVES, IDC_QUICK_BLOCK_64K, IDC_QUICK_BLOCK_1M, IDC_QUICK_FILE_SIZE, IDC_QUICK_START})
        EnableItem(id, !running);
    EnableItem(IDC_QUICK_STOP, running);
    HWND progress = m_pHost ? m_progressBar.GetProgressBar() : nullptr;
    if (running) {
        if (progress) {
            SendMessageA(progress, PBM_SETRANGE32, 0, 100);
            SendMessageA(progress, PBM_SETPOS, 0, 0);
        }
        SetTimer(m_hWnd, kTimerProgress, 40, nullptr);
        SetTimer(m_hWnd, kTimerSpeed, 300, nullptr);
    } else {
        KillTimer(m_hWnd, kTimerProgress);
        KillTimer(m_hWnd, kTimerSpeed);
        if (progress)
            SendMessageA(progress, PBM_SETPOS, 0, 0);
    }
    EnableItem(IDC_QUICK_COMPARE,
               IsResultLinkEnabled(running != 0, m_lastReadMiB.load(), m_lastWriteMiB.load()));
    // The page keeps the focus inside while its drive list is disabled.
    if (!running && !GetFocus())
        SetFocus(GetItem(IDC_QUICK_DRIVES));
}

void C_Simple::ApplyResult(int id, const char* text, uint32_t colour, const char* tip)
{
    const int slot = ResultSlot(id);
    if (slot >= 0)
        m_colours[slot].store(colour);
    SetItemText(id, text);
    if (id == IDC_QUICK_RND_WRITE || id == IDC_QUICK_RND_READ)
        m_tips.SetText(GetItem(id), tip);
    InvalidateRect(GetItem(id), nullptr, TRUE);
}

INT_PTR C_Simple::ColourResult(HDC dc, HWND control)
{
    const int id = GetDlgCtrlID(control);
    const int slot = ResultSlot(id);
    if (slot < 0 && id != IDC_QUICK_WRITE_HINT && id != IDC_QUICK_READ_HINT)
        return C_Page::OnMessage(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
    const uint32_t colour = slot >= 0 ? m_colours[slot].load() : (uint32_t)kColourDarkRed;
    SetTextColor(dc, (COLORREF)colour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
}

void C_Simple::OnProgressTimer()
{
    HWND progress = m_progressBar.GetProgressBar();
    EnterCriticalSection(&m_lock);
    uint32_t position = 0;
    if (m_phase & (kPhaseSeqRead | kPhaseSeqWrite))
        position = ProgressPercent(m_bytesDone.load(), m_fileSize.load());
    else if (m_phase & (kPhaseRndRead | kPhaseRndWrite))
        position = RandomProgress(m_random.GetSeconds());
    LeaveCriticalSection(&m_lock);
    if (progress)
        SendMessageA(progress, PBM_SETPOS, position, 0);
}

void C_Simple::OnSpeedTimer()
{
    // Held while formatting, so the phase cannot change between reading and showing.
    EnterCriticalSection(&m_lock);
    if (m_phase & (kPhaseSeqRead | kPhaseSeqWrite)) {
        // Peek reads the clock only: the pass's own final reading stays untouched.
        const std::string text = LiveSequentialText(m_bytesDone.load(), m_seqTimer.Peek() * 1000);
        SetItemText((m_phase & kPhaseSeqWrite) ? IDC_QUICK_SEQ_WRITE : IDC_QUICK_SEQ_READ, text.c_str());
    } else if (m_phase & (kPhaseRndRead | kPhaseRndWrite)) {
        const std::string text = LiveRandomText(m_random.GetAccessCount(), m_random.GetElapsedMicroseconds());
        SetItemText((m_phase & kPhaseRndWrite) ? IDC_QUICK_RND_WRITE : IDC_QUICK_RND_READ, text.c_str());
    }
    LeaveCriticalSection(&m_lock);
}

void C_Simple::OnLinkEvent(int event, void* self)
{
    C_Simple* page = (C_Simple*)self;
    if (event != kLinkPress && event != kLinkEnter && event != kLinkSpace)
        return;
    const uint32_t read = page->m_lastReadMiB.load(), write = page->m_lastWriteMiB.load();
    if (!IsResultLinkEnabled(page->IsTestRunning(), read, write))
        return;
    page->SetWaitCursor(1);
    SubmitResults(read, write, page->m_deviceText, page->m_deviceClass);
    page->SetWaitCursor(0);
}

void C_Simple::Report(const std::string& text) { ShowPageBox(MB_ICONEXCLAMATION, text); }

int C_Simple::IsStopRequested() { return m_stopPass.load() || m_worker.IsStopRequested(); }

int C_Simple::C_RandomEvents::IsStopRequested() { return m_page.IsStopRequested(); }
