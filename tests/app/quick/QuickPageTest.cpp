// The QuickAccess page in this process under Wine: it fills the drive list from the process's
// device list when it opens and leaves that list empty when it closes, so the next page
// starts from nothing of its own; a run works on what the controls said when Start was
// pressed.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/Simple.h"
#include "core/ErrorCodes.h"
#include "core/engines/EngineTable.h"
#include "core/engines/NullEngine.h"
#include "devices/DeviceList.h"
#include "tests/app/PageTestHost.h"

namespace {
std::string ItemText(HWND page, int id)
{
    char text[256] = "";
    GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

// Dispatches messages until a run has come and gone (or the time is up).
bool PumpThroughARun(const C_Simple& page, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    bool seen = false;
    while (GetTickCount() - start < timeoutMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            seen = seen || page.IsTestRunning();
        }
        if (seen && !page.IsTestRunning())
            return true;
        Sleep(5);
    }
    return false;
}

// The text the page's tooltip control holds for a field; "(no tooltip)" when the page has none.
// A popup belongs to the top-level window, here the stand-in host.
std::string TipText(HWND page, int id)
{
    struct Search {
        HWND owner, tips;
    } search = {page, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            Search* s = (Search*)data;
            char name[32] = "";
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 &&
                GetWindow(window, GW_OWNER) == GetAncestor(s->owner, GA_ROOT))
                s->tips = window;
            return !s->tips;
        },
        (LPARAM)&search);
    if (!search.tips)
        return "(no tooltip)";
    char text[256] = "";
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = page;
    tool.uId = (UINT_PTR)GetDlgItem(page, id);
    tool.lpszText = text;
    SendMessageA(search.tips, TTM_GETTEXTA, sizeof text, (LPARAM)&tool);
    return text;
}

void SetShift(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}
// The page open on a stand-in host.
class QuickPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        ASSERT_NE(page.Open(&host, IDD_QUICK), nullptr);
        window = page.GetHandle();
    }
    void TearDown() override
    {
        SetNullEngineScript(nullptr);
        if (IsWindow(window))
            DestroyWindow(window);
    }
    // Only the Windows drive is chosen (the first item is selected when the list fills).
    void ChooseOnlyTheWindowsDrive()
    {
        HWND list = GetDlgItem(window, IDC_QUICK_DRIVES);
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        const int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        int chosen = -1;
        for (int i = 0; i < count; ++i) {
            char text[128] = "";
            LVITEMA item = {};
            item.iItem = i;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
            LVITEMA state = {};
            state.stateMask = LVIS_SELECTED;
            const bool windowsDrive = strstr(text, (std::string(1, windows[0]) + ":").c_str()) != nullptr;
            state.state = windowsDrive ? LVIS_SELECTED : 0;
            SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)&state);
            if (windowsDrive)
                chosen = i;
        }
        ASSERT_GE(chosen, 0) << "no item for drive " << windows[0];
    }
    void PressStart()
    {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_QUICK_START, BN_CLICKED),
                     (LPARAM)GetDlgItem(window, IDC_QUICK_START));
    }
    // One run of 4 MiB in 1 MiB blocks on the Windows drive with every engine replaced by the
    // null engine. Four blocks: a sequential pass there has fewer steps than a scripted
    // failure after five rounds waits for, so only a random pass meets it.
    void RunOnTheNullEngine(const C_NullScript& script)
    {
        ASSERT_NO_FATAL_FAILURE(ChooseOnlyTheWindowsDrive());
        SetDlgItemTextA(window, IDC_QUICK_FILE_SIZE, "4");
        SetNullEngineScript(&script);
        PressStart();
        ASSERT_TRUE(PumpThroughARun(page, 30000)) << "no run started and ended";
    }
    C_TestHost host;
    C_Simple page{host.values.flags, host};
    HWND window = nullptr;
};
} // namespace

TEST_F(QuickPage, ClosingThePageEmptiesTheDeviceList)
{
    // Wine's drive letters (C: and Z: at least) are records of the list and items of the page.
    EXPECT_GE(C_DeviceList::Instance().GetCount(), 2u);
    EXPECT_GE(SendMessageA(GetDlgItem(window, IDC_QUICK_DRIVES), LVM_GETITEMCOUNT, 0, 0), 2);
    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(C_DeviceList::Instance().GetCount(), 0u);
}

TEST_F(QuickPage, TheRunKeepsTheSettingsOfItsStart)
{
    HWND list = GetDlgItem(window, IDC_QUICK_DRIVES);
    ASSERT_NO_FATAL_FAILURE(ChooseOnlyTheWindowsDrive());
    SetDlgItemTextA(window, IDC_QUICK_FILE_SIZE, "4");
    // Shift held: the random passes are skipped.
    SetShift(true);
    PressStart();
    SetShift(false);
    // The worker cannot get past its first call to the page before this thread dispatches,
    // so these changes come after Start and before the run could read any control.
    SetDlgItemTextA(window, IDC_QUICK_FILE_SIZE, "0");
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_TRUE(PumpThroughARun(page, 30000)) << "no run started and ended";
    // Four MiB were written and read on the drive chosen at Start.
    EXPECT_NE(ItemText(window, IDC_QUICK_SEQ_WRITE), "");
    EXPECT_NE(ItemText(window, IDC_QUICK_SEQ_READ), "");
    EXPECT_EQ(ItemText(window, IDC_QUICK_RND_WRITE), "not tested");
    EXPECT_EQ(ItemText(window, IDC_QUICK_RND_READ), "not tested");
    EXPECT_EQ(TipText(window, IDC_QUICK_RND_WRITE), "");
}

// The random passes on the null engine: the fields show the scripted figures through the
// page's own result line.
TEST_F(QuickPage, RandomFieldsShowTheNullEnginesFigures)
{
    C_NullScript script;
    script.iops = 2500;
    script.latencyNanoseconds = 12800000; // 32 accesses in flight at 2500 IOPS
    ASSERT_NO_FATAL_FAILURE(RunOnTheNullEngine(script));
    EXPECT_EQ(ItemText(window, IDC_QUICK_RND_WRITE), "9.8 MByte/sec, 2500.0 IOPS, 0.40 ms");
    EXPECT_EQ(ItemText(window, IDC_QUICK_RND_READ), "9.8 MByte/sec, 2500.0 IOPS, 0.40 ms");
    // Their latencies are in the fields' tooltips.
    const char latency[] = "Latency p50 12.80 ms, p90 12.80 ms, p99 12.80 ms, p99.9 12.80 ms, max 12.80 ms";
    EXPECT_EQ(TipText(window, IDC_QUICK_RND_WRITE), latency);
    EXPECT_EQ(TipText(window, IDC_QUICK_RND_READ), latency);
    EXPECT_EQ(TipText(window, IDC_QUICK_SEQ_WRITE), "");
}

// A random write that fails keeps the figure of what it did and stops the drive's test
// there: no read pass, and no message to answer.
TEST_F(QuickPage, FailedRandomWriteKeepsItsFigureAndSkipsTheRead)
{
    C_NullScript script;
    script.iops = 1250;
    script.latencyNanoseconds = 25600000;
    script.failure.op = kOpWrite;
    script.failure.error = kErrorWriteFault;
    script.failAfter = 5; // rounds of the random write
    ASSERT_NO_FATAL_FAILURE(RunOnTheNullEngine(script));
    EXPECT_NE(ItemText(window, IDC_QUICK_SEQ_READ), "");
    EXPECT_EQ(ItemText(window, IDC_QUICK_RND_WRITE), "4.9 MByte/sec, 1250.0 IOPS, 0.80 ms");
    EXPECT_EQ(ItemText(window, IDC_QUICK_RND_READ), "");
    EXPECT_EQ(TipText(window, IDC_QUICK_RND_WRITE).compare(0, 20, "Latency p50 25.60 ms"), 0);
    EXPECT_EQ(TipText(window, IDC_QUICK_RND_READ), "");
}
