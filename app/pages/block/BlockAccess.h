// The BlockAccess page: device list, access pattern, parameters and options.
#pragma once
#include "app/pages/Page.h"

class C_BlockAccess : public C_Page {
public:
    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;

private:
    void EnableIdle();
};
