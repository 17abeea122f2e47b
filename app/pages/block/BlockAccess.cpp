#include "app/pages/block/BlockAccess.h"
#include <commctrl.h>
#include <string>
#include "app/pages/block/BlockIds.h"
#include "app/settings/Flags.h"

namespace {
const struct {
    int id;
    const char* name;
    const char* fallback;
} kFields[] = {
    {IDC_BLOCK_START, "BlockStart", "0"},     {IDC_BLOCK_END, "BlockEnd", "0"},
    {IDC_BLOCK_SKIP, "BlockSkip", "0"},       {IDC_BLOCK_CALC, "BlockCalc", "1"},
    {IDC_BLOCK_REPEAT, "BlockRepeat", "100"}, {IDC_BLOCK_DATA_FILE, "SaveReadData", "_data.bin"},
};
} // namespace

INT_PTR C_BlockAccess::OnInitDialog()
{
    m_pHost->CreateProgressBar(m_hWnd);
    m_speed.Attach(GetItem(IDC_BLOCK_SPEED), "Arial", GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNTEXT),
                   C_TextLabel::kBold | 0x80);
    PlaceInHost();
    m_help.Attach(GetItem(IDC_BLOCK_HELP), "confused?", nullptr, 127, C_Hyperlink::kCommandToParent);

    HWND list = GetItem(IDC_BLOCK_DEVICES);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const struct {
        const char* text;
        int width;
    } columns[] = {{"Device", 150},      {"Size", 90}, {"Block Size", 70},
                   {"Max Transfer", 90}, {"Bus", 60},  {"Vendor / Product", 200}};
    for (int i = 0; i < 6; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = columns[i].width;
        column.pszText = (char*)columns[i].text;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }

    uint32_t& flags = m_pHost->Flags();
    CheckFromFlag(IDC_BLOCK_SAVE_DATA, kFlagSaveReadData);
    CheckFromFlag(IDC_BLOCK_SHOW_GRAPH, kFlagShowGraph);
    CheckFromFlag(IDC_BLOCK_UDMA_CRC, kFlagUdmaCrc);
    CheckItem(IDC_BLOCK_SMOOTH, (flags & kFlagSmoothProgress) && !(flags & kFlagNoSmoothProgress));
    uint32_t kind = ChosenBlockKind(flags);
    CheckRadio(IDC_BLOCK_LINEAR, IDC_BLOCK_SEEK,
               kind == kFlagKindLinear   ? IDC_BLOCK_LINEAR
               : kind == kFlagKindRandom ? IDC_BLOCK_RANDOM
                                         : IDC_BLOCK_SEEK);
    std::string text;
    for (const auto& field : kFields) {
        m_pHost->Settings().ReadText(field.name, text, field.fallback);
        SetItemText(field.id, text.c_str());
    }
    EnableIdle();
    Show(SW_SHOW);
    SetFocus(list);
    return 2;
}

void C_BlockAccess::EnableIdle()
{
    uint32_t flags = m_pHost->Flags();
    bool linear = (flags & kFlagKindLinear) != 0;
    bool saveData = IsItemChecked(IDC_BLOCK_SAVE_DATA) != 0;
    EnableItem(IDC_BLOCK_STOP, 0);
    EnableItem(IDC_BLOCK_SMOOTH, !(flags & kFlagNoSmoothProgress));
    EnableItem(IDC_BLOCK_SAVE_DATA, linear);
    EnableItem(IDC_BLOCK_SHOW_GRAPH, linear);
    EnableItem(IDC_BLOCK_SKIP, linear);
    EnableItem(IDC_BLOCK_REPEAT, !linear);
    EnableItem(IDC_BLOCK_DATA_FILE, linear && saveData);
    EnableItem(IDC_BLOCK_BROWSE, linear && saveData);
}

INT_PTR C_BlockAccess::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    uint32_t& flags = m_pHost->Flags();
    switch (id) {
    case IDC_BLOCK_LINEAR:
    case IDC_BLOCK_RANDOM:
    case IDC_BLOCK_SEEK:
        flags = (flags & ~kFlagKindMask) | (id == IDC_BLOCK_LINEAR   ? kFlagKindLinear
                                            : id == IDC_BLOCK_RANDOM ? kFlagKindRandom
                                                                     : kFlagKindSeek);
        EnableIdle();
        return 1;
    case IDC_BLOCK_SAVE_DATA:
        FlagFromCheck(IDC_BLOCK_SAVE_DATA, kFlagSaveReadData);
        EnableIdle();
        return 1;
    case IDC_BLOCK_SMOOTH:
        FlagFromCheck(IDC_BLOCK_SMOOTH, kFlagSmoothProgress);
        m_pHost->CreateProgressBar(m_hWnd);
        return 1;
    case IDC_BLOCK_SHOW_GRAPH:
        FlagFromCheck(IDC_BLOCK_SHOW_GRAPH, kFlagShowGraph);
        return 1;
    case IDC_BLOCK_UDMA_CRC:
        FlagFromCheck(IDC_BLOCK_UDMA_CRC, kFlagUdmaCrc);
        return 1;
    case IDC_BLOCK_HELP:
        m_pHost->ShowHelpPage("IDR_BLOCK_ACCESS",
                              "help:no;resizable:yes;dialogWidth:700px;dialogHeight:640px");
        return 1;
    default:
        return C_Page::OnCommand(id, wParam, lParam);
    }
}

INT_PTR C_BlockAccess::OnDestroy()
{
    m_help.Detach();
    m_speed.Detach();
    return C_Page::OnDestroy();
}

INT_PTR C_BlockAccess::OnEnd(INT_PTR)
{
    for (const auto& field : kFields)
        m_pHost->Settings().WriteText(field.name, GetItemText(field.id).c_str());
    return 1;
}
