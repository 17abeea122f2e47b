#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <atomic>
#include <string>
#include <thread>
#include "app/settings/AutoUpdate.h"
#include "app/settings/Settings.h"
#include "core/System.h"

namespace {

// A one-request HTTP server on 127.0.0.1 that answers with a fixed body and keeps the
// request line it saw.
class TinyServer {
public:
    explicit TinyServer(std::string body) : m_body(std::move(body))
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        bind(m_listen, (sockaddr*)&addr, sizeof(addr));
        int size = sizeof(addr);
        getsockname(m_listen, (sockaddr*)&addr, &size);
        m_port = ntohs(addr.sin_port);
        listen(m_listen, 4);
        m_thread = std::thread([this] { Serve(); });
    }
    ~TinyServer()
    {
        closesocket(m_listen);
        m_thread.join();
        WSACleanup();
    }
    int Port() const { return m_port; }
    std::string RequestLine()
    {
        for (int i = 0; i < 100 && !m_done; ++i)
            Sleep(50);
        return m_request;
    }

private:
    void Serve()
    {
        SOCKET client = accept(m_listen, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        std::string received;
        char buffer[1024];
        int n;
        while (received.find("\r\n\r\n") == std::string::npos &&
               (n = recv(client, buffer, sizeof(buffer), 0)) > 0)
            received.append(buffer, n);
        m_request = received.substr(0, received.find("\r\n"));
        std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                            std::to_string(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body;
        send(client, reply.c_str(), (int)reply.size(), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
        m_done = true;
    }

    std::string m_body, m_request;
    SOCKET m_listen = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

std::string Key() { return "Software\\Velantix\\QuellmorUpdateTest" + std::to_string(GetCurrentProcessId()); }

// Waits for the registered message on a message-only window.
bool WaitForUpdateMessage(HWND window, DWORD timeoutMs, WPARAM* major, LPARAM* minor)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < timeoutMs) {
        while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
            if (msg.message == C_AutoUpdate::GetMessageId()) {
                *major = msg.wParam;
                *minor = msg.lParam;
                return true;
            }
        }
        Sleep(20);
    }
    return false;
}

HWND MessageWindow()
{
    return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

TEST(AutoUpdate, NewerVersionIsReportedWithTheRequestQuery)
{
    TinyServer server("9.5\r\n");
    std::string address = "http://127.0.0.1:" + std::to_string(server.Port());
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", address.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    HWND window = MessageWindow();
    C_AutoUpdate update;
    uint32_t before = GetCalendarSeconds();
    ASSERT_EQ(update.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 1);
    WPARAM major = 0;
    LPARAM minor = 0;
    EXPECT_TRUE(WaitForUpdateMessage(window, 8000, &major, &minor));
    EXPECT_EQ(major, 9u);
    EXPECT_EQ(minor, 5);
    std::string line = server.RequestLine();
    uint32_t ownMajor = 0, ownMinor = 0;
    GetOwnVersionNumbers(&ownMajor, &ownMinor);
    char expected[96];
    snprintf(expected, sizeof(expected), "GET /data/update.php?p=quellmor&v=%u.%02u&id=", (unsigned)ownMajor,
             (unsigned)ownMinor);
    EXPECT_EQ(line.rfind(expected, 0), 0u) << line;
    EXPECT_EQ(line.find(" HTTP/1."), strlen(expected) + 8) << "an eight-digit machine id: " << line;
    update.Stop();

    C_Settings store;
    store.Open(C_Settings::kRegistry, HKEY_CURRENT_USER, Key().c_str());
    uint32_t stored = store.ReadNumber("LastCheck", 0);
    EXPECT_GE(stored, before);
    EXPECT_LE(stored, GetCalendarSeconds());
    EXPECT_FALSE(update.LastCheckText().empty());

    // Checked just now: a second start asks nobody.
    C_AutoUpdate again;
    EXPECT_EQ(again.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 0);
    DestroyWindow(window);
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

TEST(AutoUpdate, SameVersionAndRefusedConnectionStaySilent)
{
    HWND window = MessageWindow();
    WPARAM major = 0;
    LPARAM minor = 0;
    {
        TinyServer server("1.00");
        std::string address = "http://127.0.0.1:" + std::to_string(server.Port());
        SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", address.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
        C_AutoUpdate update;
        ASSERT_EQ(update.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 1);
        EXPECT_FALSE(server.RequestLine().empty()) << "the server was asked";
        update.Stop();
        EXPECT_FALSE(WaitForUpdateMessage(window, 300, &major, &minor));
    }
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", "http://127.0.0.1:9");
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    C_AutoUpdate refused;
    ASSERT_EQ(refused.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 1);
    refused.Stop();
    EXPECT_FALSE(WaitForUpdateMessage(window, 300, &major, &minor));
    DestroyWindow(window);
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

TEST(AutoUpdate, StoredMinusOneMeansNeverAndIsReset)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    C_Settings store;
    store.Open(C_Settings::kRegistry, HKEY_CURRENT_USER, Key().c_str());
    store.WriteNumber("LastCheck", 0xFFFFFFFF);
    C_AutoUpdate update;
    EXPECT_EQ(update.Start(nullptr, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 0);
    EXPECT_EQ(store.ReadNumber("LastCheck", 7), 0u);
    EXPECT_TRUE(update.LastCheckText().empty());
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

} // namespace
