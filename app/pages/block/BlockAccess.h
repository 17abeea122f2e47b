// The BlockAccess page: the list of raw devices and CD tracks, the access pattern, the
// test range and options, and the run on the page's worker thread. The worker changes the
// page's state only through synchronous messages, so every control is touched on the GUI
// thread except for texts and message boxes.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <string>
#include "app/framework/Hyperlink.h"
#include "app/framework/ListView.h"
#include "app/framework/TextLabel.h"
#include "app/pages/Page.h"
#include "app/pages/block/model/BlockRules.h"
#include "app/pages/block/model/WriteTarget.h"
#include "core/engines/Engine.h"
#include "core/Thread.h"

class C_Device;
class C_DeviceList;

class C_BlockAccess : public C_Page, private I_EngineEvents {
public:
    C_BlockAccess(uint32_t& flags, I_SettingsStore& settings, I_ProgressBarOwner& progressBar,
                  C_GraphWindow& graphWindow);
    static C_Page* Create(const S_PageServices& services);
    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnDestroy() override;

    // The device list's notification: event 0 adds the record's row, event 1 removes it.
    static void DeviceNotify(uint32_t event, C_Device* device, uintptr_t zero, void* page);
    // Reads the fields, clamps them to the selected record and shows the buffer size.
    void ReadAndCheckValues();
    // Replaces what a refresh runs over the device list (tests script what it finds).
    void UseRefresh(void (*refresh)(C_DeviceList&)) { m_pfnRefresh = refresh; }

private:
    enum : UINT { kTimerProgress = 0 };

    // Device list (BlockDevices.cpp).
    void SetUpDeviceList();
    void AddRow(C_Device* device);
    void RemoveRow(C_Device* device);
    void RefreshDevices();
    void OnSelect(int item);
    // Takes the row's record without loading its range into the fields.
    C_Device* TakeRow(int item);
    void ReleaseDeviceList();
    static void OnListKey(WORD key, void* self);
    static void OnListSelection(int item, int selected, void* self);

    // Controls and commands (BlockAccess.cpp).
    void EnableIdle();
    void EnableRunning();
    void StartRun(uint32_t readOrWriteBit); // kFlagRunReads or kFlagRunWrites
    void Browse();

    // The run (BlockWorker.cpp).
    static uint32_t WorkerEntry(void* self, uintptr_t);
    void WorkerThread();
    int ConfirmWrite(C_Device& device);
    // A message box owned by the page, shown by the page's thread; the button pressed.
    // From the worker: 1 enters the running state, 0 leaves it (closeGraph 1 then also closes
    // the graph window).
    void RequestRunState(int running, int closeGraph);
    void ApplyRunState(int running, int closeGraph);
    void OnProgressTimer();
    // The block engine's events, on the worker thread.
    int IsStopRequested() override;
    void Begin(uint64_t accesses) override;
    void Progress(uint64_t done) override;
    void RatePoint(uint64_t accesses, uint64_t bytes, uint64_t microseconds) override;
    void AccessData(const void* data, uint32_t bytes) override;
    void Report(const std::string& message);

    C_Hyperlink m_help;
    C_TextLabel m_speed;
    C_ListView m_list;
    HIMAGELIST m_hImages = nullptr;
    C_Device* m_pDevice = nullptr; // the selected row's record
    // What a run works on, copied on the GUI thread when Read or Write is pressed: the worker
    // reads neither the live selection nor the flags nor the fields.
    struct C_RunPlan {
        C_Device* device = nullptr;
        uint32_t flags = 0;
        std::string dataFile;
        char windowsLetter = 0;
        std::string systemIdentity;
    };
    C_RunPlan m_plan;
    void (*m_pfnRefresh)(C_DeviceList&) = nullptr;
    bool m_bRefreshing = false; // selections made by the refresh itself
    C_BlockValues m_values;     // as the last check left them
    bool m_bChecking = false;   // the check rewrites fields that report their change
    bool m_bRunning = false;    // controls in the running state
    // The run under way: what its events need, set by the worker before the engine starts.
    struct C_RunShape {
        uint32_t bufferBytes = 0;
        uint32_t calcEvery = 1;
        bool graph = false; // a linear run with the graph
        uint64_t graphScale = 1;
    };
    C_RunShape m_shape;
    // Read meanwhile by the progress timer.
    std::atomic<uint64_t> m_count{0};
    std::atomic<uint64_t> m_loopMax{0};
    C_Thread m_worker;
    uint32_t& m_flags;
    I_SettingsStore& m_settings;
    I_ProgressBarOwner& m_progressBar;
    C_GraphWindow& m_graphWindow;
};
