// C_File and the free file helpers on real files in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <vector>
#include "core/File.h"
#include "core/FileHook.h"
#include "core/Random.h"
#include "core/System.h"
#include "core/VolumeFacts.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"

namespace {
struct TransferLog {
    std::vector<uint32_t> sizes;
    int failFirstWith = 0; // error for the first transfer, 0 for none
};

int FailFirstTransfer(C_FileHookCall& call, void* context)
{
    TransferLog* log = (TransferLog*)context;
    if (call.op != kHookRead && call.op != kHookWrite)
        return -1;
    log->sizes.push_back(call.size);
    if (log->sizes.size() == 1 && log->failFirstWith) {
        SetLastErrorCode(log->failFirstWith);
        return 0;
    }
    return -1;
}

struct HookScope {
    HookScope(C_FileHook hook, void* context) { SetFileHook(hook, context); }
    ~HookScope() { SetFileHook(nullptr, nullptr); }
};
} // namespace

TEST(File, OpenModesAndInvalidMode)
{
    TestFolder folder("open");
    const std::string path = folder.File("a.bin");
    C_File f;
    EXPECT_EQ(f.Open(path.c_str(), kOpenRead, 0, kShareReadWrite), 0);
    EXPECT_EQ(GetLastErrorCode(), (uint32_t)ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(f.Open(path.c_str(), kOpenWriteNew + 1, 0, kShareReadWrite), 0);
    EXPECT_EQ(f.Open(path.c_str(), -1, 0, kShareReadWrite), 0);
    EXPECT_FALSE(FileExists(path.c_str())); // an invalid mode touches nothing

    ASSERT_EQ(f.Open(path.c_str(), kOpenWriteCreate, 0, kShareReadWrite), 1);
    EXPECT_EQ(f.Write(5, "hello"), 1);
    EXPECT_EQ(f.GetMode(), kOpenWriteCreate);
    EXPECT_EQ(f.Close(), 1);
    EXPECT_EQ(f.Close(), 0);

    ASSERT_EQ(f.Open(path.c_str(), kOpenWriteAlways, 0, kShareReadWrite), 1);
    EXPECT_EQ(f.Seek(kSeekEnd, 0), 1);
    EXPECT_EQ(f.Write(6, " world"), 1);
    ASSERT_EQ(f.Open(path.c_str(), kOpenReadWriteExisting, 0, kShareReadWrite), 1);
    uint64_t size = 0;
    EXPECT_EQ(f.GetSize(&size), 1);
    EXPECT_EQ(size, 11u);
    char text[12] = {};
    EXPECT_EQ(f.Read(11, text), 1);
    EXPECT_STREQ(text, "hello world");
    // Reading past the end is a failure, not a silent short read.
    EXPECT_EQ(f.Read(1, text), 0);
    uint32_t got = 99;
    EXPECT_EQ(f.ReadSome(4, text, &got), 1);
    EXPECT_EQ(got, 0u);
    f.Close();
    EXPECT_EQ(f.Seek(kSeekBegin, 0), 0); // nothing open
    EXPECT_EQ(f.DeviceControl(0x2D1400, nullptr, 0, nullptr, 0, nullptr, nullptr), 0);
}

TEST(File, PositionedTransfersAndSeekAtLowWordAllOnes)
{
    TestFolder folder("seek");
    const std::string path = folder.File("b.bin");
    C_File f;
    ASSERT_EQ(f.Open(path.c_str(), kOpenReadWriteAlways, 0, kShareReadWrite), 1);
    // A position whose low word is 0xFFFFFFFF looks like the failure value but is not one.
    EXPECT_EQ(f.Seek(kSeekBegin, 0xFFFFFFFFll), 1);
    EXPECT_EQ(f.Seek(kSeekBegin, 0x1FFFFFFFFll), 1);
    EXPECT_EQ(f.Seek(kSeekBegin, -1), 0);

    EXPECT_EQ(f.WriteAt(8192, 4, "WXYZ"), 1);
    EXPECT_EQ(f.WriteAt(0, 4, "ABCD"), 1);
    char got[5] = {};
    EXPECT_EQ(f.ReadAt(8192, 4, got), 1);
    EXPECT_STREQ(got, "WXYZ");
    EXPECT_EQ(f.ReadAt(0, 4, got), 1);
    EXPECT_STREQ(got, "ABCD");
    EXPECT_EQ(f.ReadAt(8194, 4, got), 0); // runs past the end
    uint64_t size = 0;
    EXPECT_EQ(f.GetSize(&size), 1);
    EXPECT_EQ(size, 8196u);
    EXPECT_EQ(f.Seek(kSeekBegin, 100), 1);
    EXPECT_EQ(f.SetEnd(), 1);
    EXPECT_EQ(f.Flush(), 1);
    EXPECT_EQ(f.GetSize(&size), 1);
    EXPECT_EQ(size, 100u);
}

TEST(File, RefusedLargeTransferIsRepeatedInOneMiBPieces)
{
    TestFolder folder("pieces");
    const std::string path = folder.File("c.bin");
    std::vector<char> data(8 << 20);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (char)(i * 31 + i / 4096);
    C_File f;
    ASSERT_EQ(f.Open(path.c_str(), kOpenWriteCreate, 0, kShareReadWrite), 1);
    TransferLog log;
    log.failFirstWith = ERROR_NO_SYSTEM_RESOURCES;
    {
        HookScope hook(FailFirstTransfer, &log);
        EXPECT_EQ(f.Write((uint32_t)data.size(), data.data()), 1);
    }
    ASSERT_EQ(log.sizes.size(), 9u);
    EXPECT_EQ(log.sizes[0], 8u << 20);
    for (size_t i = 1; i < 9; ++i)
        EXPECT_EQ(log.sizes[i], 1u << 20);

    ASSERT_EQ(f.Open(path.c_str(), kOpenRead, 0, kShareReadWrite), 1);
    std::vector<char> back(data.size() + 100);
    // 8 MiB + 100 bytes: eight full pieces and a short one.
    log = TransferLog();
    log.failFirstWith = ERROR_NO_SYSTEM_RESOURCES;
    {
        HookScope hook(FailFirstTransfer, &log);
        EXPECT_EQ(f.Read((uint32_t)data.size() + 100, back.data()), 0); // the last piece finds the end
    }
    EXPECT_EQ(log.sizes.size(), 10u);
    EXPECT_EQ(log.sizes.back(), 100u);
    back.resize(data.size());
    EXPECT_TRUE(back == data);

    // Any other error is not retried.
    ASSERT_EQ(f.Seek(kSeekBegin, 0), 1);
    log = TransferLog();
    log.failFirstWith = ERROR_CRC;
    {
        HookScope hook(FailFirstTransfer, &log);
        EXPECT_EQ(f.Read(4 << 20, back.data()), 0);
    }
    EXPECT_EQ(GetLastErrorCode(), (uint32_t)ERROR_CRC);
    EXPECT_EQ(log.sizes.size(), 1u);
}

TEST(File, MapReadsTheFileAndFailureClosesIt)
{
    TestFolder folder("map");
    const std::string path = folder.File("m.bin");
    ASSERT_TRUE(WriteWholeFile(path, std::string(70000, 'q') + "END"));
    C_File f;
    ASSERT_EQ(f.Open(path.c_str(), kOpenRead, 0, kShareReadWrite), 1);
    const char* view = (const char*)f.Map(0, 70003, nullptr, kMapRead);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(view + 70000, 3), "END");
    // A second view replaces the first; 65536 is the allocation granularity.
    view = (const char*)f.Map(65536, 70003 - 65536, nullptr, kMapRead);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(view + 70000 - 65536, 3), "END");
    // An offset beyond the file fails and closes everything.
    EXPECT_EQ(f.Map(1ull << 32, 4096, nullptr, kMapRead), nullptr);
    EXPECT_FALSE(f.IsOpen());
}

TEST(File, ReadLineOnRealFiles)
{
    TestFolder folder("lines");
    const std::string path = folder.File("cmd.txt");
    std::string content = "-s 500\r\n\"a\r\nb\"\r\n" + std::string(4094, 'x') + "\r\nlast";
    ASSERT_TRUE(WriteWholeFile(path, content));
    C_File f;
    ASSERT_EQ(f.Open(path.c_str(), kOpenRead, 0, kShareReadWrite), 1);
    std::string line;
    ASSERT_EQ(f.ReadLine(line, 0, '"'), 1);
    EXPECT_EQ(line, "-s 500");
    ASSERT_EQ(f.ReadLine(line, 0, '"'), 1);
    EXPECT_EQ(line, "\"a\r\nb\"");
    ASSERT_EQ(f.ReadLine(line, 0, '"'), 1);
    EXPECT_EQ(line, std::string(4094, 'x'));
    ASSERT_EQ(f.ReadLine(line, 0, '"'), 1);
    EXPECT_EQ(line, "last");
    EXPECT_EQ(f.ReadLine(line, 0, '"'), 0);

    // Reopening starts from the beginning again.
    const std::string wide = folder.File("wide.txt");
    std::string w;
    for (char c : std::string("ab\r\ncd"))
        w += c, w += '\0';
    ASSERT_TRUE(WriteWholeFile(wide, w));
    ASSERT_EQ(f.Open(wide.c_str(), kOpenRead, 0, kShareReadWrite), 1);
    ASSERT_EQ(f.ReadLine(line, 1, -1), 1);
    EXPECT_EQ(line, std::string("a\0b\0", 4));
    ASSERT_EQ(f.ReadLine(line, 1, -1), 1);
    EXPECT_EQ(line, std::string("c\0d\0", 4));
}

TEST(FileHelpers, CreateDirectoryTree)
{
    TestFolder folder("tree");
    const std::string testFile = folder.Path() + "\\QuellmorTest\\QuellmorTest.bin";
    EXPECT_EQ(CreateDirectoryTree(testFile.c_str(), 1), 1);
    EXPECT_TRUE(IsDirectory((folder.Path() + "\\QuellmorTest").c_str()));
    EXPECT_FALSE(FileExists(testFile.c_str()));
    EXPECT_FALSE(IsDirectory(testFile.c_str()));
    // Existing folders count as success, and lose read-only and system bits.
    const std::string existing = folder.Path() + "\\QuellmorTest";
    SetFileAttributesA(existing.c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(CreateDirectoryTree(testFile.c_str(), 1), 1);
    DWORD attributes = GetFileAttributesA(existing.c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);

    // Flag 0: the whole path is a folder, every level is created.
    const std::string deep = folder.Path() + "\\a\\b\\c";
    EXPECT_EQ(CreateDirectoryTree(deep.c_str(), 0), 1);
    EXPECT_TRUE(IsDirectory(deep.c_str()));
    // A doubled backslash (the console's "C:\" + "\QuellmorTest") still ends in the test folder.
    const std::string doubled = folder.Path() + "\\\\x\\QuellmorTest.bin";
    EXPECT_EQ(CreateDirectoryTree(doubled.c_str(), 1), 1);
    EXPECT_TRUE(IsDirectory((folder.Path() + "\\x").c_str()));
    // A file in the way makes the last folder fail.
    ASSERT_TRUE(WriteWholeFile(folder.File("blocker"), "x"));
    EXPECT_EQ(CreateDirectoryTree((folder.Path() + "\\blocker\\QuellmorTest.bin").c_str(), 1), 1)
        << "a file of that name counts as already there";
    EXPECT_EQ(CreateDirectoryTree((folder.Path() + "\\blocker\\sub\\f.bin").c_str(), 1), 0);
    // No such drive.
    EXPECT_EQ(CreateDirectoryTree("Q:\\QuellmorTest\\QuellmorTest.bin", 1), 0);
}

TEST(FileHelpers, DeleteFileForceAndSizes)
{
    TestFolder folder("delete");
    const std::string path = folder.File("ro.bin");
    ASSERT_TRUE(WriteWholeFile(path, std::string(12345, 'r')));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    uint32_t low = 0, high = 7;
    EXPECT_EQ(GetFileSizeByName(path.c_str(), &low, &high), 1);
    EXPECT_EQ(low, 12345u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(DeleteFileForce(path.c_str()), 1);
    EXPECT_FALSE(FileExists(path.c_str()));
    EXPECT_EQ(DeleteFileForce(path.c_str()), 0);
    EXPECT_EQ(GetFileSizeByName(path.c_str(), &low, &high), 0);
    EXPECT_EQ(RemoveFolder(folder.Path().c_str()), 1);
    EXPECT_FALSE(IsDirectory(folder.Path().c_str()));
}

TEST(FileHelpers, VolumeFactsOfTheWindowsDrive)
{
    char windows[MAX_PATH];
    ASSERT_EQ(GetSpecialFolder(kFolderWindows, windows), 1);
    C_VolumeFacts facts;
    ASSERT_EQ(GetVolumeFacts(windows, &facts), 1);
    // Windows lives on NTFS, and Wine says the same of its drives.
    EXPECT_EQ(facts.fileSystem, "NTFS");
    EXPECT_EQ(facts.device.compare(0, 8, "\\Device\\"), 0) << facts.device;
    EXPECT_EQ(facts.usbSpeedClass, -1);
    EXPECT_EQ(GetVolumeFacts((std::string(windows) + "no such folder").c_str(), &facts), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(facts.fileSystem, "");
}

TEST(FileHelpers, SpecialFoldersAndBackslash)
{
    char path[MAX_PATH];
    for (uint32_t pseudo : {kFolderMachineTemp, kFolderWindows, kFolderTemp, kFolderSystem, kFolderCurrent,
                            kFolderUserProfile, kFolderProfiles}) {
        ASSERT_EQ(GetSpecialFolder(pseudo, path), 1) << std::hex << pseudo;
        size_t n = strlen(path);
        ASSERT_GT(n, 3u);
        EXPECT_EQ(path[n - 1], '\\') << path;
        EXPECT_TRUE(IsDirectory(path)) << path;
    }
    ASSERT_EQ(GetSpecialFolder(CSIDL_APPDATA, path), 1);
    EXPECT_NE(path[strlen(path) - 1], '\\');
    EXPECT_EQ(GetSpecialFolder(0xFFFF, path), 0);

    char text[8] = "C:";
    AppendBackslash(text);
    EXPECT_STREQ(text, "C:\\");
    AppendBackslash(text);
    EXPECT_STREQ(text, "C:\\");
    std::string s;
    AppendBackslash(s);
    EXPECT_EQ(s, "\\");
}

TEST(SystemText, ErrorTextsAndRandom)
{
    char buffer[260];
    const char* t = GetWin32ErrorText(ERROR_FILE_NOT_FOUND, buffer);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t, buffer);
    EXPECT_EQ(strchr(t, '\r'), nullptr);
    EXPECT_EQ(strchr(t, '\n'), nullptr);
    EXPECT_NE(t[strlen(t) - 1], ' ');
    EXPECT_GT(strlen(t), 5u) << t;
    // The shared buffer serves a null argument.
    const char* shared = GetWin32ErrorText(ERROR_ACCESS_DENIED, nullptr);
    ASSERT_NE(shared, nullptr);
    EXPECT_NE(shared, buffer);
    EXPECT_EQ(GetWin32ErrorText(0x2FFFFFFF, buffer), nullptr);

    unsigned char data[4096];
    memset(data, 0, sizeof(data));
    ASSERT_EQ(FillRandom(data, sizeof(data), 0), 1);
    int zeros = 0;
    for (unsigned char c : data)
        zeros += c == 0;
    EXPECT_LT(zeros, 64);
    ASSERT_EQ(FillRandom(data, 33, 2), 1);
    EXPECT_EQ(data[32], 0);
    for (int i = 0; i < 32; ++i)
        EXPECT_NE(strchr("0123456789abcdef", data[i]), nullptr);
}
