// The FileAccess page in this process with "Use fastest File" over the emulated CD-ROM:
// Read runs the search on the page's worker, the Test File and File Size fields take the
// found file, and the read pass reads it. The disc's tree is copied to the Windows drive,
// so the found path exists where the page looks for it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <map>
#include "app/pages/file/FastestFile.h"
#include "app/pages/file/cdfs/CdfsDrive.h"
#include "app/pages/file/FileAccess.h"
#include "app/pages/file/FileIds.h"
#include "app/settings/Flags.h"
#include "devices/emulated/EmulatedCdRom.h"
#include "tests/app/PageTestHost.h"
#include "tests/app/file/FilePageTools.h"
#include "tests/app/file/cdfs/CdfsTestDisc.h"
#include "tests/app/file/cdfs/CountedCdRom.h"

namespace {
std::string WindowsPath(const std::string& unixPath)
{
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}

// The page with its drive replaced by the emulated CD-ROM.
class C_FileAccessOnCd : public C_FileAccess {
public:
    C_FileAccessOnCd(C_TestHost& host, const std::string& image)
        : C_FileAccess(host.values, host.store, host), cd(image, {3000})
    {
    }
    uint32_t searches = 0;
    C_CountedCdRom cd;

protected:
    int SearchFastestFile(char drive, uint64_t minimum, std::string& path, std::string& message) override
    {
        ++searches;
        return CDFSSearch(drive, minimum, path, message, &cd, [this] { return IsStopRequested() != 0; });
    }
};

// Closes the first message box of the page's worker that shows up, and returns its text.
std::string CloseMessageBox(C_FileAccess& page, DWORD timeoutMs)
{
    // The page shows its boxes on this thread, so they are answered from another one.
    C_BoxAnswerer answerer(IDOK);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        PumpPendingMessages();
        const std::vector<std::string> texts = answerer.Texts();
        if (!texts.empty()) {
            PumpUntilIdle(page, timeoutMs);
            return texts.front();
        }
        Sleep(10);
    }
    return "(no message)";
}

class FastestFilePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof(windows));
        m_letter = windows[0];
        m_folder = std::string(1, m_letter) + ":\\QMCDFS";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        const std::string source = WindowsPath(FixturePath("src/page/QMCDFS"));
        for (const char* name : {"\\BIG.BIN", "\\SMALL.BIN"})
            ASSERT_TRUE(CopyFileA((source + name).c_str(), (m_folder + name).c_str(), FALSE))
                << source << name;
    }
    void TearDown() override
    {
        for (const char* name : {"\\BIG.BIN", "\\SMALL.BIN"})
            DeleteFileA((m_folder + name).c_str());
        RemoveDirectoryA(m_folder.c_str());
        CoUninitialize();
    }
    // Opens the page, sets the test path and size fields, presses Read and waits.
    void Read(C_FileAccessOnCd& page, uint32_t options, const char* path, const char* sizeMiB,
              bool wait = true)
    {
        host.values.flags = kFlagDefaults | options;
        host.values.testFile = path;
        if (!page.GetHandle())
            ASSERT_TRUE(page.Open(&host, IDD_FILE) != nullptr);
        HWND window = page.GetHandle();
        SetDlgItemTextA(window, IDC_FILE_PATH, path);
        SetDlgItemTextA(window, IDC_FILE_SIZE, sizeMiB);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_FILE_READ, BN_CLICKED),
                     (LPARAM)GetDlgItem(window, IDC_FILE_READ));
        if (wait)
            ASSERT_TRUE(PumpUntilIdle(page, 30000)) << "the worker did not end";
    }

    C_TestHost host;
    char m_letter = 'C';
    std::string m_folder;
};
} // namespace

TEST_F(FastestFilePage, ReadTakesTheFileFarthestOutAndShowsItsPathAndSize)
{
    const std::vector<C_ListedFile> files = ReadListing("page", m_letter);
    ASSERT_EQ(ListedFarthest(files, 1048576), m_folder + "\\SMALL.BIN");
    C_FileAccessOnCd page(host, WindowsPath(FixturePath("page.iso")));
    Read(page, kFlagFastestFile, (m_folder + "\\").c_str(), "1");
    HWND window = page.GetHandle();
    EXPECT_EQ(page.searches, 1u);
    EXPECT_EQ(ItemText(window, IDC_FILE_PATH), m_folder + "\\SMALL.BIN");
    EXPECT_EQ(ItemText(window, IDC_FILE_SIZE), "1");
    const std::string result = ItemText(window, IDC_FILE_RESULT);
    EXPECT_TRUE(result.find("/sec") != std::string::npos || result == "[too fast]") << result;
    EXPECT_EQ(host.values.flags & (kFlagStartRead | kFlagStartWrite), 0u);
    DestroyWindow(window);
}

TEST_F(FastestFilePage, WithBothSearchesTheBiggestFileSetsTheMinimumOfTheFastestSearch)
{
    C_FileAccessOnCd page(host, WindowsPath(FixturePath("page.iso")));
    Read(page, kFlagFastestFile | kFlagBiggestFile, (m_folder + "\\").c_str(), "0");
    HWND window = page.GetHandle();
    // The biggest file (2 MiB) makes the smaller one lying farther out too small.
    EXPECT_EQ(ItemText(window, IDC_FILE_PATH), m_folder + "\\BIG.BIN");
    EXPECT_EQ(ItemText(window, IDC_FILE_SIZE), "2");
    DestroyWindow(window);
}

TEST_F(FastestFilePage, AFailedSearchTellsWhyAndTheNextReadSearchesAgain)
{
    C_FileAccessOnCd page(host, WindowsPath(FixturePath("page.iso")));
    Read(page, kFlagFastestFile, (m_folder + "\\").c_str(), "3", false);
    EXPECT_EQ(CloseMessageBox(page, 30000), CdfsFailureMessage(0, 3 * 1048576ull, m_letter));
    ASSERT_FALSE(page.IsWorkerRunning());
    EXPECT_EQ(page.searches, 1u);
    Read(page, kFlagFastestFile, (m_folder + "\\").c_str(), "1");
    EXPECT_EQ(page.searches, 2u);
    EXPECT_EQ(ItemText(page.GetHandle(), IDC_FILE_PATH), m_folder + "\\SMALL.BIN");
    DestroyWindow(page.GetHandle());
}

TEST_F(FastestFilePage, StopAndClosingThePageEndASlowSearchAtItsNextRead)
{
    // The root holds a folder near 4 GiB long over 4000 blank sectors: at 10 ms a sector the
    // walk would take 40 s.
    C_MemoryDisc disc;
    disc.Descriptor(16, 1, 20, 2048);
    disc.Terminator(17);
    disc.Directory(20, {C_MemoryDisc::Record(std::string(1, '\0'), 20, 2048, true),
                        C_MemoryDisc::Record("\1", 20, 2048, true),
                        C_MemoryDisc::Record("LONG", 21, 0xFFFFF800u, true)});
    const std::string image = WriteTempImage("qm-slow.iso", disc.Image(4000));
    ASSERT_FALSE(image.empty());
    const std::string folder = m_folder + "\\";
    for (int close = 0; close <= 1; ++close) {
        C_FileAccessOnCd page(host, image);
        page.cd.delayMs = 10;
        Read(page, kFlagFastestFile, folder.c_str(), "1", false);
        HWND window = page.GetHandle();
        const DWORD start = GetTickCount();
        while (page.cd.reads < 10 && GetTickCount() - start < 10000) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(5);
        }
        ASSERT_GE(page.cd.reads.load(), 10u) << "the walk did not start";
        const uint32_t atStop = page.cd.reads;
        if (close) {
            page.Close(0);
        } else {
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_FILE_STOP, BN_CLICKED),
                         (LPARAM)GetDlgItem(window, IDC_FILE_STOP));
            PumpUntilIdle(page, 5000);
        }
        EXPECT_FALSE(page.IsWorkerRunning()) << "close " << close;
        EXPECT_LE(page.cd.reads - atStop, 1u) << "close " << close;
        EXPECT_EQ(FindWindowA("#32770", "Quellmor test"), nullptr) << "a stopped search tells nothing";
        if (!close) {
            EXPECT_EQ(ItemText(window, IDC_FILE_PATH), folder);
            DestroyWindow(window);
        }
    }
    DeleteFileA(image.c_str());
}
