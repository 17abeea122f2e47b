#include "app/pages/file/FileAccess.h"
#include <commctrl.h>
#include <objbase.h>
#include <cinttypes>
#include <cstdio>
#include "app/framework/FileDialog.h"
#include "app/pages/file/FileIds.h"
#include "app/res/ArtworkIds.h"
#include "app/settings/AppValues.h"
#include "app/settings/Flags.h"
#include "core/PassPosition.h"
#include "core/System.h"

namespace {
const UINT_PTR kProgressTimer = 0;

const struct {
    int id;
    uint32_t bit;
} kChecks[] = {
    {IDC_FILE_FASTEST, kFlagFastestFile},
    {IDC_FILE_BIGGEST, kFlagBiggestFile},
    {IDC_FILE_SAVE_DATA, kFlagSaveReadData},
    {IDC_FILE_NO_BUFFER, kFlagNoBuffering},
    {IDC_FILE_WRITE_THROUGH, kFlagWriteThrough},
    {IDC_FILE_PRE_READ, kFlagPreRead},
    {IDC_FILE_EXPERT, kFlagExpert},
};
const int kExpertIds[] = {IDC_FILE_BLOCK_SIZE,    IDC_FILE_PRE_READ,   IDC_FILE_NO_BUFFER,
                          IDC_FILE_WRITE_THROUGH, IDC_FILE_SAVE_DATA,  IDC_FILE_PRE_READ_SIZE,
                          IDC_FILE_BLOCK_LABEL,   IDC_FILE_BYTE_LABEL, IDC_FILE_PRE_READ_UNIT,
                          IDC_FILE_SMOOTH};
const int kIdleOnlyIds[] = {IDC_FILE_PATH,   IDC_FILE_BIGGEST, IDC_FILE_FASTEST,
                            IDC_FILE_EXPERT, IDC_FILE_TREE,    IDC_FILE_LIST};

std::string Decimal(uint64_t value)
{
    char text[32];
    snprintf(text, sizeof(text), "%" PRIu64, value);
    return text;
}

int FieldId(int field)
{
    static const int ids[] = {IDC_FILE_PATH, IDC_FILE_SIZE, IDC_FILE_BLOCK_SIZE, IDC_FILE_PRE_READ_SIZE};
    return ids[field];
}
} // namespace

C_FileAccess::C_FileAccess(AppValues& values, I_SettingsStore& settings, I_ProgressBarOwner& progressBar)
    : m_values(values), m_settings(settings), m_progressBar(progressBar)
{
}

C_Page* C_FileAccess::Create(const S_PageServices& services)
{
    return new C_FileAccess(services.values, services.settings, services.progressBar);
}

C_FileAccess::~C_FileAccess()
{
    m_worker.RequestStop();
    m_worker.Wait(0);
}

INT_PTR C_FileAccess::OnInitDialog()
{
    PlaceInHost();
    const AppValues& values = m_values;
    ullTestSize = values.fileSize;
    dwTestBlockSize = values.blockSize ? values.blockSize : 65536;
    ullPreReadSize = values.preReadSize;
    strTestFile = values.testFile;

    m_browser.Create(GetItem(IDC_FILE_TREE), GetItem(IDC_FILE_LIST), m_hInstance, C_ShellBrowser::kFileList);
    m_browser.SetCallbacks(&OnFolderSelected, &OnFileSelected, &OnFileActivated, this);
    if (strTestFile.empty()) {
        char folder[MAX_PATH];
        if (m_browser.GetSelectedFolderPath(folder))
            strTestFile = folder;
    }
    uint32_t& flags = m_values.flags;
    if (!(flags & kFlagExpert))
        SetExpertDefaults();

    m_hMenu = LoadMenuA(m_hInstance, MAKEINTRESOURCEA(IDM_FILE_CONTEXT));
    m_hResultFont = CreateFontA(-MulDiv(10, 96, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                CLEARTYPE_QUALITY, 0, "Arial");
    SendItem(IDC_FILE_RESULT, WM_SETFONT, (WPARAM)m_hResultFont, 0);
    AttachPageIcon(IDC_FILE_ICON, IDB_PAGE_ICON);
    SetItemBitmap(IDC_FILE_READ, IDB_FILE_READ);
    SetItemBitmap(IDC_FILE_WRITE, IDB_FILE_WRITE);
    SetItemBitmap(IDC_FILE_STOP, IDB_FILE_STOP);

    for (const auto& check : kChecks)
        CheckFromFlag(check.id, m_values.flags, check.bit);
    CheckItem(IDC_FILE_SMOOTH, (flags & kFlagSmoothProgress) && !(flags & kFlagNoSmoothProgress));
    EnableItem(IDC_FILE_PRE_READ_SIZE, (flags & kFlagPreRead) != 0);

    for (const char* size : {"10", "50", "100", "250", "1000"})
        SendItem(IDC_FILE_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    if (ullTestSize)
        SetItemText(IDC_FILE_SIZE, Decimal(ullTestSize / 1024 / 1024).c_str());
    flags |= kFlagFilePageUpdating;
    UpdateFileFields(1);
    flags &= ~kFlagFilePageUpdating;
    for (const char* size : {"32768", "65536", "1048576"})
        SendItem(IDC_FILE_BLOCK_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    SetItemText(IDC_FILE_BLOCK_SIZE, Decimal(dwTestBlockSize).c_str());
    for (const char* size : {"1", "3", "10"})
        SendItem(IDC_FILE_PRE_READ_SIZE, CB_ADDSTRING, 0, (LPARAM)size);
    SetItemText(IDC_FILE_PRE_READ_SIZE, Decimal(ullPreReadSize / 1024 / 1024).c_str());

    SetItemText(IDC_FILE_RESULT, "");
    EnableControls(1);
    m_progressBar.CreateProgressBar(m_hWnd);
    Show(SW_SHOW);
    if (flags & (kFlagStartRead | kFlagStartWrite))
        StartWorker();
    return 1;
}

void C_FileAccess::SetExpertDefaults()
{
    uint32_t& flags = m_values.flags;
    dwTestBlockSize = 65536;
    ullPreReadSize = 3145728;
    flags |= kFlagNoBuffering | kFlagPreRead;
    flags &= ~(kFlagSaveReadData | kFlagWriteThrough | kFlagSmoothProgress);
    SetItemText(IDC_FILE_BLOCK_SIZE, "65536");
    SetItemText(IDC_FILE_PRE_READ_SIZE, "3");
    CheckItem(IDC_FILE_NO_BUFFER, 1);
    CheckItem(IDC_FILE_SAVE_DATA, 0);
    CheckItem(IDC_FILE_WRITE_THROUGH, 0);
    CheckItem(IDC_FILE_PRE_READ, 1);
    CheckItem(IDC_FILE_SMOOTH, 0);
    EnableItem(IDC_FILE_PRE_READ_SIZE, 1);
}

void C_FileAccess::ShowExpertControls(bool expert)
{
    for (int id : kExpertIds)
        ShowItem(id, expert);
    SetItemText(IDC_FILE_EXPERT, expert ? "Expert Mode <" : "Expert Mode >");
}

void C_FileAccess::EnableControls(int state)
{
    OnPage([&] { ApplyEnable(state); });
}

void C_FileAccess::ApplyEnable(int state)
{
    const uint32_t flags = m_values.flags;
    m_bRunning = state == 0;
    for (int id : kIdleOnlyIds)
        EnableItem(id, state);
    if (state == 0) {
        for (int id : {IDC_FILE_PRE_READ_SIZE, IDC_FILE_SIZE, IDC_FILE_BLOCK_SIZE, IDC_FILE_PRE_READ,
                       IDC_FILE_NO_BUFFER, IDC_FILE_WRITE_THROUGH, IDC_FILE_SAVE_DATA, IDC_FILE_SMOOTH})
            EnableItem(id, 0);
        EnableItem(IDC_FILE_STOP, 1);
        return;
    }
    EnableItem(IDC_FILE_STOP, 0);
    EnableItem(IDC_FILE_SMOOTH, !(flags & kFlagNoSmoothProgress));
    const bool expert = (flags & kFlagExpert) != 0;
    if (expert) {
        for (int id : {IDC_FILE_BLOCK_SIZE, IDC_FILE_PRE_READ, IDC_FILE_NO_BUFFER, IDC_FILE_WRITE_THROUGH,
                       IDC_FILE_SAVE_DATA})
            EnableItem(id, 1);
        EnableItem(IDC_FILE_PRE_READ_SIZE, (flags & kFlagPreRead) != 0);
    }
    ShowExpertControls(expert);
    // A file on a CD or DVD is read at its own size, unless the fastest file is looked for.
    const std::string path = GetItemText(IDC_FILE_PATH);
    bool sizeFromDisc = false;
    if (path.size() >= 2 && path[1] == ':' && !(flags & kFlagFastestFile)) {
        char root[4] = {path[0], ':', '\\', 0};
        sizeFromDisc = GetDriveTypeA(root) == DRIVE_CDROM;
    }
    EnableItem(IDC_FILE_SIZE, !sizeFromDisc);
}

bool C_FileAccess::IsWorkerRunning()
{
    uint32_t code = 0;
    return !m_worker.GetExitCode(&code);
}

void C_FileAccess::StartWorker()
{
    // A request while a run goes on is dropped: that run keeps its plan.
    if (IsWorkerRunning()) {
        m_values.flags &= ~(kFlagStartRead | kFlagStartWrite);
        return;
    }
    TakeRunPlan();
    m_worker.Start(&C_FileAccess::WorkerEntry, this, 0);
}

uint32_t C_FileAccess::WorkerEntry(void* self, uintptr_t)
{
    // The file dialogs and the shell want COM on the thread that shows them.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const uint32_t code = ((C_FileAccess*)self)->WorkerThread();
    if (SUCCEEDED(com))
        CoUninitialize();
    return code;
}

void C_FileAccess::OnPage(const std::function<void()>& change)
{
    OnPageThread([&]() -> intptr_t {
        change();
        return 1;
    });
}

std::string C_FileAccess::GetField(Field field) { return GetItemText(FieldId(field)); }

void C_FileAccess::SetField(Field field, const std::string& text)
{
    OnPage([&] { SetItemText(FieldId(field), text.c_str()); });
}

void C_FileAccess::SetResultText(const std::string& text)
{
    OnPage([&] { SetItemText(IDC_FILE_RESULT, text.c_str()); });
}

void C_FileAccess::Tell(const std::string& text) { ShowPageBox(MB_OK | MB_ICONEXCLAMATION, text); }

int C_FileAccess::Ask(const std::string& text)
{
    return ShowPageBox(MB_YESNO | MB_ICONEXCLAMATION, text) == IDYES;
}

int C_FileAccess::ChooseFile(int save, const std::string& title, const char* filter,
                             const std::string& folder, std::string& file)
{
    char name[MAX_PATH];
    lstrcpynA(name, file.c_str(), sizeof(name));
    if (!OnPageThread([&]() -> intptr_t {
            return ShowFileDialog(m_hWnd, filter, folder.c_str(), title.c_str(), save, name);
        }))
        return 0;
    file = name;
    return 1;
}

void C_FileAccess::StartProgress()
{
    OnPage([&] {
        SendMessageA(m_progressBar.GetProgressBar(), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SetTimer(m_hWnd, kProgressTimer, 40, nullptr);
    });
}

void C_FileAccess::ResetProgress()
{
    OnPage([&] { SendMessageA(m_progressBar.GetProgressBar(), PBM_SETPOS, 0, 0); });
}

void C_FileAccess::StopProgress()
{
    OnPage([&] {
        KillTimer(m_hWnd, kProgressTimer);
        SendMessageA(m_progressBar.GetProgressBar(), PBM_SETPOS, 0, 0);
    });
}

void C_FileAccess::RefreshBrowser()
{
    OnPage([&] { m_browser.Refresh(); });
}

void C_FileAccess::SelectListEntry(const std::string& text)
{
    OnPage([&] { m_browser.SelectListItem(text.c_str()); });
}

bool C_FileAccess::IsCdromRoot(const std::string& root) { return GetDriveTypeA(root.c_str()) == DRIVE_CDROM; }

bool C_FileAccess::GetVolumeSpace(const std::string& root, C_VolumeSpace& space)
{
    ULARGE_INTEGER callerFree, total, totalFree;
    if (!GetDiskFreeSpaceExA(root.c_str(), &callerFree, &total, &totalFree))
        return false;
    space.callerFree = callerFree.QuadPart;
    space.total = total.QuadPart;
    space.totalFree = totalFree.QuadPart;
    return true;
}

uint32_t C_FileAccess::GetSectorSize(const std::string& root)
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) ||
        !bytesPerSector)
        return 2048;
    return bytesPerSector;
}

void C_FileAccess::TakeBrowserPath(int file)
{
    char path[MAX_PATH];
    if (!(file ? m_browser.GetSelectedFilePath(path) : m_browser.GetSelectedFolderPath(path)))
        return;
    strTestFile = path;
    UpdateFileFields(0);
}

void C_FileAccess::OnFolderSelected(void* self) { ((C_FileAccess*)self)->TakeBrowserPath(0); }
void C_FileAccess::OnFileSelected(void* self) { ((C_FileAccess*)self)->TakeBrowserPath(1); }

void C_FileAccess::OnFileActivated(void* self)
{
    C_FileAccess* me = (C_FileAccess*)self;
    me->TakeBrowserPath(1);
    if (!me->IsWorkerRunning()) {
        me->m_values.flags |= kFlagStartRead;
        me->StartWorker();
    }
}

INT_PTR C_FileAccess::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    uint32_t& flags = m_values.flags;
    const UINT code = HIWORD(wParam);
    switch (id) {
    case IDC_FILE_PATH:
        // The worker's own refreshes keep the running state.
        if (code == EN_CHANGE && !(flags & kFlagFilePageUpdating) && !m_bRunning)
            EnableControls(1);
        return 1;
    case IDC_FILE_WRITE_THROUGH:
    case IDC_FILE_BIGGEST:
    case IDC_FILE_SAVE_DATA:
    case IDC_FILE_NO_BUFFER:
        for (const auto& check : kChecks)
            if (check.id == (int)id)
                FlagFromCheck(check.id, m_values.flags, check.bit);
        return 1;
    case IDC_FILE_PRE_READ:
        FlagFromCheck(IDC_FILE_PRE_READ, m_values.flags, kFlagPreRead);
        EnableItem(IDC_FILE_PRE_READ_SIZE, (flags & kFlagPreRead) != 0);
        return 1;
    case IDC_FILE_SMOOTH:
        FlagFromCheck(IDC_FILE_SMOOTH, m_values.flags, kFlagSmoothProgress);
        m_progressBar.CreateProgressBar(m_hWnd);
        return 1;
    case IDC_FILE_EXPERT:
        FlagFromCheck(IDC_FILE_EXPERT, m_values.flags, kFlagExpert);
        if (!(flags & kFlagExpert))
            SetExpertDefaults();
        EnableControls(1);
        return 1;
    case IDC_FILE_FASTEST:
        FlagFromCheck(IDC_FILE_FASTEST, m_values.flags, kFlagFastestFile);
        EnableControls(1);
        return 1;
    case IDC_FILE_READ:
    case IDC_FILE_WRITE:
    case IDM_FILE_READ_SPEED:
    case IDM_FILE_WRITE_SPEED:
        if (code == BN_CLICKED && !IsWorkerRunning()) {
            flags |= (id == IDC_FILE_READ || id == IDM_FILE_READ_SPEED) ? kFlagStartRead : kFlagStartWrite;
            StartWorker();
        }
        return 1;
    case IDC_FILE_STOP:
        m_worker.RequestStop();
        return 1;
    case IDM_FILE_DELETE:
        DeleteSelectedFile();
        return 1;
    }
    return C_Page::OnCommand(id, wParam, lParam);
}

void C_FileAccess::DeleteSelectedFile()
{
    char path[MAX_PATH];
    if (!m_browser.GetSelectedFilePath(path))
        return;
    if (::ShowMessage(m_hWnd, MB_YESNO | MB_ICONQUESTION, m_pHost->GetTitle(), "Delete file \xBB%s\xAB ?",
                      path) != IDYES)
        return;
    DeleteFileA(path);
    m_browser.Refresh();
}

void C_FileAccess::OnKey(UINT key)
{
    if ((key != VK_F9 && key != VK_F2) || IsWorkerRunning())
        return;
    m_values.flags |= key == VK_F9 ? kFlagStartRead : kFlagStartWrite;
    StartWorker();
}

void C_FileAccess::OnContextMenu()
{
    if (!m_hMenu)
        return;
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(m_hWnd);
    TrackPopupMenu(GetSubMenu(m_hMenu, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

INT_PTR C_FileAccess::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_browser.HandleMessage(message, wParam, lParam, &result)) {
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return 1;
    }
    switch (message) {
    case WM_NOTIFY: {
        NMHDR* header = (NMHDR*)lParam;
        if (header->idFrom == IDC_FILE_LIST && header->code == NM_RCLICK) {
            OnContextMenu();
            return 1;
        }
        if (header->idFrom == IDC_FILE_LIST && header->code == LVN_KEYDOWN) {
            OnKey(((NMLVKEYDOWN*)lParam)->wVKey);
            return 1;
        }
        if (header->idFrom == IDC_FILE_TREE && header->code == TVN_KEYDOWN) {
            OnKey(((NMTVKEYDOWN*)lParam)->wVKey);
            return 1;
        }
        break;
    }
    case WM_TIMER:
        if (wParam == kProgressTimer) {
            SendMessageA(m_progressBar.GetProgressBar(), PBM_SETPOS,
                         ProgressPercent(ullTestPosition, ullTestSize), 0);
            return 1;
        }
        break;
    }
    return C_Page::OnMessage(message, wParam, lParam);
}

void C_FileAccess::StoreValues()
{
    AppValues& values = m_values;
    values.fileSize = ullTestSize;
    values.blockSize = dwTestBlockSize;
    values.preReadSize = ullPreReadSize;
    values.testFile = strTestFile;
    // The application has stored its values before it closes the page.
    SaveAppValues(m_settings, values);
}

INT_PTR C_FileAccess::OnEnd(INT_PTR)
{
    m_worker.RequestStop();
    m_worker.Wait(0);
    const std::string shown = GetItemText(IDC_FILE_PATH);
    if (shown.size() <= kMaxTestPath)
        strTestFile = shown;
    uint64_t number = 0;
    if (ParseDecimal(GetItemText(IDC_FILE_BLOCK_SIZE), &number) && number && number <= UINT32_MAX)
        dwTestBlockSize = (uint32_t)number;
    if (ParseDecimal(GetItemText(IDC_FILE_PRE_READ_SIZE), &number))
        ullPreReadSize = MiBFieldBytes(GetItemText(IDC_FILE_PRE_READ_SIZE));
    // A size typed into the field wins; one that only shows the file's size keeps its bytes.
    if (ParseDecimal(GetItemText(IDC_FILE_SIZE), &number) && number != ullTestSize / 1024 / 1024)
        ullTestSize = MiBFieldBytes(GetItemText(IDC_FILE_SIZE));
    StoreValues();
    SendItem(IDC_FILE_RESULT, WM_SETFONT, 0, 0);
    m_browser.Destroy();
    return 1;
}

INT_PTR C_FileAccess::OnDestroy()
{
    KillTimer(m_hWnd, kProgressTimer);
    if (m_hMenu)
        DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    if (m_hResultFont)
        DeleteObject(m_hResultFont);
    m_hResultFont = nullptr;
    return C_Page::OnDestroy();
}
