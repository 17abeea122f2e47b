#include "app/pages/quick/Simple.h"
#include <commctrl.h>
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/model/QuickRules.h"
#include "app/res/ArtworkIds.h"
#include "app/settings/Flags.h"

C_Simple::C_Simple(uint32_t& flags, I_ProgressBarOwner& progressBar)
    : m_flags(flags), m_progressBar(progressBar)
{
    InitializeCriticalSection(&m_lock);
    for (auto& colour : m_colours)
        colour.store(kColourGrey);
}

C_Simple::~C_Simple() { DeleteCriticalSection(&m_lock); }

C_Page* C_Simple::Create(const S_PageServices& services)
{
    return new C_Simple(services.values.flags, services.progressBar);
}

INT_PTR C_Simple::OnInitDialog()
{
    EnterCriticalSection(&m_lock);
    m_phase = 0;
    LeaveCriticalSection(&m_lock);
    m_fileSize.store(0);
    m_bytesDone.store(0);
    m_deviceText.clear();

    PlaceInHost();
    m_drives.Attach(m_hWnd, m_hInstance, GetItem(IDC_QUICK_DRIVES), true);

    static const char* const sizes[] = {"10", "50", "100", "250", "1000", "4000"};
    for (const char* size : sizes)
        SendItem(IDC_QUICK_FILE_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    SetItemText(IDC_QUICK_FILE_SIZE, "1000");
    CheckRadio(IDC_QUICK_BLOCK_64K, IDC_QUICK_BLOCK_1M, IDC_QUICK_BLOCK_1M);

    SetItemBitmap(IDC_QUICK_START, IDB_QUICK_START);
    SetItemBitmap(IDC_QUICK_STOP, IDB_QUICK_STOP);
    AttachPageIcon(IDC_QUICK_ICON, IDB_PAGE_ICON);
    m_compare.Attach(GetItem(IDC_QUICK_COMPARE), "Compare and Submit your test results", nullptr, IDCUR_HAND,
                     0, &C_Simple::OnLinkEvent, this);

    // The results stand out in a larger face than the dialog's.
    m_hResultFont = CreateFontA(-MulDiv(9, 96, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                CLEARTYPE_QUALITY, 0, "Arial");
    for (int id : {IDC_QUICK_SEQ_WRITE, IDC_QUICK_RND_WRITE, IDC_QUICK_SEQ_READ, IDC_QUICK_RND_READ}) {
        SendItem(id, WM_SETFONT, (WPARAM)m_hResultFont, 0);
        SetItemText(id, "");
    }
    // The random results' latencies, in tooltips that leave the fields' texts as they are.
    if (m_tips.Create(m_hWnd))
        for (int id : {IDC_QUICK_RND_WRITE, IDC_QUICK_RND_READ})
            m_tips.Add(GetItem(id));
    ApplyRunState(0);
    m_progressBar.CreateProgressBar(m_hWnd);
    RefreshDriveList();
    // Started with the read or write switch: the run needs no click.
    if (m_flags & (kFlagStartRead | kFlagStartWrite))
        StartRun();
    Show(SW_SHOW);
    SetFocus(GetItem(IDC_QUICK_DRIVES));
    // The focus was set here; the dialog manager must not move it.
    return 2;
}

void C_Simple::RefreshDriveList()
{
    // The worker reads the entries from its first request to its last; a worker that has
    // made its last one is only ending and holds nothing.
    if (!m_bRunning)
        m_drives.Refresh();
}

INT_PTR C_Simple::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    switch (id) {
    case IDC_QUICK_START:
        if (HIWORD(wParam) == BN_CLICKED)
            StartRun();
        return 1;
    case IDC_QUICK_STOP:
        if (HIWORD(wParam) == BN_CLICKED && m_worker.IsRunning())
            m_stopPass.store(1);
        return 1;
    default:
        return C_Page::OnCommand(id, wParam, lParam);
    }
}

INT_PTR C_Simple::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool listMessage = false;
    const int asked = m_drives.OnPageMessage(message, wParam, lParam, &listMessage);
    if (asked == C_DriveList::kNotifyRefresh)
        RefreshDriveList();
    else if (asked == C_DriveList::kNotifyStart)
        StartRun();
    if (listMessage)
        return message == WM_NOTIFY ? 0 : 1;
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerProgress)
            OnProgressTimer();
        else if (wParam == kTimerSpeed)
            OnSpeedTimer();
        return 1;
    case WM_CTLCOLORSTATIC:
        return ColourResult((HDC)wParam, (HWND)lParam);
    default:
        return C_Page::OnMessage(message, wParam, lParam);
    }
}

INT_PTR C_Simple::OnDestroy()
{
    // The worker still talks to the controls while it ends; Wait dispatches its messages.
    m_worker.RequestStop();
    if (m_worker.IsRunning())
        m_worker.Wait(0);
    KillTimer(m_hWnd, kTimerProgress);
    KillTimer(m_hWnd, kTimerSpeed);
    m_drives.Detach();
    m_tips.Destroy();
    m_compare.Detach();
    if (m_hResultFont)
        DeleteObject(m_hResultFont);
    m_hResultFont = nullptr;
    return C_Page::OnDestroy();
}
