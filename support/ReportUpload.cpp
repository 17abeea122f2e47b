// The upload of a problem report through WinInet, looked up at run time so that a system
// without it still gets the report files.
#include "support/CrashWin.h"
#include <wininet.h>
#include "support/ReportForm.h"

int PostProblemReport(const std::string& hostPort, const std::string& path, const std::string& body)
{
    HMODULE wininet = LoadLibraryA("wininet.dll");
    if (!wininet)
        return 0;
    auto open =
        (HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD))GetProcAddress(wininet, "InternetOpenA");
    auto connect = (HINTERNET(WINAPI*)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD,
                                       DWORD_PTR))GetProcAddress(wininet, "InternetConnectA");
    auto request = (HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                       DWORD_PTR))GetProcAddress(wininet, "HttpOpenRequestA");
    auto send =
        (BOOL(WINAPI*)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD))GetProcAddress(wininet, "HttpSendRequestA");
    auto option =
        (BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD))GetProcAddress(wininet, "InternetSetOptionA");
    auto close = (BOOL(WINAPI*)(HINTERNET))GetProcAddress(wininet, "InternetCloseHandle");
    int sent = 0;
    if (open && connect && request && send && close) {
        std::string host;
        uint16_t port = 80;
        SplitHostPort(hostPort, &host, &port);
        HINTERNET session = open("Quellmor", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (session) {
            DWORD timeout = 15000;
            if (option) {
                option(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
                option(session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
                option(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
            }
            HINTERNET connection =
                connect(session, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
            if (connection) {
                HINTERNET post =
                    request(connection, "POST", path.c_str(), nullptr, nullptr, nullptr,
                            INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI, 0);
                if (post) {
                    std::string header = ReportContentType() + "\r\n";
                    sent = send(post, header.c_str(), (DWORD)header.size(), (LPVOID)body.data(),
                                (DWORD)body.size())
                               ? 1
                               : 0;
                    close(post);
                }
                close(connection);
            }
            close(session);
        }
    }
    FreeLibrary(wininet);
    return sent;
}
