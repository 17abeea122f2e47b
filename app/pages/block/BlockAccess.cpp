#include "app/pages/block/BlockAccess.h"
#include <commdlg.h>
#include <string>
#include "app/info/InfoPage.h"
#include "app/pages/block/BlockIds.h"
#include "app/res/ArtworkIds.h"
#include "app/settings/Flags.h"
#include "core/Text.h"
#include "devices/DeviceList.h"

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
// Every control the running state disables; Stop is the only one left to the user.
const int kRunControls[] = {
    IDC_BLOCK_DEVICES,   IDC_BLOCK_LINEAR,     IDC_BLOCK_RANDOM, IDC_BLOCK_SEEK,       IDC_BLOCK_START,
    IDC_BLOCK_END,       IDC_BLOCK_PER_ACCESS, IDC_BLOCK_SKIP,   IDC_BLOCK_REPEAT,     IDC_BLOCK_CALC,
    IDC_BLOCK_SAVE_DATA, IDC_BLOCK_DATA_FILE,  IDC_BLOCK_BROWSE, IDC_BLOCK_SHOW_GRAPH, IDC_BLOCK_SMOOTH,
    IDC_BLOCK_UDMA_CRC,  IDC_BLOCK_READ,       IDC_BLOCK_WRITE};
} // namespace

C_BlockAccess::C_BlockAccess(uint32_t& flags, I_SettingsStore& settings, I_ProgressBarOwner& progressBar,
                             C_GraphWindow& graphWindow)
    : m_flags(flags), m_settings(settings), m_progressBar(progressBar), m_graphWindow(graphWindow)
{
}

C_Page* C_BlockAccess::Create(const S_PageServices& services)
{
    return new C_BlockAccess(services.values.flags, services.settings, services.progressBar,
                             services.graphWindow);
}

INT_PTR C_BlockAccess::OnInitDialog()
{
    m_pDevice = nullptr;
    m_values = C_BlockValues();
    m_bRunning = false;
    m_progressBar.CreateProgressBar(m_hWnd);
    m_speed.Attach(GetItem(IDC_BLOCK_SPEED), "Arial", GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNTEXT),
                   C_TextLabel::kBold | 0x80);
    PlaceInHost();
    m_help.Attach(GetItem(IDC_BLOCK_HELP), "confused?", nullptr, IDCUR_HAND, C_Hyperlink::kCommandToParent);
    SetUpDeviceList();

    const uint32_t flags = m_flags;
    CheckFromFlag(IDC_BLOCK_SAVE_DATA, m_flags, kFlagSaveReadData);
    CheckFromFlag(IDC_BLOCK_SHOW_GRAPH, m_flags, kFlagShowGraph);
    CheckFromFlag(IDC_BLOCK_UDMA_CRC, m_flags, kFlagUdmaCrc);
    CheckItem(IDC_BLOCK_SMOOTH, (flags & kFlagSmoothProgress) && !(flags & kFlagNoSmoothProgress));
    EnableIdle();
    const uint32_t kind = ChosenBlockKind(flags);
    CheckRadio(IDC_BLOCK_LINEAR, IDC_BLOCK_SEEK,
               kind == kFlagKindLinear   ? IDC_BLOCK_LINEAR
               : kind == kFlagKindRandom ? IDC_BLOCK_RANDOM
                                         : IDC_BLOCK_SEEK);

    for (int id : {IDC_BLOCK_BUFFER_SIZE, IDC_BLOCK_CRC_VALUE, IDC_BLOCK_SPEED})
        SetItemText(id, "");
    std::string text;
    for (const auto& field : kFields) {
        m_settings.ReadText(field.name, text, field.fallback);
        SetItemText(field.id, text.c_str());
    }
    ReadAndCheckValues();

    RefreshDevices();
    Show(SW_SHOW);
    SetFocus(GetItem(IDC_BLOCK_DEVICES));
    return 2; // the focus was set here
}

void C_BlockAccess::ReadAndCheckValues()
{
    if (m_bChecking)
        return;
    if (!m_pDevice) {
        SetItemText(IDC_BLOCK_BUFFER_SIZE, "");
        return;
    }
    m_bChecking = true;
    C_BlockFields fields;
    fields.start = GetItemText(IDC_BLOCK_START);
    fields.end = GetItemText(IDC_BLOCK_END);
    fields.blocks = GetItemText(IDC_BLOCK_PER_ACCESS);
    fields.skip = GetItemText(IDC_BLOCK_SKIP);
    fields.repeats = GetItemText(IDC_BLOCK_REPEAT);
    fields.calcEvery = GetItemText(IDC_BLOCK_CALC);
    C_BlockRewrites rewrites;
    CheckBlockValues(fields, m_pDevice->ullFirstBlock, m_pDevice->ullBlockCount, &m_values, &rewrites);
    if (rewrites.blocks)
        SetItemText(IDC_BLOCK_PER_ACCESS, "1");
    if (rewrites.calcEvery)
        SetItemText(IDC_BLOCK_CALC, "1");
    SetItemText(IDC_BLOCK_START, StringPrintf("%llu", (unsigned long long)m_values.start).c_str());
    SetItemText(IDC_BLOCK_END, StringPrintf("%llu", (unsigned long long)m_values.end).c_str());
    SetItemText(IDC_BLOCK_BUFFER_SIZE, BufferSizeText(m_values.blocks * m_pDevice->dwBlockSize).c_str());
    m_bChecking = false;
}

void C_BlockAccess::EnableIdle()
{
    const uint32_t flags = m_flags;
    const bool linear = ChosenBlockKind(flags) == kFlagKindLinear;
    const bool saveData = IsItemChecked(IDC_BLOCK_SAVE_DATA) != 0;
    for (int id : {IDC_BLOCK_DEVICES, IDC_BLOCK_LINEAR, IDC_BLOCK_RANDOM, IDC_BLOCK_SEEK, IDC_BLOCK_START,
                   IDC_BLOCK_END, IDC_BLOCK_PER_ACCESS, IDC_BLOCK_CALC, IDC_BLOCK_UDMA_CRC})
        EnableItem(id, 1);
    // A selected record decides which directions it offers.
    EnableItem(IDC_BLOCK_READ, !m_pDevice || (m_pDevice->dwCaps & kCapRead));
    EnableItem(IDC_BLOCK_WRITE, !m_pDevice || (m_pDevice->dwCaps & kCapWrite));
    EnableItem(IDC_BLOCK_STOP, 0);
    EnableItem(IDC_BLOCK_SMOOTH, !(flags & kFlagNoSmoothProgress));
    EnableItem(IDC_BLOCK_SAVE_DATA, linear);
    EnableItem(IDC_BLOCK_SHOW_GRAPH, linear);
    EnableItem(IDC_BLOCK_SKIP, linear);
    EnableItem(IDC_BLOCK_REPEAT, !linear);
    EnableItem(IDC_BLOCK_DATA_FILE, linear && saveData);
    EnableItem(IDC_BLOCK_BROWSE, linear && saveData);
}

void C_BlockAccess::EnableRunning()
{
    for (int id : kRunControls)
        EnableItem(id, 0);
    EnableItem(IDC_BLOCK_STOP, 1);
}

INT_PTR C_BlockAccess::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    uint32_t& flags = m_flags;
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
        FlagFromCheck(IDC_BLOCK_SAVE_DATA, m_flags, kFlagSaveReadData);
        EnableIdle();
        return 1;
    case IDC_BLOCK_PER_ACCESS:
        if (HIWORD(wParam) == EN_CHANGE && !m_bRunning)
            ReadAndCheckValues();
        return 1;
    case IDC_BLOCK_SMOOTH:
        FlagFromCheck(IDC_BLOCK_SMOOTH, m_flags, kFlagSmoothProgress);
        m_progressBar.CreateProgressBar(m_hWnd);
        return 1;
    case IDC_BLOCK_SHOW_GRAPH:
        FlagFromCheck(IDC_BLOCK_SHOW_GRAPH, m_flags, kFlagShowGraph);
        return 1;
    case IDC_BLOCK_UDMA_CRC:
        FlagFromCheck(IDC_BLOCK_UDMA_CRC, m_flags, kFlagUdmaCrc);
        return 1;
    case IDC_BLOCK_READ:
    case IDC_BLOCK_WRITE:
        if (HIWORD(wParam) == BN_CLICKED)
            StartRun(id == IDC_BLOCK_READ ? kFlagRunReads : kFlagRunWrites);
        return 1;
    case IDC_BLOCK_STOP:
        if (HIWORD(wParam) == BN_CLICKED && m_worker.IsRunning()) {
            m_worker.RequestStop();
            SetItemText(IDC_BLOCK_STOP, "Wait");
        }
        return 1;
    case IDC_BLOCK_BROWSE:
        if (HIWORD(wParam) == BN_CLICKED)
            Browse();
        return 1;
    case IDC_BLOCK_HELP:
        ShowResourcePage(m_pHost->GetHostWindow(), "IDR_BLOCK_ACCESS", m_pHost->GetTitle(),
                         "help:no;resizable:yes;dialogWidth:700px;dialogHeight:640px");
        return 1;
    default:
        return C_Page::OnCommand(id, wParam, lParam);
    }
}

void C_BlockAccess::StartRun(uint32_t readOrWriteBit)
{
    if (m_worker.IsRunning())
        return;
    uint32_t& flags = m_flags;
    const uint32_t running = RunFlagOfKind(ChosenBlockKind(flags));
    flags = (flags & ~kFlagRunMask) | running | readOrWriteBit;
    // The run goes to the row selected now, never to one chosen earlier.
    LPARAM data = 0;
    C_Device* device = m_list.GetSelected(nullptr, &data) >= 0 ? (C_Device*)data : nullptr;
    if (!device) {
        ShowMessage(MB_ICONEXCLAMATION, m_pHost->GetTitle(), "%s", kNoDeviceSelectedText);
        flags &= ~kFlagRunMask;
        return;
    }
    if (device != m_pDevice) {
        TakeRow(m_list.GetSelected(nullptr, nullptr));
        ReadAndCheckValues();
    }
    C_DeviceList& devices = C_DeviceList::Instance();
    m_plan = C_RunPlan();
    m_plan.device = device;
    m_plan.flags = flags;
    m_plan.dataFile = GetItemText(IDC_BLOCK_DATA_FILE);
    m_plan.windowsLetter = devices.GetWindowsLetter();
    m_plan.systemIdentity = devices.GetSystemIdentity();
    if ((flags & kFlagShowGraph) && running == kFlagRunLinear)
        m_graphWindow.Open();
    if (!m_worker.Start(&C_BlockAccess::WorkerEntry, this, 0))
        flags &= ~kFlagRunMask;
}

void C_BlockAccess::Browse()
{
    char name[MAX_PATH] = "";
    lstrcpynA(name, GetItemText(IDC_BLOCK_DATA_FILE).c_str(), sizeof name);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = "binary files\0*.bin\0all files\0*.*\0\0";
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.lpstrTitle = "Please select filename to save or read data";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NODEREFERENCELINKS;
    if (GetOpenFileNameA(&ofn))
        SetItemText(IDC_BLOCK_DATA_FILE, name);
}

INT_PTR C_BlockAccess::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (m_list.HandleNotify((NMHDR*)lParam, &result)) {
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
            return 1;
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimerProgress)
            OnProgressTimer();
        return 1;
    default:
        return C_Page::OnMessage(message, wParam, lParam);
    }
}

INT_PTR C_BlockAccess::OnDestroy()
{
    // The worker still talks to the controls while it ends; Wait dispatches its messages.
    m_worker.RequestStop();
    if (m_worker.IsRunning())
        m_worker.Wait(0);
    KillTimer(m_hWnd, kTimerProgress);
    ReleaseDeviceList();
    m_help.Detach();
    m_speed.Detach();
    return C_Page::OnDestroy();
}

INT_PTR C_BlockAccess::OnEnd(INT_PTR)
{
    for (const auto& field : kFields)
        m_settings.WriteText(field.name, GetItemText(field.id).c_str());
    return 1;
}
