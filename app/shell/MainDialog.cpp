#include "app/shell/MainDialog.h"
#include <commctrl.h>
#include <shellapi.h>
#include "app/settings/Flags.h"
#include "app/info/InfoPage.h"
#include "app/res/ArtworkIds.h"
#include "app/shell/MainIds.h"
#include "support/OsVersion.h"
#include "app/shell/PageTable.h"
#include "core/System.h"
#include "core/Text.h"
#include "support/CrashReporter.h"
#include "core/VersionInfo.h"

static const char* const kKeyPath = "Software\\Velantix\\Quellmor";

C_MainDialog::C_MainDialog()
{
    const S_PageServices services = {m_values, m_settings, *this, m_update, m_graphWindow};
    for (int i = 0; i < kPageNone; ++i)
        m_pages[i].reset(kPageTable[i].create(services));
}

int C_MainDialog::ParseCommandLine()
{
    m_commandLine = CommandLineState();
    m_commandLine.flags = m_values.flags;
    m_commandLine.fileSize = m_values.fileSize;
    m_commandLine.blockSize = m_values.blockSize;
    m_commandLine.preReadSize = m_values.preReadSize;
    std::string program = GetProgramPath();
    int result = ParseSwitches(SkipProgramName(GetProcessCommandLine()), program, m_commandLine);
    TakeCommandLine(m_commandLine, m_values);

    std::string portable = program.substr(0, program.find_last_of("\\/") + 1) + "portable.dat";
    HANDLE file = CreateFileA(portable.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        m_values.flags |= kFlagPortable;
    }
    return result;
}

void C_MainDialog::LoadSettings() { LoadAppValues(m_settings, m_commandLine, m_values); }
void C_MainDialog::SaveSettings() { SaveAppValues(m_settings, m_values); }

INT_PTR C_MainDialog::OnInitDialog()
{
    m_hProgressBar = nullptr;
    uint32_t major = 1, minor = 1;
    GetOwnVersionNumbers(&major, &minor);
    m_strTitle = FormatTitle(QM_PRODUCT, major, minor);
    SetIcon(IDI_PROGRAM);
    SetText(m_strTitle.c_str());

    C_CrashReporter::Instance().Arm(IDI_PROGRAM, QM_REPORT_HOST, QM_REPORT_PATH);
    m_values = AppValues();
    m_values.flags = kFlagDefaults;
    if (!ParseCommandLine()) {
        ShowInformationPage(m_hWnd, m_strTitle.c_str());
        return 0;
    }
    m_settings.Open((m_values.flags & kFlagPortable) ? C_Settings::kIniFile : C_Settings::kRegistry,
                    HKEY_CURRENT_USER, kKeyPath);
    m_bStoreLoaded = true;
    LoadSettings();
    // Its placement lives in the registry beside the settings, and nowhere in portable mode.
    const bool portable = (m_values.flags & kFlagPortable) != 0;
    m_graphWindow.Setup(m_hInstance, m_strTitle.c_str(), IDI_PROGRAM, portable ? nullptr : HKEY_CURRENT_USER,
                        portable ? nullptr : kKeyPath);
    if (!IsOsVersion(kOs9x | kOsNt4 | kOs2000, 0)) // the smooth style exists only there
        m_values.flags |= kFlagNoSmoothProgress;

    m_splash.Start(m_hInstance, IDR_SPLASH_IMAGE, 4000, 0);
    m_pageBar.Attach(GetItem(IDC_MAIN_PAGE_BAR), m_hInstance, 0x8080, IDB_PAGEBAR_BLOCK, 0, 0, 0, CLR_INVALID,
                     IDCUR_HAND, PageBarEvent, this, 175, 188);
    // The About page shows and renews the last check time also when no check runs at start.
    m_update.Open(m_hWnd, HKEY_CURRENT_USER, kKeyPath, "LastCheck", (m_values.flags & kFlagPortable) != 0);
    ShowPage(FirstPageFromFlags(m_values.flags));
    if (m_settings.ReadNumber("AutoUpdate", 1) == 1)
        m_update.StartIfDue();
    return 1;
}

INT_PTR C_MainDialog::OnEnd(INT_PTR)
{
    if (m_bStoreLoaded) {
        SaveSettings();
        ShowPage(kPageNone);
        m_graphWindow.Dismiss();
        m_settings.Close();
        m_bStoreLoaded = false;
    }
    m_update.Stop();
    m_splash.Finish();
    m_pageBar.Detach();
    return 1;
}

INT_PTR C_MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == C_AutoUpdate::GetMessageId() && message != 0) {
        if (ShowMessage(MB_YESNO | MB_ICONQUESTION, m_strTitle.c_str(),
                        "Version %u.%02u of %s is available.\n\nOpen the web page to download it?",
                        (unsigned)wParam, (unsigned)lParam, QM_PRODUCT) == IDYES)
            ShellExecuteA(m_hWnd, "open", QM_WEB_ADDRESS, nullptr, nullptr, SW_SHOWNORMAL);
        return 1;
    }
    return C_Dialog::OnMessage(message, wParam, lParam);
}

void C_MainDialog::PageBarEvent(int event, uint32_t position, void* userData)
{
    if (event != kImageLeftDown)
        return;
    int page = PageFromBarX((int)(position & 0xFFFF));
    if (page >= 0)
        ((C_MainDialog*)userData)->ShowPage(page);
}

void C_MainDialog::ClosePage(int index)
{
    if (m_pages[index]->IsOpen())
        m_pages[index]->Close(0);
}

void C_MainDialog::ShowPage(int index)
{
    // The others close in the page table's order (an end handler may refuse, leaving two open).
    for (int i : CloseOrder(index))
        ClosePage(i);
    if (index < 0 || index >= kPageNone)
        return;
    const S_PageRow& row = kPageTable[index];
    m_pageBar.SetImage(kImageNormal, row.barBitmap);
    if (!m_pages[index]->IsOpen())
        m_pages[index]->Open(this, row.templateId);
    m_values.flags = (m_values.flags & ~PageChoiceBits()) | kPageBarRows[index].flagBit;
}

HWND C_MainDialog::CreateProgressBar(HWND page)
{
    RECT r = {5, 246, 5 + 467, 246 + 6};
    MapDialogRect(page, &r);
    if (m_hProgressBar && IsWindow(m_hProgressBar))
        DestroyWindow(m_hProgressBar);
    DWORD style = WS_CHILD | WS_VISIBLE | ((m_values.flags & kFlagSmoothProgress) ? PBS_SMOOTH : 0);
    m_hProgressBar =
        CreateWindowExA(WS_EX_STATICEDGE, PROGRESS_CLASSA, "_progress_bar_", style, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, page, nullptr, m_hInstance, nullptr);
    return m_hProgressBar;
}
