#include "app/shell/MainDialog.h"
#include <commctrl.h>
#include <shellapi.h>
#include "app/pages/block/BlockIds.h"
#include "app/pages/file/FileIds.h"
#include "app/about/AboutIds.h"
#include "app/pages/quick/QuickIds.h"
#include "app/settings/Flags.h"
#include "app/shell/InfoPage.h"
#include "app/shell/MainIds.h"
#include "support/OsVersion.h"
#include "app/shell/PageBar.h"
#include "core/System.h"
#include "support/CrashReporter.h"
#include "support/VersionInfo.h"

static const char* const kKeyPath = "Software\\Velantix\\Quellmor";

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
    char title[64];
    snprintf(title, sizeof(title), "%s [%u.%02u]", QM_PRODUCT, (unsigned)major, (unsigned)minor);
    m_strTitle = title;
    SetIcon(IDI_PROGRAM);
    SetText(title);

    C_CrashReporter::Instance().Arm(IDI_PROGRAM, QM_REPORT_HOST, QM_REPORT_PATH);
    m_values = AppValues();
    m_values.flags = kFlagDefaults;
    if (!ParseCommandLine()) {
        ShowInformationPage(m_hWnd, title);
        return 0;
    }
    m_settings.Open((m_values.flags & kFlagPortable) ? C_Settings::kIniFile : C_Settings::kRegistry,
                    HKEY_CURRENT_USER, kKeyPath);
    m_bStoreLoaded = true;
    LoadSettings();
    if (!IsOsVersion(kOs9x | kOsNt4 | kOs2000, 0)) // the smooth style exists only there
        m_values.flags |= kFlagNoSmoothProgress;

    m_splash.Start(m_hInstance, IDR_SPLASH_IMAGE, 4000, 0);
    m_pageBar.Attach(GetItem(IDC_MAIN_PAGE_BAR), m_hInstance, 0x8080, IDB_BAR_BLOCK, 0, 0, 0, CLR_INVALID,
                     IDC_HAND_CURSOR, PageBarEvent, this, 175, 188);
    ShowPage(FirstPageFromFlags(m_values.flags));
    if (m_settings.ReadNumber("AutoUpdate", 1) == 1)
        m_update.Start(m_hWnd, HKEY_CURRENT_USER, kKeyPath, "LastCheck",
                       (m_values.flags & kFlagPortable) != 0);
    return 1;
}

INT_PTR C_MainDialog::OnEnd(INT_PTR)
{
    if (m_bStoreLoaded) {
        SaveSettings();
        ShowPage(kPageNone);
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

void C_MainDialog::ClosePage(C_Page& page)
{
    if (page.IsOpen())
        page.Close(0);
}

void C_MainDialog::OpenPage(C_Page& page, UINT templateId)
{
    if (!page.IsOpen())
        page.Open(this, templateId);
}

void C_MainDialog::ShowPage(int index)
{
    switch (index) {
    case kPageBlock:
        ClosePage(m_file);
        ClosePage(m_quick);
        ClosePage(m_about);
        m_pageBar.SetImage(kImageNormal, IDB_BAR_BLOCK);
        OpenPage(m_block, IDD_BLOCK);
        m_values.flags = (m_values.flags & ~kFlagFilePage) | kFlagBlockPage;
        break;
    case kPageFile:
        ClosePage(m_block);
        ClosePage(m_quick);
        ClosePage(m_about);
        m_pageBar.SetImage(kImageNormal, IDB_BAR_FILE);
        OpenPage(m_file, IDD_FILE);
        m_values.flags = (m_values.flags & ~kFlagBlockPage) | kFlagFilePage;
        break;
    case kPageQuick:
        ClosePage(m_block);
        ClosePage(m_file);
        ClosePage(m_about);
        m_pageBar.SetImage(kImageNormal, IDB_BAR_QUICK);
        OpenPage(m_quick, IDD_QUICK);
        m_values.flags &= ~(kFlagFilePage | kFlagBlockPage);
        break;
    case kPageAbout:
        ClosePage(m_block);
        ClosePage(m_file);
        ClosePage(m_quick);
        m_pageBar.SetImage(kImageNormal, IDB_BAR_ABOUT);
        OpenPage(m_about, IDD_ABOUT);
        m_values.flags &= ~(kFlagFilePage | kFlagBlockPage);
        break;
    default:
        ClosePage(m_file);
        ClosePage(m_block);
        ClosePage(m_quick);
        ClosePage(m_about);
        break;
    }
}

void C_MainDialog::ShowHelpPage(const char* page, const char* options)
{
    ShowResourcePage(m_hWnd, page, m_strTitle.c_str(), options);
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
