// The FileAccess worker on real files in a temporary folder, with the page replaced by a
// recorder and failures injected through the C_File test hook.
#include <gtest/gtest.h>
#include <windows.h>
#include <deque>
#include <map>
#include "app/pages/file/FileWorker.h"
#include "core/File.h"
#include "core/FileHook.h"
#include "core/System.h"
#include "core/Random.h"
#include "core/Timer.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"

namespace {

const uint32_t kRead = 0x2, kWrite = 0x4, kPreRead = 0x8, kNoBuffer = 0x10, kSave = 0x20, kBiggest = 0x40,
               kThrough = 0x100, kFastest = 0x200000;

class RecordingPage : public C_FileAccessWorker {
public:
    uint32_t flags = 0;
    std::map<int, std::string> fields;
    std::vector<std::string> told, asked, dialogTitles, results;
    std::deque<int> answers; // Yes = 1; questions beyond the list are answered Yes
    std::string dialogChoice;
    bool dialogOk = false;
    bool cdrom = false;
    uint64_t total = 100ull << 30;
    uint32_t sector = 512;
    std::vector<int> enables;
    int refreshes = 0;
    std::string selected;
    int stopAfterReads = -1; // the stop request rises after that many reads or writes
    int transfers = 0;

    int flagWordUses = 0;
    uint32_t& WorkerFlags() override
    {
        ++flagWordUses;
        return flags;
    }
    std::string GetField(Field f) override { return fields[f]; }
    void SetField(Field f, const std::string& text) override { fields[f] = text; }
    void SetResultText(const std::string& text) override { results.push_back(text); }
    void EnableControls(int state) override { enables.push_back(state); }
    void Tell(const std::string& text) override { told.push_back(text); }
    int Ask(const std::string& text) override
    {
        asked.push_back(text);
        if (answers.empty())
            return 1;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    int ChooseFile(int, const std::string& title, const char*, const std::string&, std::string& file) override
    {
        dialogTitles.push_back(title);
        if (dialogOk)
            file = dialogChoice;
        return dialogOk;
    }
    void StartProgress() override {}
    void ResetProgress() override {}
    void StopProgress() override {}
    void RefreshBrowser() override { ++refreshes; }
    void SelectListEntry(const std::string& text) override { selected = text; }
    int IsStopRequested() override { return stopAfterReads >= 0 && transfers >= stopAfterReads; }
    bool IsCdromRoot(const std::string&) override { return cdrom; }
    bool GetVolumeSpace(const std::string&, C_VolumeSpace& space) override
    {
        space.callerFree = space.totalFree = total / 2;
        space.total = total;
        return true;
    }
    uint32_t GetSectorSize(const std::string&) override { return sector; }
    I_DirectoryWalk& DirectoryWalk() override { return *walk; }
    int SearchFastestFile(char drive, uint64_t minimum, std::string& path, std::string& message) override
    {
        fastestDrive = drive;
        fastestMinimum = minimum;
        path = fastestResult;
        message = fastestResult.empty() ? "no file" : "";
        return !fastestResult.empty();
    }
    I_DirectoryWalk* walk = nullptr;
    std::string fastestResult;
    char fastestDrive = 0;
    uint64_t fastestMinimum = 0;

    // What the page does when the user starts: the plan is taken, then the worker runs.
    uint32_t Run()
    {
        TakeRunPlan();
        return WorkerThread();
    }
    std::string LastResult() const { return results.empty() ? "(none)" : results.back(); }
    void Prepare(const std::string& path, const char* sizeMiB, const char* block)
    {
        fields[kFieldPath] = path;
        fields[kFieldSize] = sizeMiB;
        fields[kFieldBlockSize] = block;
        fields[kFieldPreReadSize] = "3";
    }
};

// Counts transfers, fakes reads and writes when asked (so big files cost no time), stops
// or fails on a chosen request.
struct Injector {
    RecordingPage* page = nullptr;
    bool fakeTransfers = false;
    int failOn = -1; // 0-based transfer that fails
    uint32_t failError = kErrorDiskFull;
    bool failFlush = false;
    int sleepMs = 0;
    uint32_t clockStep = 0; // with a step, the timers read a clock that moves only by it per transfer
    uint32_t clock = 0;
    int reads = 0, writes = 0, flushes = 0;

    static uint32_t Clock(void* self) { return ((Injector*)self)->clock; }

    static int Hook(C_FileHookCall& call, void* self)
    {
        Injector& me = *(Injector*)self;
        if (call.op == kHookFlush) {
            ++me.flushes;
            if (me.failFlush) {
                SetLastErrorCode(kErrorWriteFault);
                return 0;
            }
            return -1;
        }
        if (call.op != kHookRead && call.op != kHookWrite)
            return -1;
        const int index = call.op == kHookRead ? me.reads++ : me.writes++;
        if (me.page)
            me.page->transfers = index + 1;
        if (me.sleepMs)
            Sleep(me.sleepMs);
        me.clock += me.clockStep;
        if (index == me.failOn) {
            SetLastErrorCode(me.failError);
            return 0;
        }
        if (me.fakeTransfers) {
            if (call.done)
                *call.done = call.size;
            return 1;
        }
        return -1;
    }
};

struct HookScope {
    explicit HookScope(Injector& injector)
    {
        SetFileHook(&Injector::Hook, &injector);
        if (injector.clockStep)
            SetClockHook(&Injector::Clock, &injector);
    }
    ~HookScope()
    {
        SetFileHook(nullptr, nullptr);
        SetClockHook(nullptr, nullptr);
    }
};

void MakeSizedFile(const std::string& path, uint64_t size)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)size;
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
}

uint64_t SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return UINT64_MAX;
    return ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

} // namespace

TEST(FileWorker, ReadTakesOneRequestPerWholeBlockAndRatesTheBytesMoved)
{
    TestFolder folder("fw_count");
    const std::string path = folder.File("big.bin");
    MakeSizedFile(path, (100ull << 20) + 1000);
    RecordingPage page;
    page.Prepare(path, "1", "65536");
    page.flags = kRead;
    Injector injector;
    injector.page = &page;
    injector.fakeTransfers = true;
    {
        HookScope hook(injector);
        EXPECT_EQ(page.Run(), 0u);
    }
    EXPECT_EQ(injector.reads, 1600);
    EXPECT_EQ(page.ullTestPosition.load(), 1600ull * 65536);
    EXPECT_EQ(page.ullTestSize.load(), (100ull << 20) + 1000);
    EXPECT_EQ(page.fields[1], "100"); // the File Size field shows the file's own size
    EXPECT_TRUE(page.told.empty()) << page.told[0];
    EXPECT_FALSE(page.LastResult().empty());
    EXPECT_EQ(page.flags & (kRead | kWrite), 0u);
    EXPECT_EQ(page.enables, (std::vector<int>{0, 1}));
}

TEST(FileWorker, RateIsTheBytesMovedOverTheTimeTaken)
{
    // 2.5 MiB in blocks of 1 MiB: two blocks are read, the half block at the end never is.
    TestFolder folder("fw_rate");
    const std::string path = folder.File("odd.bin");
    MakeSizedFile(path, (5ull << 20) / 2);
    RecordingPage page;
    page.Prepare(path, "1", "1048576");
    page.flags = kRead;
    Injector injector;
    injector.fakeTransfers = true;
    injector.clockStep = 250;
    {
        HookScope hook(injector);
        page.Run();
    }
    EXPECT_EQ(injector.reads, 2);
    EXPECT_TRUE(page.told.empty()) << page.told[0];
    // 2 MiB in 500 ms; the size asked for would give 5.0.
    EXPECT_EQ(page.LastResult(), "4.0 MByte/sec");
}

TEST(FileWorker, StopEndsThePassAfterTheCurrentBlockWithoutAMessage)
{
    TestFolder folder("fw_stop");
    const std::string path = folder.File("big.bin");
    MakeSizedFile(path, 64ull << 20);
    RecordingPage page;
    page.Prepare(path, "1", "65536");
    page.stopAfterReads = 3;
    Injector injector;
    injector.page = &page;
    injector.fakeTransfers = true;
    HookScope hook(injector);
    page.flags = kRead;
    page.strTestFile = path;
    page.TakeRunPlan();
    EXPECT_EQ(page.WorkerTestFunction(PASS_READ), 0);
    EXPECT_EQ(injector.reads, 3);
    EXPECT_TRUE(page.told.empty());
    EXPECT_EQ(page.LastResult(), "");

    // A stopped write cancels the read that was to follow.
    injector.reads = injector.writes = 0;
    page.transfers = 0;
    page.Prepare(folder.Path(), "8", "65536");
    page.flags = kRead | kWrite;
    page.Run();
    EXPECT_EQ(injector.writes, 3);
    EXPECT_EQ(injector.reads, 0);
    EXPECT_EQ(page.flags & (kRead | kWrite), 0u);
}

TEST(FileWorker, WriteFailureNamesTheBlockAndPosition)
{
    TestFolder folder("fw_wfail");
    RecordingPage page;
    page.Prepare(folder.Path(), "4", "65536");
    page.flags = kWrite | kRead;
    Injector injector;
    injector.failOn = 4;
    {
        HookScope hook(injector);
        page.Run();
    }
    const std::string path = folder.File("_TestFile");
    ASSERT_EQ(page.told.size(), 1u);
    char errorText[260] = "";
    GetWin32ErrorText(kErrorDiskFull, errorText);
    EXPECT_EQ(page.told[0], "Can't write full test file \xBB" + path + "\xAB\n\nWin32Error: 112 - " +
                                std::string(errorText) +
                                " - BlockSize: 0x10000 - FilePosition 0x40000 - FileSize 0x400000");
    EXPECT_EQ(injector.reads, 0); // the read after a failed write does not run
    EXPECT_EQ(page.LastResult(), "");
    EXPECT_EQ(page.refreshes, 1); // the browser shows the file even so
}

TEST(FileWorker, FlushFailureMakesTheWriteIncomplete)
{
    TestFolder folder("fw_flush");
    RecordingPage page;
    page.Prepare(folder.Path(), "2", "65536");
    Injector injector;
    injector.failFlush = true;
    HookScope hook(injector);
    page.flags = kWrite;
    page.strTestFile = folder.Path();
    page.ullTestSize = 2ull << 20;
    page.TakeRunPlan();
    EXPECT_EQ(page.WorkerTestFunction(PASS_WRITE), 0);
    EXPECT_EQ(injector.writes, 32);
    EXPECT_EQ(injector.flushes, 1);
    EXPECT_EQ(page.told, (std::vector<std::string>{"Can't flush Filebuffers.\n"}));
    EXPECT_EQ(page.LastResult(), "");
}

TEST(FileWorker, WriteMakesAnUnderscoreFileOfTheChosenSize)
{
    TestFolder folder("fw_write");
    RecordingPage page;
    page.Prepare(folder.Path(), "3", "65536");
    page.flags = kWrite | kThrough;
    page.Run();
    const std::string path = folder.File("_TestFile");
    EXPECT_EQ(SizeOf(path), 3ull << 20);
    EXPECT_TRUE(page.told.empty());
    EXPECT_NE(page.LastResult(), "");
    EXPECT_EQ(page.fields[0], path);
    EXPECT_EQ(page.selected, "_TestFile");

    // A name without the underscore is asked about; No writes nothing.
    const std::string plain = folder.File("test.bin");
    page.fields[0] = plain;
    page.answers = {0};
    page.flags = kWrite;
    page.Run();
    ASSERT_EQ(page.asked.size(), 1u);
    EXPECT_EQ(page.asked[0], MsgRenameForWrite("test.bin"));
    EXPECT_EQ(SizeOf(folder.File("_test.bin")), UINT64_MAX);
    EXPECT_EQ(SizeOf(plain), UINT64_MAX);
    // Yes writes _test.bin, and the list entry without the extension is selected.
    page.answers = {1};
    page.flags = kWrite;
    page.Run();
    EXPECT_EQ(SizeOf(folder.File("_test.bin")), 3ull << 20);
    EXPECT_EQ(page.selected, "_test");

    // Size 0 is refused before anything is opened.
    page.told.clear();
    page.fields[0] = folder.File("_zero.bin");
    page.fields[1] = "0";
    page.ullTestSize = 0;
    page.flags = kWrite;
    page.Run();
    EXPECT_EQ(page.told, (std::vector<std::string>{"Please enter first desired test file size."}));
    EXPECT_EQ(SizeOf(folder.File("_zero.bin")), UINT64_MAX);
}

TEST(FileWorker, SaveFileReceivesExactlyTheBytesRead)
{
    TestFolder folder("fw_save");
    std::string content((3u << 20) + 100, '\0');
    FillRandom(&content[0], (uint32_t)content.size(), 0);
    const std::string path = folder.File("data.bin"), saved = folder.File("_Read_Data.bin");
    ASSERT_TRUE(WriteWholeFile(path, content));
    RecordingPage page;
    page.Prepare(path, "1", "65536");
    page.flags = kRead | kSave;
    page.dialogOk = true;
    page.dialogChoice = saved;
    page.Run();
    EXPECT_TRUE(page.told.empty());
    EXPECT_EQ(page.dialogTitles, (std::vector<std::string>{"select file storing the read data"}));
    EXPECT_TRUE(ReadWholeFile(saved) == content.substr(0, 3u << 20)); // whole blocks only
}

TEST(FileWorker, MissingFileAsksForOneAndCancelEndsQuietly)
{
    TestFolder folder("fw_missing");
    RecordingPage page;
    const std::string missing = folder.File("gone.bin");
    page.Prepare(missing, "1", "65536");
    page.flags = kRead;
    page.Run();
    EXPECT_EQ(page.dialogTitles,
              (std::vector<std::string>{"The test file \xBB" + missing + "\xAB doesn't exist."}));
    EXPECT_TRUE(page.told.empty());
    EXPECT_EQ(page.LastResult(), "");

    // A small file found through the dialog is questioned before it is read.
    const std::string small = folder.File("small.bin");
    MakeSizedFile(small, 512 * 1024);
    page.dialogOk = true;
    page.dialogChoice = small;
    page.answers = {0};
    page.flags = kRead;
    page.Run();
    ASSERT_EQ(page.asked.size(), 1u);
    EXPECT_EQ(page.asked[0], MsgSmallFile(512 * 1024));
    EXPECT_EQ(page.strTestFile, small);
}

TEST(FileWorker, UnbufferedBlockSizeIsProposedAsASectorMultiple)
{
    TestFolder folder("fw_sector");
    const std::string path = folder.File("f.bin");
    MakeSizedFile(path, 1u << 20);
    RecordingPage page;
    page.Prepare(path, "1", "1000");
    page.flags = kRead | kNoBuffer;
    Injector injector;
    injector.fakeTransfers = true;
    HookScope hook(injector);
    page.Run();
    ASSERT_EQ(page.asked.size(), 1u);
    EXPECT_EQ(page.asked[0], MsgBlockNotSectorMultiple(1000, 512, 1024));
    EXPECT_EQ(page.fields[2], "1024");
    EXPECT_EQ(injector.reads, 1024);

    // No ends the pass before any transfer.
    injector.reads = 0;
    page.fields[2] = "1000";
    page.answers = {0};
    page.flags = kRead | kNoBuffer;
    page.Run();
    EXPECT_EQ(injector.reads, 0);
}

TEST(FileWorker, OpticalMediaGetTheSpeedSuffixAndAPreRead)
{
    TestFolder folder("fw_dvd");
    const std::string path = folder.File("movie.vob");
    MakeSizedFile(path, 8u << 20);
    RecordingPage page;
    page.Prepare(path, "1", "65536");
    page.cdrom = true;
    page.total = 4480ull << 20;
    Injector injector;
    injector.fakeTransfers = true;
    injector.sleepMs = 1;
    HookScope hook(injector);
    page.flags = kRead | kPreRead;
    page.Run();
    // 3 MiB of pre-read, then the whole file.
    EXPECT_EQ(injector.reads, 48 + 128);
    EXPECT_NE(page.LastResult().find("x dvd"), std::string::npos) << page.LastResult();

    page.total = 700ull << 20;
    page.flags = kRead;
    injector.reads = 0;
    page.Run();
    EXPECT_EQ(injector.reads, 128);
    EXPECT_NE(page.LastResult().find("x cd-rom"), std::string::npos) << page.LastResult();
}

TEST(FileWorker, PathsTooLongAreRefusedNotCut)
{
    RecordingPage page;
    const std::string longPath = "C:\\" + std::string(280, 'x');
    page.Prepare(longPath, "1", "65536");
    page.flags = kRead;
    Injector injector;
    HookScope hook(injector);
    page.Run();
    EXPECT_EQ(page.told, (std::vector<std::string>{MsgPathTooLong(longPath)}));
    EXPECT_TRUE(page.dialogTitles.empty());
    EXPECT_EQ(injector.reads, 0);
    EXPECT_EQ(page.enables, (std::vector<int>{0, 1}));

    // A write into a folder whose "_TestFile" would pass the limit is refused as well.
    TestFolder folder("fw_long");
    const std::string nearLimit =
        folder.Path() + "\\" + std::string(kMaxTestPath - folder.Path().size() - 3, 'd');
    page.told.clear();
    page.Prepare(nearLimit + "\\", "1", "65536");
    page.flags = kWrite;
    page.Run();
    ASSERT_EQ(page.told.size(), 1u);
    EXPECT_EQ(page.told[0], MsgPathTooLong(nearLimit + "\\_TestFile"));
}

namespace {
struct OneFolder : I_DirectoryWalk {
    std::vector<C_DirEntry> entries;
    bool List(const std::string& folder, std::vector<C_DirEntry>& out) override
    {
        if (folder != "D:\\data\\")
            return false;
        out = entries;
        return true;
    }
    std::string FolderIdentity(const std::string& folder) override { return folder; }
};
} // namespace

TEST(FileWorker, SearchesRunBeforeTheReadAndFeedEachOther)
{
    OneFolder walk;
    C_DirEntry a, b;
    a.name = "a.bin";
    a.size = 5000;
    b.name = "b.bin";
    b.size = 9000;
    walk.entries = {a, b};
    RecordingPage page;
    page.walk = &walk;
    page.Prepare("D:\\data", "1", "65536");
    page.flags = kRead | kBiggest | kFastest;
    page.Run();
    // The biggest file's size is the fastest-file search's minimum; its failure ends the run.
    EXPECT_EQ(page.strTestFile, "D:\\data\\b.bin");
    EXPECT_EQ(page.fastestDrive, 'D');
    EXPECT_EQ(page.fastestMinimum, 9000u);
    EXPECT_EQ(page.told, (std::vector<std::string>{"no file"}));
    EXPECT_TRUE(page.dialogTitles.empty());
    EXPECT_EQ(page.flags & kRead, 0u);

    // A file path without a folder part is not a base to search from.
    page.told.clear();
    page.strTestFile = "nofolder.bin";
    TestFolder folder("fw_base");
    SetCurrentDirectoryA(folder.Path().c_str());
    MakeSizedFile(folder.File("nofolder.bin"), 10);
    EXPECT_EQ(page.BiggestFileSearch(), 0);
    EXPECT_EQ(page.told, (std::vector<std::string>{"Please specify base search path."}));
    SetCurrentDirectoryA("C:\\");
}

TEST(FileWorker, UpdateFileFieldsShowsTheFilesOwnSizeUnlessTheCommandLineGaveOne)
{
    TestFolder folder("fw_fields");
    const std::string file = folder.File("f.bin");
    MakeSizedFile(file, (700ull << 20) + 5);
    RecordingPage page;
    page.fields[1] = "10";

    page.strTestFile = file;
    page.UpdateFileFields(0);
    EXPECT_EQ(page.fields[0], file);
    EXPECT_EQ(page.fields[1], "700");
    EXPECT_EQ(page.ullTestSize.load(), (700ull << 20) + 5);

    // A folder is an entry of size 0.
    page.strTestFile = folder.Path();
    page.UpdateFileFields(0);
    EXPECT_EQ(page.fields[1], "0");

    // A size from the command line (-i) survives the first fill, once.
    const uint32_t kSizeFromCommandLine = 0x400000;
    page.flags = kSizeFromCommandLine;
    page.ullTestSize = 250ull << 20;
    page.strTestFile = file;
    page.UpdateFileFields(1);
    EXPECT_EQ(page.fields[1], "250");
    EXPECT_EQ(page.flags & kSizeFromCommandLine, 0u);
    page.UpdateFileFields(0);
    EXPECT_EQ(page.fields[1], "700");

    // A path that names nothing keeps the size the page has.
    page.strTestFile = folder.File("missing.bin");
    page.ullTestSize = 50ull << 20;
    page.UpdateFileFields(0);
    EXPECT_EQ(page.fields[1], "50");
    EXPECT_EQ(page.fields[0], folder.File("missing.bin"));
}

TEST(FileWorker, TheRunFollowsThePlanTakenAtItsStart)
{
    TestFolder folder("fw_plan");
    const std::string path = folder.File("f.bin");
    MakeSizedFile(path, 1u << 20);
    RecordingPage page;
    page.Prepare(path, "1", "65536");
    page.flags = kRead;
    page.TakeRunPlan();
    EXPECT_EQ(page.flags & kRead, 0u); // the request is taken out of the flag word
    // Options and fields changed once the run has its plan do not reach it.
    page.flags |= kNoBuffer | kSave | kWrite;
    page.fields[2] = "1000";
    Injector injector;
    injector.fakeTransfers = true;
    HookScope hook(injector);
    page.WorkerThread();
    EXPECT_TRUE(page.asked.empty()) << page.asked[0];
    EXPECT_TRUE(page.dialogTitles.empty());
    EXPECT_EQ(injector.reads, 16);
    EXPECT_EQ(injector.writes, 0);

    // A write and the read after it, which change the test file and its fields, never
    // reach for the flag word while they run.
    page.Prepare(folder.Path(), "1", "65536");
    page.flags = kWrite | kRead;
    page.TakeRunPlan();
    page.flagWordUses = 0;
    injector.reads = injector.writes = 0;
    page.WorkerThread();
    EXPECT_EQ(injector.writes, 16);
    EXPECT_EQ(injector.reads, 16);
    EXPECT_EQ(page.fields[0], folder.File("_TestFile"));
    EXPECT_EQ(page.flagWordUses, 0);
}
