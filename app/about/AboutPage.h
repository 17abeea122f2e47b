// The About page: product, version, web link, notes and command-line help, update setting.
#pragma once
#include "app/pages/Page.h"

class C_AboutPage : public C_Page {
public:
    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnDestroy() override;

private:
    HFONT m_hProductFont = nullptr;
};

// The notes and command-line help shown in the page's text box (CR LF lines).
const char* GetAboutHelpText();
