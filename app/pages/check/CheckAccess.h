// The CheckAccess page: does a drive keep what it is given? One drive of the list is filled with
// stamped test files and read back, with the write and the read curve drawn as the check goes,
// then the verdict in words. The check runs on the page's worker; the GUI thread keeps the timers,
// the buttons and every change of a control, which the worker asks for through OnPageThread.
#pragma once
#include <windows.h>
#include <atomic>
#include <string>
#include "app/pages/Page.h"
#include "app/pages/PageServices.h"
#include "app/pages/check/model/CheckPageRules.h"
#include "app/pages/common/DriveList.h"
#include "core/Thread.h"
#include "core/engines/CheckEngine.h"
#include "graph/Graph.h"

class C_CheckAccess : public C_Page {
public:
    C_CheckAccess(I_SettingsStore& settings, I_ProgressBarOwner& progressBar);
    static C_Page* Create(const S_PageServices& services);
    ~C_CheckAccess() override;

    INT_PTR OnInitDialog() override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnDestroy() override;

    // The controls' state: set by the worker's first and last requests, read on the GUI thread.
    bool IsCheckRunning() const { return m_bRunning; }
    // The curves as drawn: series 0 the write pass, 1 the read pass, x the chunk.
    const C_GRAPH& Graph() const { return m_graph; }
    // What the last check found; the worker fills it, so it is read only while no check runs.
    const C_CheckOutcome& LastOutcome() const { return m_outcome; }

private:
    enum : UINT { kTimerProgress = 1, kTimerStatus = 2 };
    enum : int { kPassNone = 0, kPassWrite = 1, kPassRead = 2 };
    // Colours as the system packs them: red in the low byte.
    enum : uint32_t { kColourIntact = 0x00A000, kColourBad = 0x0000C0, kColourNeutral = 0x404040 };

    // What one check works on, taken from the controls when Start is pressed.
    struct C_CheckPlan {
        C_DriveEntry entry;
        std::string folder; // "E:\"
        uint64_t limitBytes = 0;
        int keepFiles = 0;
        int usbSpeedClass = -1;
    };

    void StartCheck();
    void StopCheck();
    void RefreshDriveList();
    void SelectLetter(char letter);
    static uint32_t RunThread(void* self, uintptr_t);
    // The worker's side (CheckWorker.cpp).
    void Run();
    void ShowOutcome(const C_EngineResult& result);
    int IsStopRequested() const { return m_stop.load() || m_worker.IsStopRequested(); }

    // Asked of the GUI thread by the worker.
    void RequestRunState(int running);
    void RequestText(int id, const std::string& text);
    void ApplyRunState(int running);
    void OnProgressTimer();
    void OnStatusTimer();
    INT_PTR ColourText(HDC dc, HWND control);

    I_SettingsStore& m_settings;
    I_ProgressBarOwner& m_progressBar;
    C_DriveList m_drives;
    C_GRAPH m_graph;
    C_Thread m_worker;
    C_CheckPlan m_plan; // written on the GUI thread before the worker starts
    C_CheckOutcome m_outcome;
    std::atomic<uint32_t> m_stop{0};
    // The pass under way and how far it is, for the timers.
    std::atomic<int> m_pass{kPassNone};
    std::atomic<uint64_t> m_passBytes{0};
    std::atomic<uint64_t> m_passDone{0};
    std::atomic<uint64_t> m_lastRate{0}; // bytes per second of the last chunk
    std::atomic<uint32_t> m_verdictColour{0};
    HFONT m_hResultFont = nullptr;
    bool m_bRunning = false;
};
