#include "app/pages/about/AboutPage.h"
#include <string>
#include "app/pages/about/AboutIds.h"
#include "app/pages/about/AboutText.h"
#include "app/res/ArtworkIds.h"
#include "core/System.h"
#include "core/VersionInfo.h"

C_Page* C_AboutPage::Create(const S_PageServices& services)
{
    return new C_AboutPage(services.settings, services.updateCheck);
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
    m_link.Attach(GetItem(IDC_ABOUT_LINK), QM_WEB_ADDRESS, QM_WEB_ADDRESS, IDCUR_HAND, C_Hyperlink::kOwnFont);
    SetItemText(IDC_ABOUT_NOTES, BuildAboutHelpText().c_str());
    m_notes.Attach(GetItem(IDC_ABOUT_NOTES), NotesProc, nullptr);
    AttachPageIcon(IDC_ABOUT_ICON, IDB_PAGE_ICON);

    std::string box = "Automatically check for updates";
    std::string last = m_updateCheck.LastCheckText();
    if (!last.empty())
        box += " [Last Check: " + last + "]";
    CheckItem(IDC_ABOUT_AUTO_UPDATE, m_settings.ReadNumber("AutoUpdate", 1) == 1);
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
        m_updateCheck.CheckNow(m_pHost->GetHostWindow());
        return 1;
    }
    return C_Page::OnCommand(id, wParam, lParam);
}

INT_PTR C_AboutPage::OnEnd(INT_PTR)
{
    m_settings.WriteNumber("AutoUpdate", IsItemChecked(IDC_ABOUT_AUTO_UPDATE) ? 1 : 0);
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
