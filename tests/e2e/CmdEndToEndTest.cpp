// QuellmorCmd.exe as a user runs it: a separate process with its output captured.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include "core/File.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"
#include "tests/e2e/RandomPassChecks.h"

namespace {
std::string ExePath()
{
    std::string p = QM_CMD_EXE; // the build's Unix path; Wine shows the root as Z:
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p[0] == '\\' ? "Z:" + p : p;
}

struct Result {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

// With errors, standard error is kept there apart from the output (a few lines of text, which
// its pipe holds until the output has been read to its end).
Result RunCmd(const std::string& arguments, const std::string& folder, std::string* errors = nullptr)
{
    Result r;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return r;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE errorRead = nullptr, errorWrite = nullptr;
    if (errors && !CreatePipe(&errorRead, &errorWrite, &sa, 1 << 16))
        return r;
    if (errors)
        SetHandleInformation(errorRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = errors ? errorWrite : writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + ExePath() + "\" " + arguments;
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back(0);
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si,
                        &pi)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        if (errors) {
            CloseHandle(errorRead);
            CloseHandle(errorWrite);
        }
        return r;
    }
    CloseHandle(writeEnd);
    if (errors)
        CloseHandle(errorWrite);
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &n, nullptr) && n)
        r.output.append(buffer, n);
    CloseHandle(readEnd);
    if (errors) {
        while (ReadFile(errorRead, buffer, sizeof(buffer), &n, nullptr) && n)
            errors->append(buffer, n);
        CloseHandle(errorRead);
    }
    if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &r.exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return r;
}

const char kBanner[] = "QuellmorCmd [1.00] http://www.velantix.com/quellmor/\r\n";
} // namespace

TEST(CmdEndToEnd, RunPrintsRatesLogsAndLeavesNothingBehind)
{
    TestFolder folder("e2e_run");
    Result r = RunCmd("-d \"" + folder.Path() + "\" -s 16 -b 1024", folder.Path());
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    // Under Wine the cache bypass is ignored, and the program says so before any figure.
    std::string note =
        FormatCacheNote(ProbeCacheBypass(folder.File("probe.bin").c_str()), folder.File("QuellmorTest"));
    for (size_t at = note.find('\n'); at != std::string::npos; at = note.find('\n', at + 2))
        note.replace(at, 1, "\r\n");
    ASSERT_EQ(r.output.compare(0, strlen(kBanner) + note.size(), kBanner + note), 0) << r.output;
    const std::string rest = r.output.substr(strlen(kBanner) + note.size());
    std::smatch m;
    ASSERT_TRUE(std::regex_match(rest, m,
                                 std::regex("Performing write test\\.\r\nPerforming read test\\.\r\n"
                                            "read: ([0-9]+) write: ([0-9]+)\r\n")))
        << r.output;
    const std::string log = ReadWholeFile(folder.File("QuellmorCmd.txt"));
    // The date and time come in the user's formats; the result fields are fixed.
    char date[128];
    SYSTEMTIME now;
    GetLocalTime(&now);
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, sizeof(date));
    EXPECT_EQ(log.compare(0, strlen(date), date), 0) << log;
    EXPECT_TRUE(std::regex_match(
        log, std::regex("[^\t\r\n]+ [0-9:]+( ?[AP]M)?\tread:\t([0-9.]+ [kMGTP]?Byte/sec|\\[too fast\\])\t" +
                        m[1].str() + "\twrite:\t([0-9.]+ [kMGTP]?Byte/sec|\\[too fast\\])\t" + m[2].str() +
                        "\r\n")))
        << log;
    EXPECT_FALSE(IsDirectory((folder.Path() + "\\QuellmorTest").c_str()));
}

// The random passes, timed access by access, in the report on standard output and as lines
// of the console text on standard error.
TEST(CmdEndToEnd, RandomPassesInTheJsonReportAndTheText)
{
    TestFolder folder("e2e_random");
    std::string errors;
    Result r = RunCmd("-d \"" + folder.Path() + "\" -s 16 -r 1 -o json -l 0", folder.Path(), &errors);
    ASSERT_EQ(r.exitCode, 0u) << errors;
    ASSERT_FALSE(r.output.empty());
    EXPECT_EQ(r.output.front(), '{') << r.output;
    EXPECT_EQ(r.output.find("Performing"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\"outcome\": \"complete\""), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\"file_system\": \"NTFS\""), std::string::npos) << r.output;
    ExpectRandomPassesReported(r.output, errors, "\r\n");
    EXPECT_FALSE(IsDirectory((folder.Path() + "\\QuellmorTest").c_str()));
}

TEST(CmdEndToEnd, VersionResourceTexts)
{
    const std::string exe = ExePath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, data.data()));
    auto value = [&](const char* name) {
        char* text = nullptr;
        UINT len = 0;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(data.data(), key.c_str(), (void**)&text, &len) || !text)
            return std::string("<none>");
        return std::string(text);
    };
    EXPECT_EQ(value("FileVersion"), "1.0");
    EXPECT_EQ(value("ProductName"), "Quellmor");
    EXPECT_EQ(value("CompanyName"), "Velantix");
    EXPECT_EQ(value("InternalName"), "QuellmorCmd");
    EXPECT_EQ(value("Comments").compare(0, 7, "http://"), 0);
}

TEST(CmdEndToEnd, UsageForABadOptionByteForByte)
{
    TestFolder folder("e2e_usage");
    Result r = RunCmd("-s 20 -zap", folder.Path());
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output, std::string(kBanner) + "   @<file> [command file]\r\n"
                                               "   -d C:\\ [Drive for testing]\r\n"
                                               "   -s 20 [File size in MB]\r\n"
                                               "   -b 1024 [Block size in kB]\r\n"
                                               "   -l 1 [Create log file]\r\n"
                                               "   -r 0 [Random passes]\r\n"
                                               "   -o [Report: json or csv]\r\n"
                                               "   -n 1 [Number of runs]\r\n"
                                               "   -v 0 [Verify the data read]\r\n"
                                               "   -f 0 [Fill the free space]\r\n");
    EXPECT_FALSE(FileExists(folder.File("QuellmorCmd.txt").c_str()));
}

TEST(CmdEndToEnd, ExitCodesForRefusedAndFailedRuns)
{
    TestFolder folder("e2e_codes");
    Result zero = RunCmd("-s 0 -l 0", folder.Path());
    EXPECT_EQ(zero.exitCode, 0u);
    EXPECT_EQ(zero.output, kBanner);

    Result big = RunCmd("-d \"" + folder.Path() + "\" -b 5000000 -l 0", folder.Path());
    EXPECT_EQ(big.exitCode, 2u);
    EXPECT_EQ(big.output, std::string(kBanner) + "Invalid block size 5000000 kB (at most 4194303 kB).\r\n");

    Result nodrive = RunCmd("-d Q:\\nope -s 1 -l 0", folder.Path());
    EXPECT_EQ(nodrive.exitCode, 3u);
    EXPECT_NE(nodrive.output.find("Can't create test folder Q:\\nope\\QuellmorTest.\r\nError 3 - "),
              std::string::npos)
        << nodrive.output;

    // A command file with an unknown option fails the parse like the command line does.
    ASSERT_TRUE(WriteWholeFile(folder.File("opts.txt"), "-s 1\r\n-unknown\r\n"));
    Result file = RunCmd("@opts.txt", folder.Path());
    EXPECT_EQ(file.exitCode, 1u);
    EXPECT_NE(file.output.find("   -s 1 [File size in MB]\r\n"), std::string::npos);
}

// The check on a folder that keeps what it is given: the verify line after the rates, exit 0,
// and neither its files nor the test folder left behind.
TEST(CmdEndToEnd, CheckOfAnHonestFolderPassesAndLeavesNothingBehind)
{
    TestFolder folder("e2e_check");
    Result r = RunCmd("-d \"" + folder.Path() + "\" -s 24 -v 1 -l 0", folder.Path());
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_TRUE(std::regex_search(r.output,
                                  std::regex("Performing write test\\.\r\nPerforming read test\\.\r\n"
                                             "read: [0-9]+ write: [0-9]+\r\nverify: ok, 24 MiB intact\r\n$")))
        << r.output;
    EXPECT_FALSE(IsDirectory((folder.Path() + "\\QuellmorCheck").c_str()));
    EXPECT_FALSE(IsDirectory((folder.Path() + "\\QuellmorTest").c_str()));
}

// A drive letter on a FUSE file system that claims more than it keeps, with no page cache in
// front of it (Wine ignores the cache bypass): mapped by run_cmd_check_e2e.sh, which names it in
// QM_FAKE_DRIVE and says how much it really keeps in QM_FAKE_REAL_MIB.
TEST(CmdEndToEnd, FillOfAFakeDriveFailsWithExitFiveAndMovedData)
{
    const char* drive = getenv("QM_FAKE_DRIVE");
    const char* real = getenv("QM_FAKE_REAL_MIB");
    if (!drive || !real)
        GTEST_SKIP() << "needs the fake drive that run_cmd_check_e2e.sh mounts (ctest cmd_check_end_to_end)";
    TestFolder folder("e2e_fake");
    std::string errors;
    Result r = RunCmd(std::string("-d ") + drive + " -f 1 -l 0", folder.Path(), &errors);
    EXPECT_EQ(r.exitCode, 5u) << r.output << errors;
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(r.output, m,
                          std::regex("read: [0-9]+ write: [0-9]+\r\nverify: FAILED, ([0-9]+) of ([0-9]+) "
                                     "MiB intact, first bad at [0-9]+ MiB \\(moved ([0-9]+) MiB\\)\r\n$")))
        << r.output;
    // What came back is what the drive keeps, within a chunk (a 200th of the fill).
    const long intact = atol(m[1].str().c_str()), checked = atol(m[2].str().c_str());
    EXPECT_NEAR(intact, atol(real), checked / 200 + 1) << r.output;
    EXPECT_NEAR(atol(m[3].str().c_str()), checked - intact, 1) << r.output;
    EXPECT_FALSE(IsDirectory((std::string(drive) + "\\QuellmorCheck").c_str()));
}
