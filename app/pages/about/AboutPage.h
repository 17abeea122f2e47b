// The About page: product, version, web link, notes and command-line help, update setting.
#pragma once
#include "app/framework/Hyperlink.h"
#include "app/framework/SubClassing.h"
#include "app/framework/TextLabel.h"
#include "app/pages/Page.h"

class C_AboutPage : public C_Page {
public:
    C_AboutPage(I_SettingsStore& settings, C_AutoUpdate& updateCheck)
        : m_notes(kTagEdit), m_settings(settings), m_updateCheck(updateCheck)
    {
    }
    static C_Page* Create(const S_PageServices& services);
    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnDestroy() override;

private:
    static int NotesProc(HWND, UINT, WPARAM, LPARAM, LRESULT*, void*);

    C_TextLabel m_product;
    C_TextLabel m_version;
    C_Hyperlink m_link;
    C_SubClassing m_notes;
    I_SettingsStore& m_settings;
    C_AutoUpdate& m_updateCheck;
};
