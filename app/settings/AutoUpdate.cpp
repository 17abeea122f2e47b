#include "app/settings/AutoUpdate.h"
#include <wininet.h>
#include <cstdio>
#include "app/settings/UpdateRules.h"
#include "core/System.h"
#include "support/MachineId.h"
#include "support/VersionInfo.h"

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
    // The request has its own timeouts; a server that keeps us longer is abandoned.
    if (!m_thread.Wait(6000))
        m_thread.Terminate();
}

bool FetchUrl(const std::string& address, std::string* answer, size_t max)
{
    typedef HINTERNET(WINAPI * OpenFn)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
    typedef HINTERNET(WINAPI * OpenUrlFn)(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR);
    typedef BOOL(WINAPI * ReadFn)(HINTERNET, LPVOID, DWORD, LPDWORD);
    typedef BOOL(WINAPI * CloseFn)(HINTERNET);
    typedef BOOL(WINAPI * OptionFn)(HINTERNET, DWORD, LPVOID, DWORD);
    typedef BOOL(WINAPI * QueryFn)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD);
    HMODULE wininet = LoadLibraryA("wininet.dll");
    if (!wininet)
        return false;
    OpenFn open = (OpenFn)GetProcAddress(wininet, "InternetOpenA");
    OpenUrlFn openUrl = (OpenUrlFn)GetProcAddress(wininet, "InternetOpenUrlA");
    ReadFn read = (ReadFn)GetProcAddress(wininet, "InternetReadFile");
    CloseFn close = (CloseFn)GetProcAddress(wininet, "InternetCloseHandle");
    OptionFn option = (OptionFn)GetProcAddress(wininet, "InternetSetOptionA");
    QueryFn query = (QueryFn)GetProcAddress(wininet, "HttpQueryInfoA");
    bool ok = false;
    if (open && openUrl && read && close) {
        HINTERNET session = open(QM_PRODUCT, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (session) {
            DWORD timeout = 5000;
            if (option) {
                option(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
                option(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
            }
            HINTERNET request =
                openUrl(session, address.c_str(), nullptr, 0,
                        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
            if (request) {
                DWORD status = 0, size = sizeof(status);
                bool statusOk = !query ||
                                !query(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                       &size, nullptr) ||
                                status == 200;
                char buffer[512];
                DWORD got = 0;
                answer->clear();
                while (statusOk && answer->size() <= max && read(request, buffer, sizeof(buffer), &got) &&
                       got)
                    answer->append(buffer, got);
                ok = statusOk && answer->size() <= max;
                close(request);
            }
            close(session);
        }
    }
    FreeLibrary(wininet);
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
    if (!FetchUrl(BuildUpdateUrl(GetRequestAddress(), version, GetMachineIdentifier()), &answer, 64))
        return 0;
    uint32_t newMajor = 0, newMinor = 0;
    if (!self->m_thread.IsStopRequested() && ParseUpdateAnswer(answer, major, minor, &newMajor, &newMinor))
        PostMessageA(self->m_hOwner, GetMessageId(), newMajor, newMinor);
    return 0;
}
