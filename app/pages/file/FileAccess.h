// The FileAccess page: folder tree and file list, test file, sizes and transfer options.
#pragma once
#include "app/pages/Page.h"

class C_FileAccess : public C_Page {
public:
    INT_PTR OnInitDialog() override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnDestroy() override;

private:
    void ShowExpertControls();
    HFONT m_hResultFont = nullptr;
};
