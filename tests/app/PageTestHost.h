// A stand-in for the main window in tests that open a page in their own process: a plain
// top-level window, flags and values in memory, settings in a map, the progress bar on the page.
// A test hands a page the services it takes from here (values, store, the host, update, graph).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>
#include "app/pages/PageHost.h"
#include "app/pages/PageServices.h"
#include "graph/GraphWindow.h"
#include "tests/app/settings/MapStore.h"

class C_TestHost : public I_PageHost, public I_ProgressBarOwner {
public:
    C_TestHost()
    {
        m_window = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 760, 520,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~C_TestHost() override { DestroyWindow(m_window); }
    HWND CreateProgressBar(HWND page) override
    {
        if (m_progress)
            DestroyWindow(m_progress);
        m_progress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 480, 700, 12, page,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
        return m_progress;
    }
    HWND GetProgressBar() const override { return m_progress; }
    const char* GetTitle() const override { return "Quellmor test"; }
    HWND GetHostWindow() const override { return m_window; }

    AppValues values;
    MapStore store;
    C_AutoUpdate update;
    C_GraphWindow graph;

private:
    HWND m_window = nullptr;
    HWND m_progress = nullptr;
};

// Dispatches whatever messages wait for this thread, as the main window's loop would.
inline void PumpPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Answers the page's message boxes from a second thread while the test's thread sits in
// their modal loops, and notes what each said.
class C_BoxAnswerer {
public:
    explicit C_BoxAnswerer(int answer) : m_answer(answer)
    {
        m_thread = CreateThread(nullptr, 0, &C_BoxAnswerer::Run, this, 0, nullptr);
    }
    ~C_BoxAnswerer()
    {
        m_stop = true;
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    std::vector<std::string> Texts()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_texts;
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        C_BoxAnswerer* a = static_cast<C_BoxAnswerer*>(self);
        while (!a->m_stop) {
            if (HWND box = FindWindowA("#32770", "Quellmor test")) {
                char text[1024] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                {
                    std::lock_guard<std::mutex> hold(a->m_lock);
                    a->m_texts.push_back(text);
                }
                PostMessageA(box, WM_COMMAND, a->m_answer, 0);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                while (IsWindow(box) && !a->m_stop)
                    Sleep(10);
            }
            Sleep(10);
        }
        return 0;
    }
    int m_answer;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<std::string> m_texts;
    HANDLE m_thread = nullptr;
};
