#include "app/pages/quick/Simple.h"
#include <commctrl.h>
#include "app/pages/quick/QuickIds.h"

INT_PTR C_Simple::OnInitDialog()
{
    PlaceInHost();
    m_pHost->CreateProgressBar(m_hWnd);
    SetUpDriveList();

    static const char* const sizes[] = {"10", "50", "100", "250", "1000", "4000"};
    for (const char* size : sizes)
        SendItem(IDC_QUICK_FILE_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    SetItemText(IDC_QUICK_FILE_SIZE, "1000");
    CheckRadio(IDC_QUICK_BLOCK_64K, IDC_QUICK_BLOCK_1M, IDC_QUICK_BLOCK_1M);
    EnableItem(IDC_QUICK_STOP, 0);

    SetItemBitmap(IDC_QUICK_START, IDB_QUICK_START);
    SetItemBitmap(IDC_QUICK_STOP, IDB_QUICK_STOP);
    AttachPageIcon(IDC_QUICK_ICON, 163);
    m_compare.Attach(GetItem(IDC_QUICK_COMPARE), "Compare and Submit your test results", nullptr, 127, 0);

    // The results stand out in a larger face than the dialog's.
    m_hResultFont = CreateFontA(-MulDiv(10, 96, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                CLEARTYPE_QUALITY, 0, "Arial");
    for (int id : {IDC_QUICK_SEQ_WRITE, IDC_QUICK_RND_WRITE, IDC_QUICK_SEQ_READ, IDC_QUICK_RND_READ})
        SendItem(id, WM_SETFONT, (WPARAM)m_hResultFont, 0);
    Show(SW_SHOW);
    return 1;
}

void C_Simple::SetUpDriveList()
{
    HWND list = GetItem(IDC_QUICK_DRIVES);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const char* columns[] = {"Drive", "Vendor"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = 155;
        column.pszText = (char*)columns[i];
        SendMessageA(list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
}

INT_PTR C_Simple::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    return C_Page::OnCommand(id, wParam, lParam);
}

INT_PTR C_Simple::OnDestroy()
{
    m_compare.Detach();
    if (m_hResultFont)
        DeleteObject(m_hResultFont);
    m_hResultFont = nullptr;
    return C_Page::OnDestroy();
}
