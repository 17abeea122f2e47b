// An HTTP server on 127.0.0.1 for tests of the programs' web requests: it answers every
// request with a fixed body and keeps each request whole (headers and body). A silent one
// takes each request and never answers, holding the connection open until it is destroyed.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class C_LocalHttpServer {
public:
    struct Request {
        std::string head; // request line and headers, up to the empty line
        std::string body;
        std::string Line() const { return head.substr(0, head.find("\r\n")); }
        // The value of a header, empty when absent (names compared without case).
        std::string Header(const char* name) const
        {
            std::string wanted = std::string("\r\n") + name + ":";
            for (size_t at = head.find("\r\n"); at != std::string::npos; at = head.find("\r\n", at + 2)) {
                if (_strnicmp(head.c_str() + at, wanted.c_str(), wanted.size()) != 0)
                    continue;
                size_t start = head.find_first_not_of(' ', at + wanted.size());
                size_t end = head.find("\r\n", at + 2);
                return start == std::string::npos || start >= end ? std::string()
                                                                  : head.substr(start, end - start);
            }
            return std::string();
        }
    };

    enum Mode { kAnswer, kSilent };
    explicit C_LocalHttpServer(std::string answer = "", Mode mode = kAnswer)
        : m_answer(std::move(answer)), m_mode(mode)
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, (sockaddr*)&addr, sizeof(addr));
        int size = sizeof(addr);
        getsockname(m_listen, (sockaddr*)&addr, &size);
        m_port = ntohs(addr.sin_port);
        listen(m_listen, 8);
        m_thread = std::thread([this] { Serve(); });
    }
    ~C_LocalHttpServer()
    {
        closesocket(m_listen);
        m_thread.join();
        for (SOCKET client : m_silent)
            closesocket(client);
        WSACleanup();
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests.size();
    }
    // Waits up to timeoutMs for at least count requests.
    bool WaitFor(size_t count, DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (Count() < count) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            Sleep(20);
        }
        return true;
    }
    Request Get(size_t index)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return index < m_requests.size() ? m_requests[index] : Request();
    }

private:
    void Serve()
    {
        for (;;) {
            SOCKET client = accept(m_listen, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            Request request;
            std::string received;
            char buffer[4096];
            int n = 0;
            size_t end;
            while ((end = received.find("\r\n\r\n")) == std::string::npos &&
                   (n = recv(client, buffer, sizeof(buffer), 0)) > 0)
                received.append(buffer, n);
            if (end != std::string::npos) {
                request.head = received.substr(0, end + 2);
                request.body = received.substr(end + 4);
                size_t length = (size_t)strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
                while (request.body.size() < length && (n = recv(client, buffer, sizeof(buffer), 0)) > 0)
                    request.body.append(buffer, n);
                if (m_mode == kSilent) {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_requests.push_back(request);
                    m_silent.push_back(client);
                    continue;
                }
                std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                    std::to_string(m_answer.size()) + "\r\nConnection: close\r\n\r\n" +
                                    m_answer;
                send(client, reply.c_str(), (int)reply.size(), 0);
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(request);
            }
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    std::string m_answer;
    Mode m_mode;
    std::vector<SOCKET> m_silent; // connections held open without an answer
    SOCKET m_listen = INVALID_SOCKET;
    int m_port = 0;
    std::mutex m_mutex;
    std::vector<Request> m_requests;
    std::thread m_thread;
};
