// The GUI thread's side of the CheckAccess page: setup, the buttons, the stored values, the
// control states, the colours and the two timers.
#include "app/pages/check/CheckAccess.h"
#include <commctrl.h>
#include "app/pages/check/CheckIds.h"
#include "app/res/ArtworkIds.h"
#include "devices/DeviceList.h"
#include "devices/DriveLetterInfo.h"

namespace {
// Every control the running state disables; Stop is the only one left to the user.
const int kRunControls[] = {IDC_CHECK_DRIVES, IDC_CHECK_LIMIT, IDC_CHECK_KEEP, IDC_CHECK_START};
const int kResultIds[] = {IDC_CHECK_WRITE, IDC_CHECK_READ,  IDC_CHECK_WRITE_SPREAD, IDC_CHECK_READ_SPREAD,
                          IDC_CHECK_HINT,  IDC_CHECK_CLIFF, IDC_CHECK_VERDICT};
} // namespace

C_CheckAccess::C_CheckAccess(I_SettingsStore& settings, I_ProgressBarOwner& progressBar)
    : m_settings(settings), m_progressBar(progressBar)
{
}

C_Page* C_CheckAccess::Create(const S_PageServices& services)
{
    return new C_CheckAccess(services.settings, services.progressBar);
}
C_CheckAccess::~C_CheckAccess() = default;

INT_PTR C_CheckAccess::OnInitDialog()
{
    m_bRunning = false;
    m_pass.store(kPassNone);
    PlaceInHost();
    m_drives.Attach(m_hWnd, m_hInstance, GetItem(IDC_CHECK_DRIVES), false);
    SetItemBitmap(IDC_CHECK_START, IDB_BUTTON_START);
    SetItemBitmap(IDC_CHECK_STOP, IDB_BUTTON_STOP);
    SendItem(IDC_CHECK_LIMIT, EM_LIMITTEXT, 12, 0);

    // The figures and the verdict stand out as QuickAccess's results do.
    m_hResultFont = CreateFontA(-MulDiv(9, 96, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                CLEARTYPE_QUALITY, 0, "Arial");
    for (int id : {IDC_CHECK_WRITE, IDC_CHECK_READ, IDC_CHECK_VERDICT})
        SendItem(id, WM_SETFONT, (WPARAM)m_hResultFont, 0);

    // The graph takes the place its template keeps free.
    RECT area;
    GetWindowRect(GetItem(IDC_CHECK_GRAPH), &area);
    MapWindowPoints(nullptr, m_hWnd, (POINT*)&area, 2);
    m_graph.RegisterClass(m_hInstance, kGraphProgramOptions | kGraphLegend);
    m_graph.Create(area, m_hWnd);
    m_graph.Init(100, 0, 10, 2, "%d MB/s", 60, 1, -1, -1);
    m_graph.SetName(0, "write");
    m_graph.SetName(1, "read");

    const C_CheckValues values = LoadCheckValues(m_settings);
    SetItemText(IDC_CHECK_LIMIT, values.limit.c_str());
    CheckItem(IDC_CHECK_KEEP, values.keepFiles != 0);
    ApplyRunState(0);
    m_progressBar.CreateProgressBar(m_hWnd);
    RefreshDriveList();
    SelectLetter(values.letter);
    Show(SW_SHOW);
    SetFocus(GetItem(IDC_CHECK_DRIVES));
    return 2; // the focus was set here
}

void C_CheckAccess::RefreshDriveList()
{
    // The worker works on its copy of the chosen entry; the list itself is free while no
    // check holds the controls.
    if (!m_bRunning)
        m_drives.Refresh();
}

void C_CheckAccess::SelectLetter(char letter)
{
    const std::vector<C_DriveEntry>& entries = m_drives.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].letter != letter)
            continue;
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        // The items are in entry order.
        SendItem(IDC_CHECK_DRIVES, LVM_SETITEMSTATE, i, (LPARAM)&state);
        SendItem(IDC_CHECK_DRIVES, LVM_ENSUREVISIBLE, i, 0);
        return;
    }
}

INT_PTR C_CheckAccess::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    switch (id) {
    case IDC_CHECK_START:
        if (HIWORD(wParam) == BN_CLICKED)
            StartCheck();
        return 1;
    case IDC_CHECK_STOP:
        if (HIWORD(wParam) == BN_CLICKED)
            StopCheck();
        return 1;
    default:
        return C_Page::OnCommand(id, wParam, lParam);
    }
}

void C_CheckAccess::StartCheck()
{
    if (m_worker.IsRunning())
        return;
    const std::vector<int> chosen = m_drives.SelectedEntries();
    if (chosen.empty())
        return;
    m_plan = C_CheckPlan();
    m_plan.entry = m_drives.Entries()[(size_t)chosen[0]];
    m_plan.folder = std::string(1, m_plan.entry.letter) + ":\\";
    m_plan.limitBytes = CheckLimitBytes(GetItemText(IDC_CHECK_LIMIT));
    m_plan.keepFiles = IsItemChecked(IDC_CHECK_KEEP) ? 1 : 0;
    const std::string question = WindowsDriveQuestion(
        m_plan.entry.letter, C_DeviceList::Instance().GetWindowsLetter(), m_plan.limitBytes);
    if (!question.empty() && ShowPageBox(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, question) != IDYES)
        return;
    m_plan.usbSpeedClass = GetUsbSpeedClassOfLetter(C_DeviceList::Instance(), m_plan.entry.letter);
    m_stop.store(0);
    m_worker.Start(&C_CheckAccess::RunThread, this, 0);
}

void C_CheckAccess::StopCheck()
{
    if (m_worker.IsRunning())
        m_stop.store(1);
}

uint32_t C_CheckAccess::RunThread(void* self, uintptr_t)
{
    ((C_CheckAccess*)self)->Run();
    return 0;
}

INT_PTR C_CheckAccess::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool listMessage = false;
    const int asked = m_drives.OnPageMessage(message, wParam, lParam, &listMessage);
    if (asked == C_DriveList::kNotifyRefresh)
        RefreshDriveList();
    else if (asked == C_DriveList::kNotifyStart)
        StartCheck();
    if (listMessage)
        return message == WM_NOTIFY ? 0 : 1;
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerProgress)
            OnProgressTimer();
        else if (wParam == kTimerStatus)
            OnStatusTimer();
        return 1;
    case WM_CTLCOLORSTATIC:
        return ColourText((HDC)wParam, (HWND)lParam);
    default:
        return C_Page::OnMessage(message, wParam, lParam);
    }
}

INT_PTR C_CheckAccess::OnEnd(INT_PTR)
{
    C_CheckValues values;
    values.limit = GetItemText(IDC_CHECK_LIMIT);
    values.keepFiles = IsItemChecked(IDC_CHECK_KEEP) ? 1 : 0;
    const std::vector<int> chosen = m_drives.SelectedEntries();
    if (!chosen.empty())
        values.letter = m_drives.Entries()[(size_t)chosen[0]].letter;
    SaveCheckValues(m_settings, values);
    return 1;
}

INT_PTR C_CheckAccess::OnDestroy()
{
    // The worker still talks to the controls while it ends; Wait dispatches its messages.
    m_worker.RequestStop();
    if (m_worker.IsRunning())
        m_worker.Wait(0);
    KillTimer(m_hWnd, kTimerProgress);
    KillTimer(m_hWnd, kTimerStatus);
    m_drives.Detach();
    if (HWND graph = m_graph.GetHandle())
        DestroyWindow(graph);
    if (m_hResultFont)
        DeleteObject(m_hResultFont);
    m_hResultFont = nullptr;
    return C_Page::OnDestroy();
}

void C_CheckAccess::RequestRunState(int running)
{
    OnPageThread([&]() -> intptr_t {
        ApplyRunState(running);
        return 1;
    });
}

void C_CheckAccess::RequestText(int id, const std::string& text)
{
    OnPageThread([&]() -> intptr_t {
        SetItemText(id, text.c_str());
        InvalidateRect(GetItem(id), nullptr, TRUE);
        return 1;
    });
}

void C_CheckAccess::ApplyRunState(int running)
{
    m_bRunning = running != 0;
    for (int id : kRunControls)
        EnableItem(id, !running);
    EnableItem(IDC_CHECK_STOP, running);
    HWND progress = m_progressBar.GetProgressBar();
    if (running) {
        for (int id : kResultIds)
            SetItemText(id, "");
        SetItemText(IDC_CHECK_STATUS, "");
        m_verdictColour.store(kColourNeutral);
        if (progress) {
            SendMessageA(progress, PBM_SETRANGE32, 0, 100);
            SendMessageA(progress, PBM_SETPOS, 0, 0);
        }
        SetTimer(m_hWnd, kTimerProgress, 40, nullptr);
        SetTimer(m_hWnd, kTimerStatus, 300, nullptr);
    } else {
        KillTimer(m_hWnd, kTimerProgress);
        KillTimer(m_hWnd, kTimerStatus);
        if (progress)
            SendMessageA(progress, PBM_SETPOS, 0, 0);
    }
    if (!running && !GetFocus())
        SetFocus(GetItem(IDC_CHECK_DRIVES));
}

void C_CheckAccess::OnProgressTimer()
{
    if (HWND progress = m_progressBar.GetProgressBar())
        SendMessageA(progress, PBM_SETPOS,
                     CheckProgress(m_pass.load(), m_passDone.load(), m_passBytes.load()), 0);
}

void C_CheckAccess::OnStatusTimer()
{
    const int pass = m_pass.load();
    if (pass == kPassNone)
        return;
    SetItemText(IDC_CHECK_STATUS,
                FormatCheckStatus(pass, m_passDone.load(), m_passBytes.load(), m_lastRate.load()).c_str());
}

INT_PTR C_CheckAccess::ColourText(HDC dc, HWND control)
{
    const int id = GetDlgCtrlID(control);
    uint32_t colour;
    if (id == IDC_CHECK_VERDICT)
        colour = m_verdictColour.load();
    else if (id == IDC_CHECK_HINT)
        colour = kColourBad;
    else if (id == IDC_CHECK_WRITE || id == IDC_CHECK_READ || id == IDC_CHECK_WRITE_SPREAD ||
             id == IDC_CHECK_READ_SPREAD || id == IDC_CHECK_CLIFF)
        colour = kColourNeutral;
    else
        return C_Page::OnMessage(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
    SetTextColor(dc, (COLORREF)colour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
}
