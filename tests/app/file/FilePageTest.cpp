// The FileAccess page in this process with every pass on the null engine: what the page
// shows comes from the engine's result, through the page's own texts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "app/pages/file/FileAccess.h"
#include "app/pages/file/FileIds.h"
#include "app/settings/Flags.h"
#include "core/engines/EngineTable.h"
#include "core/engines/NullEngine.h"
#include "tests/app/PageTestHost.h"
#include "tests/app/file/FilePageTools.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"

TEST(FileAccessPage, ReadOnTheNullEngineShowsTheScriptedRate)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    TestFolder folder("fpage");
    // The page sizes the read from the file itself; the null engine moves none of it.
    const std::string path = folder.File("data.bin");
    ASSERT_TRUE(WriteWholeFile(path, std::string(4u << 20, 'q')));
    C_NullScript script;
    script.bytesPerSecond = 25.0 * 1048576;
    SetNullEngineScript(&script);

    C_TestHost host;
    host.values.flags = kFlagDefaults;
    host.values.testFile = path;
    C_FileAccess page(host.values, host.store, host);
    ASSERT_TRUE(page.Open(&host, IDD_FILE) != nullptr);
    HWND window = page.GetHandle();
    SetDlgItemTextA(window, IDC_FILE_PATH, path.c_str());
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_FILE_READ, BN_CLICKED),
                 (LPARAM)GetDlgItem(window, IDC_FILE_READ));
    EXPECT_TRUE(PumpUntilIdle(page, 30000)) << "the worker did not end";
    EXPECT_EQ(ItemText(window, IDC_FILE_RESULT), "25.0 MByte/sec");
    EXPECT_EQ(ItemText(window, IDC_FILE_SIZE), "4");
    DestroyWindow(window);
    SetNullEngineScript(nullptr);
    CoUninitialize();
}
