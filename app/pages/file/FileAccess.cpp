#include "app/pages/file/FileAccess.h"
#include <commctrl.h>
#include <cinttypes>
#include <cstdio>
#include "app/pages/file/FileIds.h"
#include "app/settings/Flags.h"

namespace {
const struct {
    int id;
    uint32_t bit;
} kChecks[] = {
    {IDC_FILE_FASTEST, kFlagFastestFile},
    {IDC_FILE_BIGGEST, kFlagBiggestFile},
    {IDC_FILE_SAVE_DATA, kFlagSaveReadData},
    {IDC_FILE_NO_BUFFER, kFlagNoBuffering},
    {IDC_FILE_WRITE_THROUGH, kFlagWriteThrough},
    {IDC_FILE_SPIN_UP, kFlagPreRead},
    {IDC_FILE_EXPERT, kFlagExpert},
};
const int kExpertIds[] = {IDC_FILE_BLOCK_SIZE,    IDC_FILE_SPIN_UP,    IDC_FILE_NO_BUFFER,
                          IDC_FILE_WRITE_THROUGH, IDC_FILE_SAVE_DATA,  IDC_FILE_SPIN_SIZE,
                          IDC_FILE_BLOCK_LABEL,   IDC_FILE_BYTE_LABEL, IDC_FILE_SPIN_UNIT,
                          IDC_FILE_SMOOTH};
} // namespace

INT_PTR C_FileAccess::OnInitDialog()
{
    PlaceInHost();
    m_pHost->CreateProgressBar(m_hWnd);

    HWND list = GetItem(IDC_FILE_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.cx = 150;
    column.pszText = (char*)"Filename";
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    column.fmt = LVCFMT_RIGHT;
    column.cx = 85;
    column.pszText = (char*)"Size";
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, (LPARAM)&column);

    const AppValues& values = m_pHost->Values();
    char text[32];
    for (const char* size : {"10", "50", "100", "250", "1000"})
        SendItem(IDC_FILE_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    snprintf(text, sizeof(text), "%" PRIu64, values.fileSize / 1048576);
    SetItemText(IDC_FILE_SIZE, text);
    for (const char* size : {"32768", "65536", "1048576"})
        SendItem(IDC_FILE_BLOCK_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    snprintf(text, sizeof(text), "%" PRIu32, values.blockSize);
    SetItemText(IDC_FILE_BLOCK_SIZE, text);
    for (const char* size : {"1", "3", "10"})
        SendItem(IDC_FILE_SPIN_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    snprintf(text, sizeof(text), "%" PRIu64, values.preReadSize / 1024 / 1024);
    SetItemText(IDC_FILE_SPIN_SIZE, text);
    SetItemText(IDC_FILE_PATH, values.testFile.c_str());

    for (const auto& check : kChecks)
        CheckFromFlag(check.id, check.bit);
    uint32_t flags = m_pHost->Flags();
    CheckItem(IDC_FILE_SMOOTH, (flags & kFlagSmoothProgress) && !(flags & kFlagNoSmoothProgress));
    EnableItem(IDC_FILE_SMOOTH, !(flags & kFlagNoSmoothProgress));
    ShowExpertControls();

    SetItemBitmap(IDC_FILE_READ, IDB_FILE_READ);
    SetItemBitmap(IDC_FILE_WRITE, IDB_FILE_WRITE);
    SetItemBitmap(IDC_FILE_STOP, IDB_FILE_STOP);
    AttachPageIcon(IDC_FILE_ICON, 163);
    m_hResultFont = CreateFontA(-MulDiv(10, 96, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                CLEARTYPE_QUALITY, 0, "Arial");
    SendItem(IDC_FILE_RESULT, WM_SETFONT, (WPARAM)m_hResultFont, 0);
    Show(SW_SHOW);
    return 1;
}

void C_FileAccess::ShowExpertControls()
{
    bool expert = (m_pHost->Flags() & kFlagExpert) != 0;
    for (int id : kExpertIds)
        ShowItem(id, expert);
    SetItemText(IDC_FILE_EXPERT, expert ? "Expert Mode <" : "Expert Mode >");
}

INT_PTR C_FileAccess::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    for (const auto& check : kChecks) {
        if (check.id == (int)id) {
            FlagFromCheck(check.id, check.bit);
            if (id == IDC_FILE_EXPERT)
                ShowExpertControls();
            return 1;
        }
    }
    if (id == IDC_FILE_SMOOTH) {
        FlagFromCheck(IDC_FILE_SMOOTH, kFlagSmoothProgress);
        m_pHost->CreateProgressBar(m_hWnd);
        return 1;
    }
    return C_Page::OnCommand(id, wParam, lParam);
}

INT_PTR C_FileAccess::OnEnd(INT_PTR)
{
    m_pHost->Values().testFile = GetItemText(IDC_FILE_PATH);
    return 1;
}

INT_PTR C_FileAccess::OnDestroy()
{
    ReleaseBitmaps();
    if (m_hResultFont)
        DeleteObject(m_hResultFont);
    m_hResultFont = nullptr;
    return C_Page::OnDestroy();
}
