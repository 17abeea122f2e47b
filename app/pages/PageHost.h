// What a page needs from the window that hosts it: the flag word, the settings store,
// the shared progress bar, the program title and the graph window.
#pragma once
#include <windows.h>
#include <cstdint>
#include "app/settings/AppValues.h"
#include "app/settings/AutoUpdate.h"
#include "app/settings/SettingsStore.h"
#include "graph/GraphWindow.h"

class I_PageHost {
public:
    virtual ~I_PageHost() = default;
    virtual uint32_t& Flags() = 0;
    // The file test parameters the application loads and saves for the FileAccess page.
    virtual AppValues& Values() = 0;
    virtual I_SettingsStore& Settings() = 0;
    // (Re)creates the shared progress bar on the page; the smooth style follows the flags.
    virtual HWND CreateProgressBar(HWND page) = 0;
    virtual HWND GetProgressBar() const = 0;
    virtual const char* GetTitle() const = 0;
    virtual HWND GetHostWindow() const = 0;
    // Shows an HTML page of the resources modally, with the title as its argument.
    virtual void ShowHelpPage(const char* page, const char* options) = 0;
    virtual C_AutoUpdate& UpdateCheck() = 0;
    // The rate graph's window; the BlockAccess worker feeds its control directly.
    virtual C_GraphWindow& GraphWindow() = 0;
};
