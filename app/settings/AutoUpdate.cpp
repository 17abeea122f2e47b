#include "app/settings/AutoUpdate.h"
#include <wininet.h>
#include <cstdio>
#include "app/settings/UpdateRules.h"
#include "core/System.h"
#include "core/VersionInfo.h"
#include "support/MachineId.h"

namespace {
// The server gets this long to connect and to answer each read.
const DWORD kRequestTimeoutMs = 5000;
// A cancelled check ends this soon: its thread waits on the cancel event, not in WinInet.
const DWORD kCancelWaitMs = 1000;
} // namespace

UINT C_AutoUpdate::GetMessageId()
{
    static UINT id = RegisterWindowMessageA("_C_AutoUpdate");
    return id;
}

std::string C_AutoUpdate::GetRequestAddress()
{
    char server[512] = "";
    DWORD n = GetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", server, sizeof(server));
    std::string base = (n > 0 && n < sizeof(server)) ? server : "http://www.velantix.com";
    return base + "/data/update.php?p=quellmor";
}

void C_AutoUpdate::OpenStore()
{
    m_settings.Close();
    m_settings.Open(m_bPortable ? C_Settings::kIniFile : C_Settings::kRegistry, m_hRoot,
                    m_strKeyPath.c_str());
}

void C_AutoUpdate::Open(HWND owner, HKEY root, const char* keyPath, const char* valueName, bool portable)
{
    m_hOwner = owner;
    m_hRoot = root;
    m_strKeyPath = keyPath;
    m_strValueName = valueName;
    m_bPortable = portable;
    OpenStore();
}

int C_AutoUpdate::Start(HWND owner, HKEY root, const char* keyPath, const char* valueName, bool portable)
{
    Open(owner, root, keyPath, valueName, portable);
    return StartIfDue();
}

int C_AutoUpdate::StartIfDue()
{
    if (m_strKeyPath.empty())
        return 0;
    UpdateDecision d =
        DecideUpdateCheck(m_settings.ReadNumber(m_strValueName.c_str(), 0), GetCalendarSeconds());
    if (d.store)
        m_settings.WriteNumber(m_strValueName.c_str(), d.storedValue);
    return d.check ? Launch(m_hOwner) : 0;
}

int C_AutoUpdate::CheckNow(HWND owner)
{
    if (m_strKeyPath.empty())
        return 0;
    m_settings.WriteNumber(m_strValueName.c_str(), GetCalendarSeconds());
    return Launch(owner);
}

int C_AutoUpdate::Launch(HWND owner)
{
    if (m_thread.IsRunning())
        return 0;
    m_hOwner = owner;
    m_cancel.Reset();
    return m_thread.Start(Run, this, 0);
}

std::string C_AutoUpdate::LastCheckText()
{
    uint32_t seconds = m_strKeyPath.empty() ? 0 : m_settings.ReadNumber(m_strValueName.c_str(), 0);
    if (seconds == 0 || seconds == kUpdateNever)
        return std::string();
    ULONGLONG ticks = (ULONGLONG)seconds * 10000000ull + 116444736000000000ull;
    FILETIME utc = {(DWORD)ticks, (DWORD)(ticks >> 32)}, local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        return std::string();
    char date[128] = "", time[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, date, sizeof(date));
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof(time));
    return std::string(date) + " " + time;
}

void C_AutoUpdate::Stop()
{
    if (!m_thread.IsRunning())
        return;
    m_thread.RequestStop();
    // The request's thread waits on the cancel event and ends at once; closing the handles
    // cancels what WinInet still does for it in the background.
    m_cancel.Cancel();
    if (!m_thread.Wait(kCancelWaitMs))
        // Only a machine too busy to run that thread gets here; wait rather than kill it.
        m_thread.Wait(kRequestTimeoutMs);
}

bool C_WebCancel::Store(void* handle)
{
    for (void*& slot : m_handles)
        if (!slot) {
            slot = handle;
            return true;
        }
    return false;
}

bool C_WebCancel::IsCancelled()
{
    EnterCriticalSection(&m_lock);
    const bool cancelled = m_bCancelled;
    LeaveCriticalSection(&m_lock);
    return cancelled;
}

void C_WebCancel::Close(void* handle)
{
    EnterCriticalSection(&m_lock);
    for (void*& slot : m_handles)
        if (handle && slot == handle) {
            m_close(handle);
            slot = nullptr;
        }
    LeaveCriticalSection(&m_lock);
}

void C_WebCancel::Cancel()
{
    EnterCriticalSection(&m_lock);
    m_bCancelled = true;
    SetEvent(m_hCancelled);
    // The request thread closes its handles under this lock as well: it sees them gone and
    // closes none twice, and unloads the library only after these calls are done.
    for (void*& slot : m_handles)
        if (slot) {
            m_close(slot);
            slot = nullptr;
        }
    LeaveCriticalSection(&m_lock);
}

namespace {

// WinInet, loaded once and never freed: after its last callback (and after a call given up)
// its own threads still run inside it for a moment, and freeing it then made them jump into
// unmapped code.
HMODULE WinInetModule()
{
    static const HMODULE module = LoadLibraryA("wininet.dll");
    return module;
}

// The WinInet functions of a request, looked up at run time so that a system without the
// library still starts.
struct C_WinInet {
    HMODULE module = WinInetModule();
    HINTERNET(WINAPI* open)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) = nullptr;
    INTERNET_STATUS_CALLBACK(WINAPI* callback)(HINTERNET, INTERNET_STATUS_CALLBACK) = nullptr;
    BOOL(WINAPI* crack)(LPCSTR, DWORD, DWORD, LPURL_COMPONENTSA) = nullptr;
    HINTERNET(WINAPI* connect)
    (HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR) = nullptr;
    HINTERNET(WINAPI* request)
    (HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD, DWORD_PTR) = nullptr;
    BOOL(WINAPI* send)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD) = nullptr;
    BOOL(WINAPI* read)(HINTERNET, LPVOID, DWORD, LPDWORD) = nullptr;
    BOOL(WINAPI* close)(HINTERNET) = nullptr;
    BOOL(WINAPI* option)(HINTERNET, DWORD, LPVOID, DWORD) = nullptr;
    BOOL(WINAPI* query)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD) = nullptr;

    C_WinInet()
    {
        if (!module)
            return;
        Find(open, "InternetOpenA");
        Find(callback, "InternetSetStatusCallbackA");
        Find(crack, "InternetCrackUrlA");
        Find(connect, "InternetConnectA");
        Find(request, "HttpOpenRequestA");
        Find(send, "HttpSendRequestA");
        Find(read, "InternetReadFile");
        Find(close, "InternetCloseHandle");
        Find(option, "InternetSetOptionA");
        Find(query, "HttpQueryInfoA");
    }
    template <typename Fn>
    void Find(Fn& fn, const char* name)
    {
        fn = (Fn)GetProcAddress(module, name);
    }
    bool Usable() const { return open && callback && crack && connect && request && send && read && close; }
};

// What WinInet may still touch after the request gave a call up: the completion it reports
// and the buffer a pending read fills. Freed when nothing is pending; a call given up (on a
// cancel or a timeout) leaves it to the process, a few hundred bytes once.
struct C_Pending {
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    volatile LONG ok = 0;
    DWORD got = 0;
    char buffer[512];
    ~C_Pending()
    {
        if (done)
            CloseHandle(done);
    }
};

void CALLBACK OnRequestStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD)
{
    if (status != INTERNET_STATUS_REQUEST_COMPLETE || !context)
        return;
    C_Pending* pending = (C_Pending*)context;
    const INTERNET_ASYNC_RESULT* result = (const INTERNET_ASYNC_RESULT*)info;
    InterlockedExchange(&pending->ok, result && result->dwResult ? 1 : 0);
    SetEvent(pending->done); // the last touch: the request may free it at once
}

// Makes one call on the request under the guard's lock (calls return at once in this mode)
// and waits for it when it went on in the background. 1 when it succeeded, 0 when it
// failed; -1 when the request was cancelled or the server took too long, and the call, if it
// was started, stays pending.
template <typename Call>
int Complete(C_WebCancel& guard, C_Pending& pending, Call call)
{
    bool done = false, waiting = false;
    ResetEvent(pending.done);
    if (!guard.Use([&] {
            done = call() != FALSE;
            waiting = !done && GetLastError() == ERROR_IO_PENDING;
        }))
        return -1;
    if (!waiting)
        return done ? 1 : 0;
    HANDLE events[2] = {pending.done, guard.CancelEvent()};
    if (WaitForMultipleObjects(2, events, FALSE, kRequestTimeoutMs) != WAIT_OBJECT_0)
        return -1;
    return pending.ok ? 1 : 0;
}

} // namespace

// The request runs in WinInet's asynchronous mode: this thread never waits inside the library,
// only on the completion and on the cancel event, and it makes every call under the guard's
// lock, so it never uses a handle the canceller has closed.
bool FetchUrl(const std::string& address, std::string* answer, size_t max, C_WebCancel* cancel)
{
    C_WebCancel uncancelled;
    C_WebCancel& guard = cancel ? *cancel : uncancelled;
    C_WinInet net;
    char host[256] = "", path[2048] = "", query[2048] = "";
    URL_COMPONENTSA url = {};
    url.dwStructSize = sizeof(url);
    url.lpszHostName = host;
    url.dwHostNameLength = sizeof(host);
    url.lpszUrlPath = path;
    url.dwUrlPathLength = sizeof(path);
    url.lpszExtraInfo = query;
    url.dwExtraInfoLength = sizeof(query);
    if (!net.Usable() || !net.crack(address.c_str(), 0, 0, &url))
        return false;
    const std::string object = std::string(path) + query;
    const C_WebCancel::CloseFn closeFn = (C_WebCancel::CloseFn)net.close;
    C_Pending* pending = new C_Pending;
    HINTERNET session = guard.Open(closeFn, [&]() -> void* {
        HINTERNET h =
            net.open(QM_PRODUCT, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC);
        DWORD timeout = kRequestTimeoutMs;
        if (h && net.option) {
            net.option(h, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
            net.option(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
        }
        if (h)
            net.callback(h, OnRequestStatus);
        return h;
    });
    HINTERNET connection = session ? guard.Open(closeFn,
                                                [&]() -> void* {
                                                    return net.connect(session, host, url.nPort, nullptr,
                                                                       nullptr, INTERNET_SERVICE_HTTP, 0, 0);
                                                })
                                   : nullptr;
    HINTERNET request =
        connection
            ? guard.Open(closeFn,
                         [&]() -> void* {
                             return net.request(connection, "GET", object.c_str(), nullptr, nullptr, nullptr,
                                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                    INTERNET_FLAG_NO_UI,
                                                (DWORD_PTR)pending);
                         })
            : nullptr;
    int step =
        request ? Complete(guard, *pending, [&] { return net.send(request, nullptr, 0, nullptr, 0); }) : 0;
    bool statusOk = false;
    if (step == 1)
        guard.Use([&] {
            DWORD status = 0, size = sizeof(status);
            statusOk = !net.query ||
                       !net.query(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                                  nullptr) ||
                       status == 200;
        });
    answer->clear();
    while (statusOk && answer->size() <= max) {
        pending->got = 0;
        step = Complete(guard, *pending, [&] {
            return net.read(request, pending->buffer, sizeof(pending->buffer), &pending->got);
        });
        if (step != 1 || pending->got == 0)
            break;
        answer->append(pending->buffer, pending->got);
    }
    const bool ok = statusOk && step == 1 && answer->size() <= max && !guard.IsCancelled();
    for (HINTERNET h : {request, connection, session})
        guard.Close(h);
    if (step != -1)
        delete pending;
    return ok;
}

uint32_t C_AutoUpdate::Run(void* userData, uintptr_t)
{
    C_AutoUpdate* self = (C_AutoUpdate*)userData;
    uint32_t major = 1, minor = 1;
    GetOwnVersionNumbers(&major, &minor);
    char version[32];
    snprintf(version, sizeof(version), "%u.%02u", (unsigned)major, (unsigned)minor);
    std::string answer;
    if (!FetchUrl(BuildUpdateUrl(GetRequestAddress(), version, GetMachineIdentifier()), &answer, 64,
                  &self->m_cancel))
        return self->m_cancel.IsCancelled() ? kCancelled : kNoAnswer;
    uint32_t newMajor = 0, newMinor = 0;
    if (!self->m_thread.IsStopRequested() && ParseUpdateAnswer(answer, major, minor, &newMajor, &newMinor))
        PostMessageA(self->m_hOwner, GetMessageId(), newMajor, newMinor);
    return kAnswered;
}
