// The FileAccess page: folder tree and file list, test file, sizes and transfer options,
// Read, Write and Stop. The passes run on the page's worker; what they change on the page
// is handed to the GUI thread by synchronous messages.
#pragma once
#include "app/framework/ShellBrowser.h"
#include "app/pages/Page.h"
#include "app/pages/file/DirectoryWalk.h"
#include "app/pages/file/FileWorker.h"
#include "core/Thread.h"

class C_FileAccess : public C_Page, public C_FileAccessWorker {
public:
    C_FileAccess(AppValues& values, I_SettingsStore& settings, I_ProgressBarOwner& progressBar);
    static C_Page* Create(const S_PageServices& services);
    ~C_FileAccess() override;

    INT_PTR OnInitDialog() override;
    INT_PTR OnEnd(INT_PTR result) override;
    INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnDestroy() override;

    void EnableControls(int state) override;
    void SetExpertDefaults();
    // Starts the worker for the requests set in the flag word, unless one runs.
    void StartWorker();
    bool IsWorkerRunning();

protected:
    // The worker's side of the page.
    uint32_t& WorkerFlags() override { return m_values.flags; }
    std::string GetField(Field field) override;
    void SetField(Field field, const std::string& text) override;
    void SetResultText(const std::string& text) override;
    void Tell(const std::string& text) override;
    int Ask(const std::string& text) override;
    int ChooseFile(int save, const std::string& title, const char* filter, const std::string& folder,
                   std::string& file) override;
    void StartProgress() override;
    void ResetProgress() override;
    void StopProgress() override;
    void RefreshBrowser() override;
    void SelectListEntry(const std::string& text) override;
    int IsStopRequested() override { return m_worker.IsStopRequested(); }
    bool IsCdromRoot(const std::string& root) override;
    bool GetVolumeSpace(const std::string& root, C_VolumeSpace& space) override;
    uint32_t GetSectorSize(const std::string& root) override;
    I_DirectoryWalk& DirectoryWalk() override { return m_walk; }

private:
    // A change of the page made on the GUI thread, at once when called there.
    void OnPage(const std::function<void()>& change);
    void ApplyEnable(int state);
    void ShowExpertControls(bool expert);
    void OnKey(UINT key);
    void OnContextMenu();
    void DeleteSelectedFile();
    void StoreValues();
    void TakeBrowserPath(int file);
    static uint32_t WorkerEntry(void* self, uintptr_t);
    static void OnFolderSelected(void* self);
    static void OnFileSelected(void* self);
    static void OnFileActivated(void* self);

    C_Thread m_worker;
    C_ShellBrowser m_browser;
    C_SystemDirectoryWalk m_walk;
    HMENU m_hMenu = nullptr;
    HFONT m_hResultFont = nullptr;
    bool m_bRunning = false; // the controls show a run, from the worker's first call to its last
    AppValues& m_values;     // the flag word and the file test parameters the application stores
    I_SettingsStore& m_settings;
    I_ProgressBarOwner& m_progressBar;
};
