// The CheckAccess page in this process under Wine, running the real check engine on the Windows
// drive of the test prefix (a folder of this machine) with a small size limit: the verdict, the
// graph's two curves, Stop, the files removed and the stored values.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <fstream>
#include <sstream>
#include "app/pages/check/CheckAccess.h"
#include "app/pages/check/CheckIds.h"
#include "app/pages/common/model/DesktopLog.h"
#include "core/File.h"
#include "tests/app/PageTestHost.h"

namespace {
std::string ItemText(HWND page, int id)
{
    char text[512] = "";
    GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

std::string WholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Dispatches messages until the condition holds (or the time is up).
template <class Condition>
bool PumpUntil(Condition done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        PumpPendingMessages();
        if (done())
            return true;
        Sleep(5);
    }
    return false;
}

class CheckPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        letter = windows[0];
        checkFolder = std::string(1, letter) + ":\\QuellmorCheck";
        ASSERT_NO_FATAL_FAILURE(OpenPage());
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    void OpenPage()
    {
        ASSERT_NE(page.Open(&host, IDD_CHECK), nullptr);
        window = page.GetHandle();
    }
    // Only the Windows drive's item is selected.
    void ChooseTheWindowsDrive()
    {
        HWND list = GetDlgItem(window, IDC_CHECK_DRIVES);
        const int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        int chosen = -1;
        for (int i = 0; i < count && chosen < 0; ++i) {
            char text[128] = "";
            LVITEMA item = {};
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
            if (strstr(text, (std::string(1, letter) + ":").c_str()))
                chosen = i;
        }
        ASSERT_GE(chosen, 0) << "no item for drive " << letter;
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, chosen, (LPARAM)&state);
    }
    void Press(int id)
    {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(window, id));
    }
    void StartWithLimit(const char* mib)
    {
        ASSERT_NO_FATAL_FAILURE(ChooseTheWindowsDrive());
        SetDlgItemTextA(window, IDC_CHECK_LIMIT, mib);
        Press(IDC_CHECK_START);
        ASSERT_TRUE(PumpUntil([&] { return page.IsCheckRunning(); }, 10000)) << "no check started";
    }
    std::string DesktopLog()
    {
        char desktop[MAX_PATH] = "";
        return GetSpecialFolder(0x0000 /* CSIDL_DESKTOP */, desktop) ? WholeFile(DesktopLogPath(desktop))
                                                                     : "";
    }

    C_TestHost host;
    C_CheckAccess page{host.store, host};
    HWND window = nullptr;
    char letter = 0;
    std::string checkFolder;
};
} // namespace

TEST_F(CheckPage, TheWindowsDriveIsFilledWholeOnlyAfterTheUserSaysYes)
{
    ASSERT_NO_FATAL_FAILURE(ChooseTheWindowsDrive());
    SetDlgItemTextA(window, IDC_CHECK_LIMIT, "");
    std::vector<std::string> asked;
    {
        C_BoxAnswerer no(IDNO);
        Press(IDC_CHECK_START);
        asked = no.Texts();
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind(std::string("Drive ") + letter + ": holds Windows.", 0), 0u) << asked[0];
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(page.IsCheckRunning());
    EXPECT_FALSE(FolderExists(checkFolder));
}

TEST_F(CheckPage, AnHonestFolderComesBackIntactWithBothCurvesDrawn)
{
    ASSERT_FALSE(FolderExists(checkFolder)) << "left over from an earlier run";
    const size_t logBefore = DesktopLog().size();
    ASSERT_NO_FATAL_FAILURE(StartWithLimit("24"));
    ASSERT_TRUE(PumpUntil([&] { return !page.IsCheckRunning(); }, 120000)) << "the check did not end";

    EXPECT_EQ(ItemText(window, IDC_CHECK_VERDICT), "All 24.0 MByte came back intact.");
    EXPECT_EQ(ItemText(window, IDC_CHECK_AXIS_END), "24.0 MByte written");
    for (int id : {IDC_CHECK_WRITE_SPREAD, IDC_CHECK_READ_SPREAD})
        EXPECT_EQ(ItemText(window, id).rfind("min ", 0), 0u) << ItemText(window, id);
    EXPECT_FALSE(FolderExists(checkFolder));

    // Each curve holds the rate of every chunk the engine timed, at that chunk's place; a chunk
    // quicker than the clock's step (Wine reads from memory) is left out.
    const C_CheckOutcome& outcome = page.LastOutcome();
    const GraphModel graph = page.Graph().Snapshot();
    ASSERT_EQ(graph.SeriesCount(), 2);
    ASSERT_EQ((uint64_t)graph.Points(), ChunkCount(outcome.plan.totalBytes, outcome.plan.chunkBytes));
    ASSERT_EQ(outcome.writeChunks.size(), (size_t)graph.Points());
    ASSERT_EQ(outcome.readChunks.size(), (size_t)graph.Points());
    for (int series = 0; series < 2; ++series) {
        const std::vector<C_ChunkTime>& chunks = series ? outcome.readChunks : outcome.writeChunks;
        for (int x = 0; x < graph.Points(); ++x) {
            const C_ChunkTime& c = chunks[(size_t)x];
            const int expected = c.microseconds
                                     ? int((double)c.bytes * 1e6 / (double)c.microseconds / 1048576.0)
                                     : kGraphEmpty;
            EXPECT_EQ(graph.Value(x, series), expected) << "series " << series << ", chunk " << x;
        }
    }
    // The last written chunk carries the file's flush to the disk: that one always takes time.
    EXPECT_GT(graph.Value(graph.Points() - 1, 0), 0);

    const std::string log = DesktopLog();
    ASSERT_GT(log.size(), logBefore);
    EXPECT_NE(log.find("\tcheck:\tAll 24.0 MByte came back intact.\twrite:\t", logBefore), std::string::npos)
        << log.substr(logBefore);
}

TEST_F(CheckPage, StopEndsTheCheckWithinASecondAndRemovesItsFiles)
{
    ASSERT_NO_FATAL_FAILURE(StartWithLimit("4096"));
    // Stopped while it writes, once its first file is there.
    ASSERT_TRUE(PumpUntil(
        [&] { return FolderExists(checkFolder) && !ItemText(window, IDC_CHECK_STATUS).empty(); }, 30000));
    const DWORD pressed = GetTickCount();
    Press(IDC_CHECK_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !page.IsCheckRunning(); }, 10000));
    EXPECT_LT(GetTickCount() - pressed, 1000u);
    EXPECT_EQ(ItemText(window, IDC_CHECK_STATUS), "The check was stopped; its test files are removed.");
    EXPECT_EQ(ItemText(window, IDC_CHECK_VERDICT), "");
    EXPECT_FALSE(FolderExists(checkFolder));
}

TEST_F(CheckPage, ItsValuesComeBackWhenItOpensAgain)
{
    ASSERT_NO_FATAL_FAILURE(ChooseTheWindowsDrive());
    SetDlgItemTextA(window, IDC_CHECK_LIMIT, "512");
    SendDlgItemMessageA(window, IDC_CHECK_KEEP, BM_SETCHECK, BST_CHECKED, 0);
    page.Close(0);
    ASSERT_FALSE(IsWindow(window));
    EXPECT_EQ(host.store.texts["CheckLimit"], "512");
    EXPECT_EQ(host.store.numbers["CheckKeepFiles"], 1u);
    EXPECT_EQ(host.store.texts["CheckDrive"], std::string(1, letter));

    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_EQ(ItemText(window, IDC_CHECK_LIMIT), "512");
    EXPECT_EQ(SendDlgItemMessageA(window, IDC_CHECK_KEEP, BM_GETCHECK, 0, 0), BST_CHECKED);
    HWND list = GetDlgItem(window, IDC_CHECK_DRIVES);
    const int selected = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    ASSERT_GE(selected, 0);
    char text[128] = "";
    LVITEMA item = {};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, selected, (LPARAM)&item);
    EXPECT_NE(strstr(text, (std::string(1, letter) + ":").c_str()), nullptr) << text;
}
