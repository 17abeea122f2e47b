// The QuickAccess page: drive list, file and block size, Start and Stop, four results.
#pragma once
#include "app/framework/Hyperlink.h"
#include "app/pages/Page.h"

class C_Simple : public C_Page {
public:
    INT_PTR OnInitDialog() override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnDestroy() override;

protected:
    // The drive list's column setup and the first fill; the test logic extends it.
    virtual void SetUpDriveList();
    HFONT m_hResultFont = nullptr;
    C_Hyperlink m_compare;
};
