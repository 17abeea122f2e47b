// The update check: at most once a week, on a thread of its own, it asks the vendor's
// server for the newest version and tells the main window through the registered message
// "_C_AutoUpdate" (wParam major, lParam minor) when a newer one exists. Failures are silent.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "app/settings/Settings.h"
#include "core/Thread.h"

class C_AutoUpdate {
public:
    ~C_AutoUpdate() { Stop(); }
    // Names where the last check time is kept; LastCheckText and CheckNow need it.
    void Open(HWND owner, HKEY root, const char* keyPath, const char* valueName, bool portable);
    // Applies the weekly rule to the stored value and starts a check when it is due.
    // 1 when a check was started.
    int StartIfDue();
    // Open, then StartIfDue.
    int Start(HWND owner, HKEY root, const char* keyPath, const char* valueName, bool portable);
    // One check at once, whatever the stored time says.
    int CheckNow(HWND owner);
    // Local date and time of the last check, or empty when there was none.
    std::string LastCheckText();
    // Waits a little for a running check, then gives it up.
    void Stop();
    bool IsRunning() const { return m_thread.IsRunning(); }

    static UINT GetMessageId();
    // The server address; QUELLMOR_UPDATE_SERVER replaces the vendor's (tests use a local one).
    static std::string GetRequestAddress();

private:
    static uint32_t Run(void* self, uintptr_t);
    int Launch(HWND owner);
    void OpenStore();

    HWND m_hOwner = nullptr;
    HKEY m_hRoot = HKEY_CURRENT_USER;
    std::string m_strKeyPath, m_strValueName = "LastCheck";
    bool m_bPortable = false;
    C_Settings m_settings;
    C_Thread m_thread;
};

// The answer of the server for a request address, at most max bytes; false on failure.
bool FetchUrl(const std::string& address, std::string* answer, size_t max);
