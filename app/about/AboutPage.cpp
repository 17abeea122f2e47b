#include "app/about/AboutPage.h"
#include <string>
#include "app/about/AboutIds.h"
#include "core/System.h"
#include "support/VersionInfo.h"

const char* GetAboutHelpText()
{
    return "QuickAccess Notes:\r\n"
           "You can skip the Random QD32 test by pressing the 'Ctrl' key while clicking the 'Start' "
           "button.\r\n"
           "\r\n"
           "BlockAccess Notes:\r\n"
           "For best/correct BlockAccess test results, use the entry with \\\\.\\<drive letter>: without any "
           "extension like 'track...'. \r\n"
           "Further, ensure that the read duration [second value of transfer speed] is larger than 1 second. "
           "If it's too short, increase 'calc speed every n'th access'.\r\n"
           "\r\n"
           "FileAccess Function Keys:\r\n"
           "F2\t\tstart write test\r\n"
           "F9\t\tstart read test\r\n"
           "F5\t\trefresh filebrowser\r\n"
           "\r\n"
           "FileAccess Command line options:\r\n"
           "-a\t\tstart with BlockAccess\r\n"
           "-n\t\tstart with FileAccess\r\n"
           "-c\t\tuse buffering\r\n"
           "-b\t\tdon't use buffering\r\n"
           "-d\t\tsave read data\r\n"
           "-e\t\tdon't save read date\r\n"
           "-p\t\tuse preread\r\n"
           "-f\t\tdon't use preread\r\n"
           "-g\t\tuse smooth scrollbar\r\n"
           "-h\t\tdon't use smooth scrollbar\r\n"
           "-m\t\tsearch for biggest file\r\n"
           "-r\t\tstart file read test\r\n"
           "-w\t\tstart file write test\r\n"
           "-i size_in_byte\tspecify file size\r\n"
           "-j size_in_byte\tspecify block size\r\n"
           "-k size_in_byte\tspecify pre read size\r\n"
           "-l test_file\tspecify test file name\r\n"
           "-o\t\tselect linear block test\r\n"
           "-q\t\tselect random block test\r\n"
           "-s\t\tselect seek block test\r\n"
           "-t\t\tsearch for fastest file\r\n"
           "-u\t\tdon't search for fastest file\r\n"
           "-v\t\tdon't search for biggest file\r\n"
           "-x\t\tsupport floppy drives\r\n"
           "-z\t\tportable version\r\n"
           "\r\n"
           "Example: -n -l e:\\ -m -r will search for biggest file on drive e: and test the speed on this "
           "file";
}

INT_PTR C_AboutPage::OnInitDialog()
{
    PlaceInHost();
    SetItemText(IDC_ABOUT_PRODUCT, QM_PRODUCT);
    m_product.Attach(GetItem(IDC_ABOUT_PRODUCT), "Verdana", 100, 0, 0, 0xC000000);

    std::string version;
    if (!GetOwnVersionString("FileVersion", version))
        version = "1.0";
    SetItemText(IDC_ABOUT_VERSION, ("Version " + version).c_str());
    m_version.Attach(GetItem(IDC_ABOUT_VERSION), "", RGB(128, 128, 128), RGB(128, 128, 128),
                     C_TextLabel::kOwnFont);
    m_link.Attach(GetItem(IDC_ABOUT_LINK), QM_WEB_ADDRESS, QM_WEB_ADDRESS, 127, C_Hyperlink::kOwnFont);
    SetItemText(IDC_ABOUT_NOTES, GetAboutHelpText());
    m_notes.Attach(GetItem(IDC_ABOUT_NOTES), NotesProc, nullptr);
    AttachPageIcon(IDC_ABOUT_ICON, 163);

    std::string box = "Automatically check for updates";
    std::string last = m_pHost->UpdateCheck().LastCheckText();
    if (!last.empty())
        box += " [Last Check: " + last + "]";
    CheckItem(IDC_ABOUT_AUTO_UPDATE, m_pHost->Settings().ReadNumber("AutoUpdate", 1) == 1);
    SetItemText(IDC_ABOUT_AUTO_UPDATE, box.c_str());
    Show(SW_SHOW);
    return 1;
}

// Arrows and characters stay in the text box; Tab, Enter and Escape go on to the dialog.
int C_AboutPage::NotesProc(HWND, UINT message, WPARAM, LPARAM, LRESULT* result, void*)
{
    if (message != WM_GETDLGCODE)
        return 0;
    *result = DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS;
    return 1;
}

INT_PTR C_AboutPage::OnCommand(UINT id, WPARAM wParam, LPARAM lParam)
{
    if (id == IDC_ABOUT_AUTO_UPDATE && IsItemChecked(IDC_ABOUT_AUTO_UPDATE)) {
        m_pHost->UpdateCheck().CheckNow(m_pHost->GetHostWindow());
        return 1;
    }
    return C_Page::OnCommand(id, wParam, lParam);
}

INT_PTR C_AboutPage::OnEnd(INT_PTR)
{
    m_pHost->Settings().WriteNumber("AutoUpdate", IsItemChecked(IDC_ABOUT_AUTO_UPDATE) ? 1 : 0);
    return 1;
}

INT_PTR C_AboutPage::OnDestroy()
{
    m_product.Detach();
    m_version.Detach();
    m_link.Detach();
    m_notes.Detach();
    return C_Page::OnDestroy();
}
