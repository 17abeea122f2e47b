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
#include "app/splash/Splash.h"

class C_MainDialog : public C_Dialog, public I_PageHost, public I_ProgressBarOwner {
public:
    C_MainDialog();
    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // 1 when every switch was known.
    int ParseCommandLine();
    void LoadSettings();
    void SaveSettings();
    // Closes the other pages and opens the page of that row of the page table (kPageNone
    // closes all).
    void ShowPage(int index);

    HWND CreateProgressBar(HWND page) override;
    HWND GetProgressBar() const override { return m_hProgressBar; }
    const char* GetTitle() const override { return m_strTitle.c_str(); }
    HWND GetHostWindow() const override { return m_hWnd; }

private:
    static void PageBarEvent(int event, uint32_t position, void* userData);
    void ClosePage(int index);

    AppValues m_values;
    CommandLineState m_commandLine;
    C_Settings m_settings;
    std::string m_strTitle;
    HWND m_hProgressBar = nullptr;
    C_ImageControl m_pageBar;
    C_Splash m_splash;
    C_AutoUpdate m_update;
    C_GraphWindow m_graphWindow;
    bool m_bStoreLoaded = false;
    // One object a row of the page table, for the dialog's whole life; windows only while shown.
    // Last, so the pages go before the services they were lent.
    std::unique_ptr<C_Page> m_pages[kPageNone];
};
