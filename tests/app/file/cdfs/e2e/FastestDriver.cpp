// End to end under Wine: "Use fastest File" on a drive that Wine reports as a hard disk,
// then on one it reports as optical (a folder, so the drive answers no SCSI commands).
// Read runs the search, which opens the drive and gets no table of contents: the hard disk
// gives the CD-ROM-only message, the optical drive the no-file message, and the page is
// idle again after each. Arguments: program, screenshot folder, (unused), optical letter.
#include "tests/app/e2e_common/GuiE2e.h"

using namespace e2e;

namespace {
bool IsIdle(HWND page) { return !IsEnabled(page, IDC_FILE_STOP); }

// Read with the path; the message box's text, or "" when none came.
std::string ReadAndTakeMessage(const Program& p, HWND page, const std::string& path, const char* shot)
{
    SetDlgItemTextA(page, IDC_FILE_PATH, path.c_str());
    PressButton(page, IDC_FILE_READ);
    HWND box = WaitForDialog(p, "Quellmor", 15000, p.main);
    CHECK(box != nullptr, "no message from the search on %s", path.c_str());
    if (!box)
        return "";
    const std::string text = WindowTexts(box);
    Screenshot(shot);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    CHECK(WaitUntil([&] { return IsIdle(page); }, 15000), "the page did not return to idle");
    CHECK(ItemText(page, IDC_FILE_RESULT).empty(), "a result after the failed search: %s",
          ItemText(page, IDC_FILE_RESULT).c_str());
    CHECK(ItemText(page, IDC_FILE_PATH) == path, "the path field changed to %s",
          ItemText(page, IDC_FILE_PATH).c_str());
    return text;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        printf("usage: FastestDriver <Quellmor.exe> <screenshot folder> <letter> <optical letter>\n");
        return 2;
    }
    const std::string exe = argv[1];
    g_shots = argv[2];
    const char optical = (char)toupper((unsigned char)argv[4][0]);
    CreateDirectoryA(g_shots.c_str(), nullptr);
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof(windows));
    const char letter = windows[0];
    const char hardRoot[4] = {letter, ':', '\\', 0}, opticalRoot[4] = {optical, ':', '\\', 0};
    CHECK(GetDriveTypeA(hardRoot) == DRIVE_FIXED, "%s is not a hard disk here", hardRoot);
    CHECK(GetDriveTypeA(opticalRoot) == DRIVE_CDROM, "%s is not an optical drive here", opticalRoot);
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

        Say("-- a hard disk");
        std::string text = ReadAndTakeMessage(p, page, testFile, "file_fastest_not_cd");
        std::string expected = std::string("Fastest File Search failed on drive ") + letter +
                               ":\\.\n\nThis function is only working on CD-ROM drives.";
        CHECK(text.find(expected) != std::string::npos, "message %s", text.c_str());

        Say("-- an optical drive without a readable disc");
        SetDlgItemTextA(page, IDC_FILE_SIZE, "1");
        text = ReadAndTakeMessage(p, page, std::string(opticalRoot) + "video\\movie.vob",
                                  "file_fastest_no_file");
        expected =
            std::string("Fastest File Search failed.\n\nCan't find any file with 1024.0 kByte or larger on "
                        "drive ") +
            optical + ":\\.";
        CHECK(text.find(expected) != std::string::npos, "message %s", text.c_str());
        Screenshot("file_fastest_idle");
        PostMessageA(p.main, WM_CLOSE, 0, 0);
    }
    ExpectExit(p, 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    printf(g_failures ? "%d FAILED\n" : "all passed\n", g_failures);
    return g_failures ? 1 : 0;
}
