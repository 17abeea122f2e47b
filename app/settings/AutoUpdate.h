// The update check: at most once a week, on a thread of its own, it asks the vendor's
// server for the newest version and tells the main window through the registered message
// "_C_AutoUpdate" (wParam major, lParam minor) when a newer one exists. Failures are silent.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "app/settings/Settings.h"
#include "core/Thread.h"

// The internet handles of a request in flight, shared by the thread that makes the request
// and a thread that cancels it, so the request ends without its thread being ended from
// outside. Each handle is closed once, by whoever takes it out of here under the lock; the
// request makes its calls under the same lock, and after Cancel it opens and uses nothing.
class C_WebCancel {
public:
    typedef BOOL(WINAPI* CloseFn)(void*);
    C_WebCancel()
    {
        InitializeCriticalSection(&m_lock);
        m_hCancelled = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~C_WebCancel()
    {
        if (m_hCancelled)
            CloseHandle(m_hCancelled);
        DeleteCriticalSection(&m_lock);
    }
    C_WebCancel(const C_WebCancel&) = delete;
    C_WebCancel& operator=(const C_WebCancel&) = delete;

    // Before a new request, while no request uses this object.
    void Reset()
    {
        m_bCancelled = false;
        ResetEvent(m_hCancelled);
    }
    // Set by Cancel: the request waits on it beside its own completion.
    HANDLE CancelEvent() const { return m_hCancelled; }
    // Runs open (a call that does not wait for the network) under the lock and keeps the
    // handle it returns; null when the request was cancelled before, or when open failed.
    template <typename Step>
    void* Open(CloseFn close, Step open)
    {
        EnterCriticalSection(&m_lock);
        void* handle = m_bCancelled ? nullptr : open();
        if (handle) {
            m_close = close;
            if (!Store(handle)) {
                close(handle);
                handle = nullptr;
            }
        }
        LeaveCriticalSection(&m_lock);
        return handle;
    }
    // Runs use (calls on kept handles that do not wait for the network) under the lock;
    // false, without running it, once the request was cancelled.
    template <typename Step>
    bool Use(Step use)
    {
        EnterCriticalSection(&m_lock);
        const bool go = !m_bCancelled;
        if (go)
            use();
        LeaveCriticalSection(&m_lock);
        return go;
    }
    bool IsCancelled();
    // The request is done with a handle: closed here unless Cancel closed it already.
    void Close(void* handle);
    // From another thread: sets the cancel event and closes every kept handle.
    void Cancel();

private:
    // Puts a handle into a free slot; false when all are taken.
    bool Store(void* handle);

    CRITICAL_SECTION m_lock;
    void* m_handles[3] = {}; // session, connection, request
    CloseFn m_close = nullptr;
    HANDLE m_hCancelled = nullptr;
    bool m_bCancelled = false;
};

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
    // Cancels a running check and waits for its thread to end, which takes well under a
    // second when the server keeps us waiting.
    void Stop();
    bool IsRunning() const { return m_thread.IsRunning(); }
    // How a check ended: the exit code of its thread.
    enum : uint32_t { kAnswered = 1, kNoAnswer = 2, kCancelled = 3 };
    // 1 with the outcome of the last check once it ended (0 before the first); 0 while it runs.
    int GetOutcome(uint32_t* outcome) { return m_thread.GetExitCode(outcome); }

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
    C_WebCancel m_cancel; // outlives the thread, which uses it to its end
    C_Thread m_thread;
};

// The answer of the server for a request address, at most max bytes; false on failure and
// when cancel (optional) was cancelled.
bool FetchUrl(const std::string& address, std::string* answer, size_t max, C_WebCancel* cancel = nullptr);
