// The BlockAccess page: device list, access pattern, parameters and options.
#pragma once
#include "app/framework/Hyperlink.h"
#include "app/framework/TextLabel.h"
#include "app/pages/Page.h"

class C_BlockAccess : public C_Page {
public:
    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnDestroy() override;

private:
    void EnableIdle();

    C_Hyperlink m_help;
    C_TextLabel m_speed;
};
