// The application object: the main dialog with its page bar, the flag word, the settings
// store and the pages of the page table. One static instance lives for the whole process.
#pragma once
#include <memory>
#include <string>
#include "app/framework/Dialog.h"
#include "app/framework/ImageControl.h"
#include "app/settings/AppValues.h"
#include "app/settings/CommandLine.h"
#include "app/pages/Page.h"
#include "app/pages/PageHost.h"
#include "app/shell/PageBar.h"
#include "app/settings/Settings.h"
#include "app/shell/Splash.h"

class C_MainDialog : public C_Dialog, public I_PageHost {
public:
    C_MainDialog();
    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // 1 when every switch was known.
    int ParseCommandLine();
    void LoadSettings();
    void SaveSettings();
    // Closes the other pages and opens page 0..4 (kPageNone closes all).
    void ShowPage(int index);

    uint32_t& Flags() override { return m_values.flags; }
    AppValues& Values() override { return m_values; }
    I_SettingsStore& Settings() override { return m_settings; }
    HWND CreateProgressBar(HWND page) override;
    HWND GetProgressBar() const override { return m_hProgressBar; }
    const char* GetTitle() const override { return m_strTitle.c_str(); }
    HWND GetHostWindow() const override { return m_hWnd; }
    void ShowHelpPage(const char* page, const char* options) override;
    C_AutoUpdate& UpdateCheck() override { return m_update; }
    C_GraphWindow& GraphWindow() override { return m_graphWindow; }

private:
    static void PageBarEvent(int event, uint32_t position, void* userData);
    void ClosePage(int index);

    AppValues m_values;
    CommandLineState m_commandLine;
    C_Settings m_settings;
    std::string m_strTitle;
    HWND m_hProgressBar = nullptr;
    C_ImageControl m_pageBar;
    // One object a row of the page table, for the dialog's whole life; windows only while shown.
    std::unique_ptr<C_Page> m_pages[kPageNone];
    C_Splash m_splash;
    C_AutoUpdate m_update;
    C_GraphWindow m_graphWindow;
    bool m_bStoreLoaded = false;
};
