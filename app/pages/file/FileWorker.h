// The FileAccess test worker: the optional file searches, then the write, pre-read and read
// passes over one file. It reaches files only through the class library; everything it
// shows or asks goes through the page's side below, which tests replace.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include "app/pages/file/model/BiggestFile.h"
#include "app/pages/file/model/FileRules.h"

// What a run does, copied from the page when the user starts it: the worker reads this, never
// the application's flag word or a control while it runs.
struct C_FileRunPlan {
    uint32_t flags = 0; // the flag word's requests and transfer options
    std::string path, sizeField, blockSizeField, preReadSizeField;
};

class C_FileAccessWorker {
public:
    virtual ~C_FileAccessWorker() = default;

    // Test parameters. The progress timer reads the first two from the GUI thread.
    std::atomic<uint64_t> ullTestPosition{0};
    std::atomic<uint64_t> ullTestSize{0};
    uint32_t dwTestBlockSize = 65536;
    uint64_t ullPreReadSize = 3145728;
    std::string strTestFile; // at most kMaxTestPath characters

    // On the page's thread, before the worker starts: copies the run plan, and takes the
    // read and write requests out of the flag word.
    void TakeRunPlan();
    // The thread function: searches and passes as the plan requests them; always 0.
    uint32_t WorkerThread();
    // One pass; 1 when every block was transferred (and a write flushed).
    int WorkerTestFunction(int pass);
    // Makes the biggest file below the test path's folder the test file; 0 after a message.
    int BiggestFileSearch();
    // Makes the file lying farthest out on the CD or DVD the test file; 0 after a message.
    int FastestFileSearch();
    // Shows the test path and, when the file exists, makes its size the test size.
    // flag 1 only while the page opens (network and device paths are not touched then).
    void UpdateFileFields(int flag);

protected:
    enum Field { kFieldPath, kFieldSize, kFieldBlockSize, kFieldPreReadSize };
    struct C_VolumeSpace {
        uint64_t callerFree = 0, total = 0, totalFree = 0;
    };

    // The application's flag word.
    virtual uint32_t& WorkerFlags() = 0;
    virtual std::string GetField(Field field) = 0;
    virtual void SetField(Field field, const std::string& text) = 0;
    virtual void SetResultText(const std::string& text) = 0;
    // 1 idle, 0 running.
    virtual void EnableControls(int state) = 0;
    // An error box, and a Yes/No question (1 for Yes).
    virtual void Tell(const std::string& text) = 0;
    virtual int Ask(const std::string& text) = 0;
    // The open or save dialog; file holds the proposed name and receives the choice.
    virtual int ChooseFile(int save, const std::string& title, const char* filter, const std::string& folder,
                           std::string& file) = 0;
    // The progress bar and its 40 ms timer.
    virtual void StartProgress() = 0;
    virtual void ResetProgress() = 0;
    virtual void StopProgress() = 0;
    // The folder tree and file list re-read, and a list entry selected by its text.
    virtual void RefreshBrowser() = 0;
    virtual void SelectListEntry(const std::string& text) = 0;
    virtual int IsStopRequested() = 0;
    // Volume facts of a root ("X:\" or a share path).
    virtual bool IsCdromRoot(const std::string& root) = 0;
    virtual bool GetVolumeSpace(const std::string& root, C_VolumeSpace& space) = 0;
    virtual uint32_t GetSectorSize(const std::string& root) = 0; // 2048 when unknown
    virtual I_DirectoryWalk& DirectoryWalk() = 0;
    // The drive's side of the fastest-file search (SCSI commands to the drive); it asks
    // IsStopRequested between sector reads and ends with 0 and no message once stopped.
    virtual int SearchFastestFile(char drive, uint64_t minimum, std::string& path, std::string& message);

private:
    class C_PassEvents;
    void RunRequests();
    // Takes a path as the test file, refusing one that does not fit.
    bool TakeTestPath(const std::string& path);
    bool ChoosePath(int pass);
    bool PrepareWritePath(const C_VolumeSpace& space);
    bool AgreeBlockSize(const std::string& root);
    // The path field, and the file's own size when asked and the file exists (true then).
    bool ShowTestFile(bool ownSize);
    void ShowTestSize();
    // The fields after the run changed the test file, from the worker.
    void UpdateFieldsFromRun();

    C_FileRunPlan m_plan;
};
