#include "app/pages/quick/Simple.h"
#include "devices/DeviceList.h"
#include <commctrl.h>
#include <dbt.h>
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/model/QuickRules.h"
#include "app/settings/Flags.h"

C_Simple::C_Simple()
{
    InitializeCriticalSection(&m_lock);
    for (auto& colour : m_colours)
        colour.store(kColourGrey);
}

C_Simple::~C_Simple() { DeleteCriticalSection(&m_lock); }

INT_PTR C_Simple::OnInitDialog()
{
    EnterCriticalSection(&m_lock);
    m_phase = 0;
    LeaveCriticalSection(&m_lock);
    m_fileSize.store(0);
    m_bytesDone.store(0);
    m_deviceText.clear();

    PlaceInHost();
    SetUpDriveList();

    static const char* const sizes[] = {"10", "50", "100", "250", "1000", "4000"};
    for (const char* size : sizes)
        SendItem(IDC_QUICK_FILE_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    SetItemText(IDC_QUICK_FILE_SIZE, "1000");
    CheckRadio(IDC_QUICK_BLOCK_64K, IDC_QUICK_BLOCK_1M, IDC_QUICK_BLOCK_1M);

    SetItemBitmap(IDC_QUICK_START, IDB_QUICK_START);
    SetItemBitmap(IDC_QUICK_STOP, IDB_QUICK_STOP);
    AttachPageIcon(IDC_QUICK_ICON, 163);
    m_compare.Attach(GetItem(IDC_QUICK_COMPARE), "Compare and Submit your test results", nullptr, 127, 0,
                     &C_Simple::OnLinkEvent, this);

    // The results stand out in a larger face than the dialog's.
    m_hResultFont = CreateFontA(-MulDiv(9, 96, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                CLEARTYPE_QUALITY, 0, "Arial");
    for (int id : {IDC_QUICK_SEQ_WRITE, IDC_QUICK_RND_WRITE, IDC_QUICK_SEQ_READ, IDC_QUICK_RND_READ}) {
        SendItem(id, WM_SETFONT, (WPARAM)m_hResultFont, 0);
        SetItemText(id, "");
    }
    ApplyRunState(0);
    m_pHost->CreateProgressBar(m_hWnd);
    RefreshDriveList();
    // Started with the read or write switch: the run needs no click.
    if (m_pHost->Flags() & (kFlagStartRead | kFlagStartWrite))
        StartRun();
    RegisterDeviceChanges();
    Show(SW_SHOW);
    SetFocus(GetItem(IDC_QUICK_DRIVES));
    // The focus was set here; the dialog manager must not move it.
    return 2;
}

void C_Simple::SetUpDriveList()
{
    HWND list = GetItem(IDC_QUICK_DRIVES);
    SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) & ~(LONG_PTR)LVS_SINGLESEL);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // The page keeps its own drive pictures.
    m_drives.Attach(list, m_hInstance, C_ListView::kNoImageLists, 0, 0, ListViewEvents());
    m_drives.AddColumn("Drive", 0, LVCFMT_LEFT, 155);
    m_drives.AddColumn("Vendor", 1, LVCFMT_LEFT, 155);
    FillDriveImages();
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
    switch (message) {
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->idFrom == IDC_QUICK_DRIVES)
            OnListNotify((NMHDR*)lParam);
        return 0;
    case WM_TIMER:
        if (wParam == kTimerProgress)
            OnProgressTimer();
        else if (wParam == kTimerSpeed)
            OnSpeedTimer();
        else if (wParam == kTimerDeviceChange) {
            KillTimer(m_hWnd, kTimerDeviceChange);
            RefreshDriveList();
        }
        return 1;
    case WM_DEVICECHANGE:
        OnDeviceChange(wParam, lParam);
        return 1;
    case WM_CTLCOLORSTATIC:
        return ColourResult((HDC)wParam, (HWND)lParam);
    default:
        return C_Page::OnMessage(message, wParam, lParam);
    }
}

INT_PTR C_Simple::OnDestroy()
{
    if (m_hDeviceNotify)
        UnregisterDeviceNotification(m_hDeviceNotify);
    m_hDeviceNotify = nullptr;
    // The worker still talks to the controls while it ends; Wait dispatches its messages.
    m_worker.RequestStop();
    if (m_worker.IsRunning())
        m_worker.Wait(0);
    KillTimer(m_hWnd, kTimerProgress);
    KillTimer(m_hWnd, kTimerSpeed);
    KillTimer(m_hWnd, kTimerDeviceChange);
    m_entries.clear();
    // The list serves the open page alone; the next page registers and fills it afresh.
    C_DeviceList::Instance().Clear();
    m_compare.Detach();
    m_drives.Detach();
    if (m_hResultFont)
        DeleteObject(m_hResultFont);
    m_hResultFont = nullptr;
    if (m_hImages)
        ImageList_Destroy(m_hImages);
    m_hImages = nullptr;
    return C_Page::OnDestroy();
}
