// The native QuellmorCmd as a user runs it on Linux: a separate process in a folder of its own,
// its output and exit code captured, Ctrl+C sent as SIGINT, and file systems that fill up,
// refuse the cache bypass or ignore it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <regex>
#include <string>
#include <vector>
#include "core/CacheNote.h"
#include "core/File.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"
#include "tests/e2e/RandomPassChecks.h"
#include "tests/core/posix/ScratchMount.h"
#include "tests/common/FakeDrive.h"
#include "tests/common/ThrottledVolume.h"

extern char** environ;

namespace {
struct Result {
    int exitCode = -1;
    std::string output;
    double seconds = 0; // from the interrupt (when one was sent) to the end
};

// Runs the program in folder; with interruptAfter, sends SIGINT once that text was printed.
// With errors, standard error is kept there apart from the output.
Result RunCmd(const std::vector<std::string>& arguments, const std::string& folder,
              const std::string& interruptAfter = std::string(), std::string* errors = nullptr)
{
    Result r;
    int out[2], err[2] = {-1, -1};
    if (pipe(out) != 0)
        return r;
    if (errors && pipe(err) != 0)
        return r;
    std::vector<std::string> all = {QM_CMD_EXE};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errors ? err[1] : out[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (errors)
        posix_spawn_file_actions_addclose(&actions, err[0]);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = 0;
    const int spawned = posix_spawn(&child, QM_CMD_EXE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (errors)
        close(err[1]);
    if (spawned != 0) {
        close(out[0]);
        if (errors)
            close(err[0]);
        return r;
    }
    auto interruptedAt = std::chrono::steady_clock::now();
    bool interrupted = false;
    char buffer[4096];
    struct pollfd p[2] = {{out[0], POLLIN, 0}, {errors ? err[0] : -1, POLLIN, 0}};
    int open = errors ? 2 : 1;
    while (open > 0) {
        if (poll(p, 2, 120000) <= 0)
            break;
        for (int i = 0; i < 2; ++i) {
            if (p[i].fd < 0 || !p[i].revents)
                continue;
            const ssize_t n = read(p[i].fd, buffer, sizeof(buffer));
            if (n <= 0) {
                close(p[i].fd);
                p[i].fd = -1;
                --open;
                continue;
            }
            (i ? *errors : r.output).append(buffer, (size_t)n);
        }
        const std::string& watched = errors ? *errors : r.output;
        if (!interrupted && !interruptAfter.empty() && watched.find(interruptAfter) != std::string::npos) {
            usleep(200000); // well inside the pass
            interruptedAt = std::chrono::steady_clock::now();
            kill(child, SIGINT);
            interrupted = true;
        }
    }
    for (const struct pollfd& left : p)
        if (left.fd >= 0)
            close(left.fd);
    int status = 0;
    waitpid(child, &status, 0);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - interruptedAt).count();
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

// Python's own parsers read a report back and hold it to the schema (format: json or csv;
// kind: pass, fail or stop, the outcome the run must have). 0 when it holds.
int CheckReport(const std::string& report, const std::string& format, const std::string& kind,
                const TestFolder& folder)
{
    const std::string file = folder.File(("report." + format).c_str());
    if (!WriteWholeFile(file, report))
        return -1;
    const std::string command =
        "/usr/bin/python3 '" QM_REPORT_CHECK "' " + format + " " + kind + " < '" + file + "'";
    return system(command.c_str());
}

const std::string kBanner = "QuellmorCmd [1.00] http://www.velantix.com/quellmor/\n";
const char kResult[] = "Performing write test\\.\nPerforming read test\\.\nread: ([0-9]+) write: ([0-9]+)\n";

bool FolderExists(const std::string& path) { return std::filesystem::exists(path); }
} // namespace

TEST(NativeCmd, RunPrintsRatesLogsAndLeavesNothingBehind)
{
    TestFolder folder("native_run");
    Result r = RunCmd({"-d", folder.Path(), "-s", "16", "-b", "1024"}, folder.Path());
    ASSERT_EQ(r.exitCode, 0) << r.output;
    ASSERT_EQ(r.output.compare(0, kBanner.size(), kBanner), 0) << r.output;
    // On a disk no note comes before the figures; a temporary folder in memory gets its note.
    const std::string note =
        FormatCacheNote(ProbeCacheBypass(folder.File("probe.bin").c_str()), folder.File("QuellmorTest"));
    ASSERT_EQ(r.output.compare(kBanner.size(), note.size(), note), 0) << r.output;
    std::smatch m;
    const std::string rest = r.output.substr(kBanner.size() + note.size());
    ASSERT_TRUE(std::regex_match(rest, m, std::regex(kResult))) << r.output;
    const std::string log = ReadWholeFile(folder.File("QuellmorCmd.txt"));
    EXPECT_TRUE(std::regex_match(
        log, std::regex("[^\t\r\n]+ [0-9:]+( ?[AP]M)?\tread:\t[0-9.]+ [kMGTP]?Byte/sec\t" + m[1].str() +
                        "\twrite:\t[0-9.]+ [kMGTP]?Byte/sec\t" + m[2].str() + "\r\n")))
        << log;
    EXPECT_FALSE(FolderExists(folder.File("QuellmorTest")));
}

TEST(NativeCmd, DefaultFolderIsTheCurrentOneAndExitCodes)
{
    TestFolder folder("native_codes");
    // A file where the test folder would go proves where the program looked: nowhere else.
    ASSERT_TRUE(WriteWholeFile(folder.File("QuellmorTest"), "in the way"));
    Result blocked = RunCmd({"-s", "1", "-l", "0"}, folder.Path());
    EXPECT_EQ(blocked.exitCode, 3);
    EXPECT_EQ(blocked.output,
              kBanner + "Can't create test folder ./QuellmorTest.\nError 3 - Not a directory.\n");

    EXPECT_EQ(RunCmd({"-x"}, folder.Path()).exitCode, 1);
    Result usage = RunCmd({"-s", "5", "-q"}, folder.Path());
    EXPECT_EQ(usage.output, kBanner + "   @<file> [command file]\n   -d . [Drive for testing]\n"
                                      "   -s 5 [File size in MB]\n   -b 1024 [Block size in kB]\n"
                                      "   -l 1 [Create log file]\n   -r 0 [Random passes]\n"
                                      "   -o [Report: json or csv]\n   -n 1 [Number of runs]\n"
                                      "   -v 0 [Verify the data read]\n   -f 0 [Fill the free space]\n");
    EXPECT_EQ(RunCmd({"-b", "5000000", "-l", "0"}, folder.Path()).exitCode, 2);
    EXPECT_EQ(RunCmd({"-s", "0", "-l", "0"}, folder.Path()).exitCode, 0);
    EXPECT_FALSE(FolderExists(folder.File("QuellmorCmd.txt")));
}

TEST(NativeCmd, CtrlCStopsThePassAndCleansUp)
{
    TestFolder folder("native_sigint");
    // 4 GiB with the cache bypassed takes seconds on any disk; the interrupt comes well before.
    Result r =
        RunCmd({"-d", folder.Path(), "-s", "4096", "-b", "1024"}, folder.Path(), "Performing write test.\n");
    EXPECT_EQ(r.exitCode, 4) << r.output;
    EXPECT_EQ(r.output.find("Performing read test."), std::string::npos) << r.output;
    EXPECT_LT(r.seconds, 3.0);
    EXPECT_FALSE(FolderExists(folder.File("QuellmorTest")));
    // The record of the stopped run still ends its line, without results.
    const std::string log = ReadWholeFile(folder.File("QuellmorCmd.txt"));
    EXPECT_EQ(log.find("read:"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

TEST(NativeCmd, FullDiskEndsWithExitFourAndRemovesFileAndFolder)
{
    ScratchMount mount(ScratchMount::kSmallExt4);
    SKIP_UNLESS_MOUNTED(mount);
    TestFolder folder("native_full");
    Result r = RunCmd({"-d", mount.Point(), "-s", "64", "-l", "0"}, folder.Path());
    EXPECT_EQ(r.exitCode, 4) << r.output;
    // The space is taken when the file is sized, so the disk shows full there already.
    EXPECT_NE(r.output.find("Can't set new file end at 64 MBytes.\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Can't write full test file " + mount.Point() +
                            "/QuellmorTest/QuellmorTest.bin\nWin32Error: 112 - No space left on device - "
                            "BlockSize: 0x100000 - FilePosition 0x"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(FolderExists(mount.Point() + "/QuellmorTest"));
}

TEST(NativeCmd, UnalignedBlockIsRefusedWhenTheCacheIsBypassed)
{
    ScratchMount mount(ScratchMount::kFourKExt4);
    SKIP_UNLESS_MOUNTED(mount);
    TestFolder folder("native_align");
    // 2 KiB is no multiple of the 4 KiB sectors: the transfer is refused, as Windows refuses it.
    Result r = RunCmd({"-d", mount.Point(), "-s", "1", "-b", "2", "-l", "0"}, folder.Path());
    EXPECT_EQ(r.exitCode, 4) << r.output;
    EXPECT_NE(r.output.find("Win32Error: 87 - Invalid argument - BlockSize: 0x800 - FilePosition 0x0"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(FolderExists(mount.Point() + "/QuellmorTest"));
    // 4 KiB blocks suit it.
    EXPECT_EQ(RunCmd({"-d", mount.Point(), "-s", "1", "-b", "4", "-l", "0"}, folder.Path()).exitCode, 0);
}

TEST(NativeCmd, FileSystemsWithoutDirectIoSaySoBeforeTheFigures)
{
    TestFolder folder("native_cache");
    const struct {
        ScratchMount::Kind kind;
        int bypass;
    } cases[] = {{ScratchMount::kRamfs, kBypassRefused}, {ScratchMount::kJournalExt4, kBypassIgnored}};
    int ran = 0;
    for (const auto& c : cases) {
        ScratchMount mount(c.kind);
        if (!mount.Mounted())
            continue;
        ++ran;
        Result r = RunCmd({"-d", mount.Point(), "-s", "8", "-l", "0"}, folder.Path());
        EXPECT_EQ(r.exitCode, 0) << r.output;
        const std::string note = FormatCacheNote(c.bypass, mount.Point() + "/QuellmorTest");
        ASSERT_FALSE(note.empty());
        EXPECT_EQ(r.output.compare(0, kBanner.size() + note.size(), kBanner + note), 0) << r.output;
        EXPECT_TRUE(std::regex_match(r.output.substr(kBanner.size() + note.size()), std::regex(kResult)))
            << r.output;
        EXPECT_FALSE(FolderExists(mount.Point() + "/QuellmorTest"));
    }
    // /dev/shm is tmpfs on Linux: memory, whatever O_DIRECT does there.
    if (std::filesystem::is_directory("/dev/shm")) {
        TestFolder shm("native_shm");
        const std::string place = "/dev/shm/" + std::filesystem::path(shm.Path()).filename().string();
        std::filesystem::create_directory(place);
        Result r = RunCmd({"-d", place, "-s", "8", "-l", "0"}, folder.Path());
        std::filesystem::remove_all(place);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_NE(r.output.find(FormatCacheNote(kBypassMemory, place + "/QuellmorTest")), std::string::npos)
            << r.output;
        ++ran;
    }
    if (!ran)
        GTEST_SKIP() << "no file system without direct I/O could be had";
}

TEST(NativeCmd, RandomPassesAndTheirJsonReport)
{
    TestFolder folder("native_random");
    std::string errors;
    Result r = RunCmd({"-d", folder.Path(), "-s", "32", "-r", "1", "-o", "json"}, folder.Path(), "", &errors);
    ASSERT_EQ(r.exitCode, 0) << errors;
    EXPECT_EQ(CheckReport(r.output, "json", "pass", folder), 0) << r.output;
    // The console text goes to standard error.
    ExpectRandomPassesReported(r.output, errors, "\n");
    EXPECT_FALSE(FolderExists(folder.File("QuellmorTest")));
    // The log record is the sequential one, as without the random passes.
    const std::string log = ReadWholeFile(folder.File("QuellmorCmd.txt"));
    EXPECT_TRUE(
        std::regex_match(log, std::regex("[^\t]+\tread:\t[^\t]+\t[0-9]+\twrite:\t[^\t]+\t[0-9]+\r\n")))
        << log;
}

TEST(NativeCmd, FullDiskRunAsReports)
{
    ScratchMount mount(ScratchMount::kSmallExt4);
    SKIP_UNLESS_MOUNTED(mount);
    TestFolder folder("native_report_fail");
    for (const char* format : {"json", "csv"}) {
        std::string errors;
        Result r =
            RunCmd({"-d", mount.Point(), "-s", "64", "-l", "0", "-o", format}, folder.Path(), "", &errors);
        EXPECT_EQ(r.exitCode, 4) << errors;
        EXPECT_EQ(CheckReport(r.output, format, "fail", folder), 0) << r.output;
        EXPECT_NE(r.output.find("sequential-write"), std::string::npos) << r.output;
        // The loop-mounted ext4 is named, in either format.
        const char* target =
            format[0] == 'j' ? "\"file_system\": \"ext4\",\n    \"device\": \"/dev/loop" : ",ext4,/dev/loop";
        EXPECT_NE(r.output.find(target), std::string::npos) << r.output;
        EXPECT_NE(errors.find("Can't write full test file"), std::string::npos) << errors;
        EXPECT_FALSE(FolderExists(mount.Point() + "/QuellmorTest"));
    }
}

TEST(NativeCmd, InterruptedRunAsReport)
{
    TestFolder folder("native_report_stop");
    std::string errors;
    Result r = RunCmd({"-d", folder.Path(), "-s", "4096", "-l", "0", "-o", "json"}, folder.Path(),
                      "Performing write test.\n", &errors);
    EXPECT_EQ(r.exitCode, 4) << errors;
    EXPECT_EQ(CheckReport(r.output, "json", "stop", folder), 0) << r.output;
    EXPECT_FALSE(FolderExists(folder.File("QuellmorTest")));
}

// Honesty on a device of known speed: the loop volume is throttled to exact rates, so each figure
// has one right answer. The throttle lets about a tenth of a second's worth through at once and
// then holds the rate in slices of 100 ms, so every pass lasts three seconds or more.
TEST(NativeCmdHonesty, SequentialFiguresMatchTheThrottle)
{
    const uint64_t kMiB = 1 << 20;
    C_Throttle throttle;
    throttle.readBytesPerSecond = 32 * kMiB;
    throttle.writeBytesPerSecond = 24 * kMiB;
    throttle.imageMiB = 256;
    ThrottledVolume volume{throttle};
    if (!volume.Ready())
        GTEST_SKIP() << volume.Why();
    TestFolder logs("native_honesty");
    Result r = RunCmd({"-d", volume.Path(), "-s", "112", "-b", "1024"}, logs.Path());
    ASSERT_EQ(r.exitCode, 0) << r.output;
    // The log's figures carry a decimal, the printed ones only whole MiB/s.
    const std::string log = ReadWholeFile(logs.File("QuellmorCmd.txt"));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(log, m,
                                  std::regex("\tread:\t([0-9.]+) MByte/sec\t[0-9]+\twrite:\t([0-9.]+) "
                                             "MByte/sec\t")))
        << log;
    const double read = std::stod(m[1].str()) * kMiB, written = std::stod(m[2].str()) * kMiB;
    EXPECT_NEAR(read, throttle.readBytesPerSecond, throttle.readBytesPerSecond * 0.05)
        << read / kMiB << " MiB/s read";
    EXPECT_NEAR(written, throttle.writeBytesPerSecond, throttle.writeBytesPerSecond * 0.05)
        << written / kMiB << " MiB/s written";
}

// The random mode reads at random a file it wrote in full in the same run: a read of a block
// never written is answered by the file system with zeros and never reaches the device, which
// would show here as more reads per second than the throttle lets through. The write limit keeps
// the random writes to a small part of the file's blocks.
TEST(NativeCmdHonesty, RandomReadIopsMatchTheThrottle)
{
    C_Throttle throttle;
    throttle.readIops = 1500;
    throttle.writeIops = 400;
    ThrottledVolume volume{throttle};
    if (!volume.Ready())
        GTEST_SKIP() << volume.Why();
    const std::string output =
        CommandOutput(std::string("'" QM_BENCH_EXE "' '") + volume.Path() + "' 64 random 2>&1");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(output, m, std::regex("figure random-read-iops ([0-9.]+)"))) << output;
    const double iops = std::stod(m[1].str());
    EXPECT_NEAR(iops, throttle.readIops, throttle.readIops * 0.05) << output;
}

// The check as a user runs it on drives that lie (a FUSE file system with no page cache that
// claims more than it keeps) and on one that does not.
TEST(NativeCmdCheck, FillOfAnHonestDrivePassesWithExitZero)
{
    const uint64_t MiB = 1 << 20;
    FakeDrive drive("wrap", 96 * MiB, 96 * MiB);
    MOUNT_OR_SKIP(drive);
    TestFolder folder("native_check_honest");
    Result r = RunCmd({"-d", drive.Path(), "-f", "1", "-l", "0"}, folder.Path());
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(std::regex_search(r.output,
                                  std::regex("read: [0-9]+ write: [0-9]+\nverify: ok, [0-9]+ MiB intact\n$")))
        << r.output;
    EXPECT_FALSE(FolderExists(drive.Path() + "/QuellmorCheck"));
}

TEST(NativeCmdCheck, FillOfADriveWhoseAddressesWrapExitsFiveWithMovedData)
{
    const uint64_t MiB = 1 << 20;
    FakeDrive drive("wrap", 256 * MiB, 64 * MiB);
    MOUNT_OR_SKIP(drive);
    TestFolder folder("native_check_wrap");
    Result r = RunCmd({"-d", drive.Path(), "-f", "1", "-l", "0"}, folder.Path());
    EXPECT_EQ(r.exitCode, 5) << r.output;
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(r.output, m,
                          std::regex("\nverify: FAILED, ([0-9]+) of ([0-9]+) MiB intact, first bad at 0 MiB "
                                     "\\(moved ([0-9]+) MiB\\)\n$")))
        << r.output;
    // The last lap over the real 64 MiB holds intact data, within a chunk (a 200th of the fill).
    const long intact = std::stol(m[1].str()), checked = std::stol(m[2].str());
    EXPECT_NEAR(intact, 64, checked / 200 + 1) << r.output;
    EXPECT_NEAR(std::stol(m[3].str()), checked - intact, 1) << r.output;
    EXPECT_FALSE(FolderExists(drive.Path() + "/QuellmorCheck"));
}

// A fill past a GiB with its report on standard output: the progress goes to standard error and
// the report carries the verdict; Ctrl+C ends a fill at once and removes what it wrote.
TEST(NativeCmdCheck, FillProgressAndReportAndCtrlC)
{
    TestFolder folder("native_check_fill");
    std::string errors;
    Result r = RunCmd({"-d", folder.Path(), "-f", "1", "-s", "1100", "-o", "json", "-l", "0"}, folder.Path(),
                      std::string(), &errors);
    EXPECT_EQ(r.exitCode, 0) << errors;
    EXPECT_NE(errors.find("Performing write test.\nfilled 1 of 1.1 GiB\nPerforming read test.\n"
                          "verified 1 of 1.1 GiB\nread: "),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("\nverify: ok, 1100 MiB intact\n"), std::string::npos) << errors;
    EXPECT_EQ(CheckReport(r.output, "json", "check", folder), 0) << r.output;
    EXPECT_FALSE(FolderExists(folder.File("QuellmorCheck")));

    Result stopped = RunCmd({"-d", folder.Path(), "-f", "1", "-s", "4096", "-l", "0"}, folder.Path(),
                            "Performing write test.\n");
    EXPECT_EQ(stopped.exitCode, 4) << stopped.output;
    EXPECT_EQ(stopped.output.find("verify:"), std::string::npos) << stopped.output;
    EXPECT_LT(stopped.seconds, 3.0);
    EXPECT_FALSE(FolderExists(folder.File("QuellmorCheck")));
}
