// The console run in-process: outputs, exit codes, the log record and the cleanup, with
// failures injected through the file seam.
// The same tests run on the Win32 library (under Wine) and natively on the POSIX one.
#include <gtest/gtest.h>
#include <algorithm>
#include <regex>
#include "cmd/ConsoleRun.h"
#include "cmd/ConsoleRules.h"
#include "core/File.h"
#include "core/FileHook.h"
#include "core/System.h"
#include "core/Text.h"
#include "core/VolumeFacts.h"
#include "core/engines/EngineTable.h"
#include "core/engines/NullEngine.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"

namespace {
struct Injector {
    int failWriteAt = -1; // 0-based transfer index of the write pass that fails
    uint32_t error = kErrorDiskFull;
    int interruptAt = -1; // transfer index after which Ctrl+C is "pressed"
    std::atomic<int>* interrupted = nullptr;
    int transfers = 0;
    int blockTransfers = 0; // transfers of one whole 1 MiB block (not the log record)
    static int Hook(C_FileHookCall& call, void* context)
    {
        Injector* in = (Injector*)context;
        if (call.op != kHookWrite && call.op != kHookRead)
            return -1;
        if (call.op == kHookWrite && in->transfers == in->failWriteAt) {
            ++in->transfers;
            SetLastErrorCode(in->error);
            return 0;
        }
        in->blockTransfers += call.size == (1u << 20);
        if (in->transfers == in->interruptAt && in->interrupted)
            in->interrupted->store(1);
        ++in->transfers;
        return -1;
    }
};

class ConsoleRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldCwd = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.Path());
        // Where the file system does not let the cache be bypassed (Wine, memory), a run
        // says so first; that note is tested on its own, so the other tests take it off.
        m_note = FormatCacheNote(ProbeCacheBypass(m_folder.File("probe.bin").c_str()), TestFolderPath());
    }
    void TearDown() override
    {
        SetFileHook(nullptr, nullptr);
        SetNullEngineScript(nullptr);
        std::filesystem::current_path(m_oldCwd);
    }
    int Run(const std::string& arguments, std::atomic<int>* interrupted = nullptr)
    {
        m_output.clear();
        C_ConsoleRun run(interrupted, [this](const std::string& t) { m_output += t; });
        int code = run.Run("QuellmorCmd.exe " + arguments);
        // The banner comes first (a Windows test program has no version resource, so 1.01).
        uint32_t major = 0, minor = 0;
        GetOwnVersionNumbers(&major, &minor);
        const std::string banner =
            FormatTitle("QuellmorCmd", major, minor) + " http://www.velantix.com/quellmor/\n";
        EXPECT_EQ(m_output.compare(0, banner.size(), banner), 0) << m_output;
        m_output.erase(0, banner.size());
        if (!m_note.empty() && m_output.compare(0, m_note.size(), m_note) == 0)
            m_output.erase(0, m_note.size());
        return code;
    }
    // A run whose report takes the output: the console text goes to m_errors instead.
    int RunReport(const std::string& arguments, std::atomic<int>* interrupted = nullptr)
    {
        m_output.clear();
        m_errors.clear();
        C_ConsoleRun run(
            interrupted, [this](const std::string& t) { m_output += t; },
            [this](const std::string& t) { m_errors += t; });
        return run.Run("QuellmorCmd.exe " + arguments);
    }
    std::string Log() const { return ReadWholeFile(m_folder.File("QuellmorCmd.txt")); }
    std::string Drive() const { return "\"" + m_folder.Path() + "\""; }
    std::string TestFolderPath() const { return m_folder.File("QuellmorTest"); }
    std::string TestFilePath() const
    {
        return TestFolderPath() + TestFolder::Separator() + "QuellmorTest.bin";
    }

    TestFolder m_folder{"cmdrun"};
    std::filesystem::path m_oldCwd;
    std::string m_output;
    std::string m_errors;
    std::string m_note;
};

const std::regex kDateTime("[^\t\r\n]+ [0-9]{1,2}:[0-9]{2}(:[0-9]{2})?( ?[AP]M)?");
} // namespace

TEST_F(ConsoleRunTest, CompleteRunPrintsRatesLogsAndCleansUp)
{
    ASSERT_EQ(Run("-d " + Drive() + " -s 4 -b 64"), kExitOk);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(
        m_output, m,
        std::regex("Performing write test.\nPerforming read test.\nread: ([0-9]+) write: ([0-9]+)\n")))
        << m_output;
    std::string log = Log();
    ASSERT_TRUE(std::regex_match(
        log, std::regex("[^\t\r\n]+ [0-9]{1,2}:[0-9]{2}(:[0-9]{2})?( ?[AP]M)?\tread:\t([0-9.]+ "
                        "[kMGTP]?Byte/sec|\\[too fast\\])\t" +
                        m[1].str() + "\twrite:\t([0-9.]+ [kMGTP]?Byte/sec|\\[too fast\\])\t" + m[2].str() +
                        "\r\n")))
        << log;
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));
    // A second run appends a second record on its own line.
    ASSERT_EQ(Run("-d " + Drive() + " -s 1 -b 1024"), kExitOk);
    std::string two = Log();
    EXPECT_EQ(two.compare(0, log.size(), log), 0);
    EXPECT_EQ(std::count(two.begin(), two.end(), '\n'), 2);
}

TEST_F(ConsoleRunTest, NoTestForZeroSizesAndNoLogWhenAskedNot)
{
    ASSERT_EQ(Run("-d " + Drive() + " -s 0"), kExitOk);
    EXPECT_EQ(m_output, "");
    std::string log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_TRUE(std::regex_match(log.substr(0, log.size() - 2), kDateTime)) << log;
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));

    DeleteFileForce(m_folder.File("QuellmorCmd.txt").c_str());
    ASSERT_EQ(Run("-d " + Drive() + " -s 2 -b 0 -l 0"), kExitOk);
    EXPECT_FALSE(FileExists(m_folder.File("QuellmorCmd.txt").c_str()));
    ASSERT_EQ(Run("-d " + Drive() + " -s 2 -b 1024 -l 2"), kExitOk);
    EXPECT_FALSE(FileExists(m_folder.File("QuellmorCmd.txt").c_str()));
}

TEST_F(ConsoleRunTest, BadCommandLinesPrintTheUsageOnly)
{
    const std::string usageTail =
        "   -s 1000 [File size in MB]\n   -b 1024 [Block size in kB]\n   -l 1 [Create log file]\n"
        "   -r 0 [Random passes]\n   -o [Report: json or csv]\n   -n 1 [Number of runs]\n"
        "   -v 0 [Verify the data read]\n   -f 0 [Fill the free space]\n";
    EXPECT_EQ(Run("-x 1"), kExitUsage);
    EXPECT_EQ(m_output, "   @<file> [command file]\n   -d " + std::string(DefaultTestFolder()) +
                            " [Drive for testing]\n" + usageTail);
    EXPECT_EQ(Run("@"), kExitUsage);
    EXPECT_EQ(Run("@missing.txt"), kExitUsage);
    EXPECT_EQ(Run("-s 7 -q"), kExitUsage);
    EXPECT_NE(m_output.find("   -s 7 [File size in MB]\n"), std::string::npos);
    EXPECT_FALSE(FileExists(m_folder.File("QuellmorCmd.txt").c_str()));
}

TEST_F(ConsoleRunTest, RefusedValuesAndUnusableFolders)
{
    EXPECT_EQ(Run("-d " + Drive() + " -s 4 -b 4194304"), kExitBadValue);
    EXPECT_EQ(m_output, "Invalid block size 4194304 kB (at most 4194303 kB).\n");
    EXPECT_EQ(Run("-d " + Drive() + " -s 17592186044416"), kExitBadValue);
    EXPECT_EQ(Run("-d " + Drive() + " -s -3"), kExitBadValue);

    // A folder below a file can be made on no system.
    ASSERT_TRUE(WriteWholeFile(m_folder.File("blocker"), "x"));
    const std::string below = m_folder.File("blocker") + TestFolder::Separator() + "sub";
    EXPECT_EQ(Run("-d \"" + below + "\" -s 1"), kExitCannotStart);
    EXPECT_EQ(m_output.find("Can't create test folder " + below + TestFolder::Separator() +
                            "QuellmorTest.\nError "),
              0u)
        << m_output;
    // The records of runs that did not complete still end their lines.
    std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);
    EXPECT_EQ(log.find("\t"), std::string::npos);
}

TEST_F(ConsoleRunTest, DiskFullDuringWriteRemovesFileAndFolder)
{
    Injector in;
    in.failWriteAt = 2;
    SetFileHook(Injector::Hook, &in);
    EXPECT_EQ(Run("-d " + Drive() + " -s 4 -b 1024"), kExitPassFailed);
    EXPECT_EQ(m_output.find("Performing write test.\nCan't write full test file " + TestFilePath() +
                            "\nWin32Error: 112 - "),
              0u)
        << m_output;
    EXPECT_NE(m_output.find("FilePosition 0x200000 - FileSize 0x400000.\n"), std::string::npos);
    EXPECT_EQ(m_output.find("Performing read test."), std::string::npos);
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));
    std::string log = Log();
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    EXPECT_EQ(log.find("read:"), std::string::npos);
}

TEST_F(ConsoleRunTest, NullEngineFiguresReachTheOutputAndTheLog)
{
    C_NullScript script;
    script.bytesPerSecond = 50.0 * 1048576;
    SetNullEngineScript(&script);
    ASSERT_EQ(Run("-d " + Drive() + " -s 4 -b 64"), kExitOk);
    EXPECT_EQ(m_output, "Performing write test.\nPerforming read test.\nread: 50 write: 50\n");
    const std::string log = Log();
    EXPECT_NE(log.find("\tread:\t50.0 MByte/sec\t50\twrite:\t50.0 MByte/sec\t50\r\n"), std::string::npos)
        << log;

    // A write that fails after two blocks: today's text, no read, and the failed pass's code.
    script.failure.op = kOpWrite;
    script.failure.error = kErrorDiskFull;
    script.failure.position = 2u << 20;
    script.failAfter = 2;
    EXPECT_EQ(Run("-d " + Drive() + " -s 4 -b 1024"), kExitPassFailed);
    EXPECT_EQ(m_output, "Performing write test.\nCan't write full test file " + TestFilePath() +
                            "\nWin32Error: 112 - " + ErrorText(kErrorDiskFull) +
                            " - BlockSize: 0x100000 - FilePosition 0x200000 - FileSize 0x400000.\n");
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));
}

TEST_F(ConsoleRunTest, FolderWithOtherFilesStays)
{
    std::filesystem::create_directory(TestFolderPath());
    const std::string keep = TestFolderPath() + TestFolder::Separator() + "keep.txt";
    ASSERT_TRUE(WriteWholeFile(keep, "mine"));
    ASSERT_EQ(Run("-d " + Drive() + " -s 1 -b 256"), kExitOk);
    EXPECT_TRUE(FileExists(keep.c_str()));
    EXPECT_FALSE(FileExists(TestFilePath().c_str()));
}

TEST_F(ConsoleRunTest, InterruptStopsThePassAndCleansUp)
{
    std::atomic<int> interrupted{0};
    Injector in;
    in.interruptAt = 3;
    in.interrupted = &interrupted;
    SetFileHook(Injector::Hook, &in);
    EXPECT_EQ(Run("-d " + Drive() + " -s 64 -b 1024", &interrupted), kExitPassFailed);
    EXPECT_EQ(in.blockTransfers, 4);
    EXPECT_EQ(m_output, "Performing write test.\n");
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));
}

TEST_F(ConsoleRunTest, CommandFilesOfEveryShape)
{
    ASSERT_TRUE(
        WriteWholeFile(m_folder.File("ok.txt"), "-s 2\r\n\r\n-b 512\r\n-d " + Drive())); // no final line end
    ASSERT_EQ(Run("@ok.txt -l 0"), kExitOk) << m_output;
    EXPECT_NE(m_output.find("read: "), std::string::npos);

    std::string longLine(20000, 'z');
    ASSERT_TRUE(WriteWholeFile(m_folder.File("long.txt"), "-s 0\n" + longLine + "\n-d \"unclosed"));
    EXPECT_EQ(Run("@long.txt -l 0"), kExitOk); // free words and an open quote do not fail
    EXPECT_EQ(m_output, "");
    ASSERT_TRUE(WriteWholeFile(m_folder.File("bad.txt"), "-s 0\n-what\n"));
    EXPECT_EQ(Run("@bad.txt -l 0"), kExitUsage);
    ASSERT_TRUE(WriteWholeFile(m_folder.File("self.txt"), "@self.txt @self.txt\n"));
    EXPECT_EQ(Run("@self.txt -l 0"), kExitUsage);
}

TEST_F(ConsoleRunTest, RandomPassesFollowTheSequentialLine)
{
    C_NullScript script;
    script.bytesPerSecond = 50.0 * 1048576;
    script.iops = 2500;
    SetNullEngineScript(&script);
    ASSERT_EQ(Run("-d " + Drive() + " -s 4 -b 64 -r 1"), kExitOk);
    // The null engine times nothing, so its latencies are all zero.
    const std::string latency = " latency-us p50 0.0 p90 0.0 p99 0.0 p99.9 0.0 max 0.0\n";
    EXPECT_EQ(m_output, "Performing write test.\nPerforming read test.\nread: 50 write: 50\n"
                        "random-write: IOPS 2500.0" +
                            latency + "random-read: IOPS 2500.0" + latency);
    // The log record is the sequential one, as without the random passes.
    const std::string log = Log();
    EXPECT_TRUE(std::regex_match(
        log, std::regex("[^\t]+\tread:\t50.0 MByte/sec\t50\twrite:\t50.0 MByte/sec\t50\r\n")))
        << log;
}

TEST_F(ConsoleRunTest, ReportsTakeTheOutputAndRepeatsAreSummarised)
{
    C_NullScript script;
    script.bytesPerSecond = 50.0 * 1048576;
    SetNullEngineScript(&script);
    ASSERT_EQ(RunReport("-d " + Drive() + " -s 4 -b 64 -r 1 -n 3 -o json"), kExitOk);
    ASSERT_FALSE(m_output.empty());
    EXPECT_EQ(m_output.front(), '{');
    EXPECT_EQ(m_output.compare(m_output.size() - 2, 2, "}\n"), 0) << m_output;
    EXPECT_EQ(m_output.find("Performing"), std::string::npos);
    EXPECT_NE(m_output.find("\"runs\": 3"), std::string::npos) << m_output;
    // The folder's volume, as the class library knows it.
    C_VolumeFacts volume;
    ASSERT_EQ(GetVolumeFacts(m_folder.Path().c_str(), &volume), 1);
    EXPECT_NE(volume.fileSystem, "");
    EXPECT_NE(m_output.find("\"file_system\": \"" + volume.fileSystem + "\""), std::string::npos) << m_output;
    int complete = 0;
    for (size_t at = 0; (at = m_output.find("\"outcome\": \"complete\"", at)) != std::string::npos; ++at)
        ++complete;
    EXPECT_EQ(complete, 3);
    EXPECT_NE(m_output.find("\"name\": \"random-read\""), std::string::npos);
    // The console text, with one summary line per figure, goes to standard error.
    EXPECT_EQ(m_errors.find("QuellmorCmd ["), 0u) << m_errors;
    EXPECT_NE(m_errors.find("read: 50 write: 50\nrandom-write: IOPS 1000.0"), std::string::npos) << m_errors;
    EXPECT_NE(
        m_errors.find("summary: sequential-read bytes_per_second median 52428800.0 best 52428800.0 spread "
                      "0.0% of 3 runs\n"),
        std::string::npos)
        << m_errors;
    const std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3); // a record per run

    // A failing write: the failure as data in the report, one run, the failed pass's code.
    script.failure.op = kOpWrite;
    script.failure.error = kErrorDiskFull;
    script.failure.position = 2u << 20;
    script.failAfter = 2;
    EXPECT_EQ(RunReport("-d " + Drive() + " -s 4 -b 1024 -n 3 -o csv -l 0"), kExitPassFailed);
    EXPECT_EQ(std::count(m_output.begin(), m_output.end(), '\n'), 2) << m_output; // header and one run
    EXPECT_NE(m_output.find(",failed,"), std::string::npos) << m_output;
    EXPECT_NE(m_output.find(",sequential-write,write,2097152,112,"), std::string::npos) << m_output;
    EXPECT_NE(m_errors.find("Can't write full test file"), std::string::npos) << m_errors;
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));

    // An unknown format is no report: the refusal is plain console text.
    EXPECT_EQ(RunReport("-o xml"), kExitBadValue);
    EXPECT_NE(m_output.find("/\nInvalid output format xml (json or csv).\n"), std::string::npos) << m_output;
    EXPECT_EQ(m_errors, "");
}

TEST_F(ConsoleRunTest, InterruptedRunIsReportedAsSuch)
{
    std::atomic<int> interrupted{0};
    Injector in;
    in.interruptAt = 3;
    in.interrupted = &interrupted;
    SetFileHook(Injector::Hook, &in);
    EXPECT_EQ(RunReport("-d " + Drive() + " -s 64 -b 1024 -o json -l 0", &interrupted), kExitPassFailed);
    EXPECT_NE(m_output.find("\"outcome\": \"interrupted\""), std::string::npos) << m_output;
    EXPECT_NE(m_output.find("\"failure\": null"), std::string::npos) << m_output;
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));
}

TEST_F(ConsoleRunTest, CheckPrintsTheVerifyLineAndExitsFiveOnLostData)
{
    const uint64_t MiB = 1 << 20;
    C_NullScript script;
    script.bytesPerSecond = 50.0 * 1048576;
    script.freeBytes = 4096 * MiB;
    SetNullEngineScript(&script);
    ASSERT_EQ(Run("-d " + Drive() + " -s 1000 -v 1"), kExitOk);
    EXPECT_EQ(m_output, "Performing write test.\nPerforming read test.\nread: 50 write: 50\n"
                        "verify: ok, 1000 MiB intact\n");
    EXPECT_NE(Log().find("\tread:\t50.0 MByte/sec\t50\twrite:\t50.0 MByte/sec\t50\r\n"), std::string::npos);

    script.lossKind = kStampMoved;
    script.lossAt = 256 * MiB;
    EXPECT_EQ(Run("-d " + Drive() + " -s 1024 -v 1"), kExitDataLost);
    EXPECT_EQ(m_output, "Performing write test.\nPerforming read test.\nread: 50 write: 50\n"
                        "verify: FAILED, 256 of 1024 MiB intact, first bad at 256 MiB (moved 768 MiB)\n");

    // A fill: all the free space but the margin, its progress per GiB; -s limits it.
    script.lossKind = kStampIntact;
    script.freeBytes = 3072 * MiB;
    ASSERT_EQ(Run("-d " + Drive() + " -f 1"), kExitOk);
    EXPECT_EQ(m_output, "Performing write test.\nfilled 1 of 3.0 GiB\nfilled 2 of 3.0 GiB\n"
                        "Performing read test.\nverified 1 of 3.0 GiB\nverified 2 of 3.0 GiB\n"
                        "read: 50 write: 50\nverify: ok, 3052 MiB intact\n");
    ASSERT_EQ(Run("-d " + Drive() + " -f 1 -s 512"), kExitOk);
    EXPECT_EQ(m_output, "Performing write test.\nPerforming read test.\nread: 50 write: 50\n"
                        "verify: ok, 512 MiB intact\n");
    EXPECT_EQ(Run("-d " + Drive() + " -f 1 -s 0"), kExitOk);
    EXPECT_EQ(m_output, "");

    // A write failure ends the check with the failed pass's code; so does Ctrl+C.
    script.failure.op = kOpWrite;
    script.failure.error = kErrorDiskFull;
    script.failAfter = 1;
    EXPECT_EQ(Run("-d " + Drive() + " -s 64 -v 1"), kExitPassFailed);
    EXPECT_EQ(m_output.find("Performing write test.\nCan't write full test file"), 0u) << m_output;
    EXPECT_EQ(m_output.find("verify:"), std::string::npos);
    script.failure.op = kOpNone;
    std::atomic<int> interrupted{1};
    EXPECT_EQ(Run("-d " + Drive() + " -s 64 -v 1", &interrupted), kExitPassFailed);
    EXPECT_EQ(m_output, "Performing write test.\n");

    // The check writes and removes files of its own: no random passes go with it.
    EXPECT_EQ(Run("-d " + Drive() + " -f 1 -r 1"), kExitBadValue);
    EXPECT_EQ(m_output, "Random passes (-r 1) do not run with the check (-v 1 or -f 1).\n");
}

TEST_F(ConsoleRunTest, CheckReportsCarryTheVerdictAsData)
{
    const uint64_t MiB = 1 << 20;
    C_NullScript script;
    script.freeBytes = 4096 * MiB;
    script.lossKind = kStampLost;
    script.lossAt = 256 * MiB;
    SetNullEngineScript(&script);
    EXPECT_EQ(RunReport("-d " + Drive() + " -s 1024 -v 1 -o json -l 0"), kExitDataLost);
    EXPECT_NE(m_output.find("\"verify\": true,"), std::string::npos) << m_output;
    EXPECT_NE(m_output.find("\"outcome\": \"complete\""), std::string::npos);
    EXPECT_NE(m_output.find("\"intact\": false"), std::string::npos);
    EXPECT_NE(m_output.find("\"lost_bytes\": 805306368"), std::string::npos);
    EXPECT_NE(m_output.find("\"first_bad_byte\": 268435456"), std::string::npos);
    EXPECT_NE(m_errors.find("verify: FAILED, 256 of 1024 MiB intact, first bad at 256 MiB (lost 768 MiB)\n"),
              std::string::npos)
        << m_errors;

    EXPECT_EQ(RunReport("-d " + Drive() + " -s 1024 -v 1 -o csv -l 0"), kExitDataLost);
    EXPECT_NE(m_output.find(",verify_intact,verify_checked_bytes,"), std::string::npos) << m_output;
    EXPECT_NE(m_output.find(",false,1073741824,268435456,0,805306368,0,268435456,"), std::string::npos)
        << m_output;
}

TEST_F(ConsoleRunTest, CheckOnARealFolderVerifiesAndLeavesNothing)
{
    const std::string checkFolder = m_folder.File("QuellmorCheck");
    ASSERT_EQ(Run("-d " + Drive() + " -s 8 -b 256 -v 1"), kExitOk);
    EXPECT_NE(m_output.find("read: "), std::string::npos) << m_output;
    EXPECT_NE(m_output.find("\nverify: ok, 8 MiB intact\n"), std::string::npos) << m_output;
    EXPECT_FALSE(IsDirectory(checkFolder.c_str()));
    EXPECT_FALSE(IsDirectory(TestFolderPath().c_str()));

    // Ctrl+C during the fill: the files it made go too.
    std::atomic<int> interrupted{0};
    Injector in;
    in.interruptAt = 3;
    in.interrupted = &interrupted;
    SetFileHook(Injector::Hook, &in);
    EXPECT_EQ(Run("-d " + Drive() + " -s 64 -b 1024 -f 1", &interrupted), kExitPassFailed);
    EXPECT_EQ(m_output, "Performing write test.\n");
    EXPECT_FALSE(IsDirectory(checkFolder.c_str()));
}
