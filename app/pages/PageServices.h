// What the main window lends its pages besides itself. A page's Create function (named in
// its row of the page table) picks the services the page uses and hands them to its
// constructor, so a page's constructor says what it depends on.
#pragma once
#include <windows.h>
#include "app/settings/AppValues.h"
#include "app/settings/AutoUpdate.h"
#include "app/settings/SettingsStore.h"
#include "graph/GraphWindow.h"

// The progress bar the test pages share: one window, on the page that created it last.
class I_ProgressBarOwner {
public:
    virtual ~I_ProgressBarOwner() = default;
    // (Re)creates the shared progress bar on the page; the smooth style follows the flags.
    virtual HWND CreateProgressBar(HWND page) = 0;
    virtual HWND GetProgressBar() const = 0;
};

struct S_PageServices {
    AppValues& values; // the flag word (values.flags) and the file test parameters
    I_SettingsStore& settings;
    I_ProgressBarOwner& progressBar;
    C_AutoUpdate& updateCheck;
    C_GraphWindow& graphWindow; // the rate graph's window
};
