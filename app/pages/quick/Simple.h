// The QuickAccess page: drive list, file and block size, Start and Stop, four results.
// The run lives on the page's worker thread; the GUI thread keeps the timers, the buttons
// and every change of a control's state, which the worker asks for by synchronous messages.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <string>
#include <vector>
#include "app/framework/Hyperlink.h"
#include "app/framework/ToolTips.h"
#include "app/pages/Page.h"
#include "app/pages/common/DriveList.h"
#include "app/pages/quick/model/RandomLive.h"
#include "app/pages/quick/model/QuickRules.h"
#include "core/Thread.h"
#include "core/Timer.h"

class C_Simple : public C_Page {
public:
    C_Simple(uint32_t& flags, I_ProgressBarOwner& progressBar);
    static C_Page* Create(const S_PageServices& services);
    ~C_Simple() override;

    INT_PTR OnInitDialog() override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnDestroy() override;

    // The controls' state: set by the worker's first and last requests, read on the GUI thread.
    bool IsTestRunning() const { return m_bRunning; }

protected:
    HFONT m_hResultFont = nullptr;
    C_Hyperlink m_compare;
    C_DriveList m_drives;
    C_ToolTips m_tips;

private:
    enum : uint32_t { kPhaseSeqRead = 0x1, kPhaseSeqWrite = 0x2, kPhaseRndRead = 0x4, kPhaseRndWrite = 0x8 };
    enum : UINT { kTimerProgress = 1, kTimerSpeed = 2 };

    // Refused while a run goes on.
    void RefreshDriveList();

    // The run (SimpleRun.cpp).
    void StartRun();
    static uint32_t RunThread(void* self, uintptr_t);
    void Run();
    void TestDrive(const C_QuickPlannedDrive& drive, int skipRandom, std::string results[4], void* buffer,
                   uint32_t blockSize);
    int WorkerDoSpeedtest(int direction, const char* path, void* buffer, uint32_t blockSize,
                          int usbSpeedClass, std::string& text, std::string& hint,
                          std::atomic<uint32_t>& lastMiB);
    int WorkerDoAccesstest(int direction, const char* path, void* buffer, std::string& text);
    void SetPhase(uint32_t phase);

    // Asked of the GUI thread by the worker (SimpleView.cpp).
    void RequestRunState(int running);
    // tip: the field's tooltip, where it has one (the random results).
    void RequestResult(int id, const std::string& text, uint32_t colour, const std::string& tip = "");
    void ApplyRunState(int running);
    void ApplyResult(int id, const char* text, uint32_t colour, const char* tip = "");
    void OnProgressTimer();
    void OnSpeedTimer();
    INT_PTR ColourResult(HDC dc, HWND control);
    static void OnLinkEvent(int event, void* self);

    // A pass's failure told to the user, and whether the running pass should stop.
    void Report(const std::string& text);
    int IsStopRequested();

    CRITICAL_SECTION m_lock;
    uint32_t m_phase = 0; // under m_lock
    // Taken on the GUI thread before the worker starts; the worker only reads it.
    C_QuickRunPlan m_plan;
    // The running pass's file size, read by the progress timer.
    std::atomic<uint64_t> m_fileSize{0};
    std::atomic<uint64_t> m_bytesDone{0};
    C_Timer m_seqTimer;
    // The random passes' events: the live figures the display timers read, and the stop.
    class C_RandomEvents : public C_RandomLive {
    public:
        explicit C_RandomEvents(C_Simple& page) : m_page(page) {}
        int IsStopRequested() override;

    private:
        C_Simple& m_page;
    };
    C_RandomEvents m_random{*this};
    C_Thread m_worker;
    // Stop ends the running pass; the next selected drive is still tested. The worker's own
    // stop request (page end) ends them all.
    std::atomic<uint32_t> m_stopPass{0};
    std::atomic<uint32_t> m_lastReadMiB{0}, m_lastWriteMiB{0};
    std::string m_deviceText; // written by the worker, read when idle
    uint32_t m_deviceClass = 0;
    std::atomic<uint32_t> m_colours[4]; // seq write, rnd write, seq read, rnd read
    bool m_bRunning = false;
    uint32_t& m_flags;
    I_ProgressBarOwner& m_progressBar;
};
