// End to end under Wine: "Use fastest File" with a test file on a drive that Wine reports
// as a hard disk. Read runs the search, which opens the drive, gets no table of contents
// and tells that the search only works on CD-ROM drives; the page is idle again after it.
#include "tests/app/e2e_common/GuiE2e.h"

using namespace e2e;

int main(int argc, char** argv)
{
    if (argc < 3) {
        printf("usage: FastestDriver <Quellmor.exe> <screenshot folder>\n");
        return 2;
    }
    const std::string exe = argv[1];
    g_shots = argv[2];
    CreateDirectoryA(g_shots.c_str(), nullptr);
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof(windows));
    const char letter = windows[0];
    const char root[4] = {letter, ':', '\\', 0};
    CHECK(GetDriveTypeA(root) == DRIVE_FIXED, "%s is not a hard disk here", root);
    const std::string testFile = std::string(windows) + "\\win.ini";

    ClearRegistry();
    Program p;
    if (Launch(p, exe, ("-n -t -l \"" + testFile + "\"").c_str())) {
        CHECK(WaitPage(p.main, kPageFile) == kPageFile, "-n did not open FileAccess (%d)",
              CurrentPage(p.main));
        HWND page = PageWindow(p.main);
        CHECK(SendDlgItemMessageA(page, IDC_FILE_FASTEST, BM_GETCHECK, 0, 0) == BST_CHECKED,
              "-t did not tick Use fastest File");
        CHECK(ItemText(page, IDC_FILE_PATH) == testFile, "test file %s",
              ItemText(page, IDC_FILE_PATH).c_str());
        PressButton(page, IDC_FILE_READ);
        HWND box = WaitForDialog(p, "Quellmor", 15000, p.main);
        CHECK(box != nullptr, "no message from the search");
        if (box) {
            const std::string expected = std::string("Fastest File Search failed on drive ") + letter +
                                         ":\\.\n\nThis function is only working on CD-ROM drives.";
            const std::string text = WindowTexts(box);
            CHECK(text.find(expected) != std::string::npos, "message %s", text.c_str());
            Screenshot("file_fastest_not_cd");
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        CHECK(WaitUntil([&] { return IsEnabled(page, IDC_FILE_READ); }, 10000),
              "the page did not return to idle");
        CHECK(ItemText(page, IDC_FILE_RESULT).empty(), "a result after the failed search: %s",
              ItemText(page, IDC_FILE_RESULT).c_str());
        CHECK(ItemText(page, IDC_FILE_PATH) == testFile, "the path field changed to %s",
              ItemText(page, IDC_FILE_PATH).c_str());
        Screenshot("file_fastest_idle");
        PostMessageA(p.main, WM_CLOSE, 0, 0);
    }
    ExpectExit(p, 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
