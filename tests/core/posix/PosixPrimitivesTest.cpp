// The POSIX class library on its own terms: open modes, the cache bypass and its alignment,
// errno as Win32 numbers and texts, folders, threads and events.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/System.h"
#include "core/Thread.h"
#include "core/Timer.h"
#include "core/VolumeFacts.h"
#include "core/posix/ErrorMap.h"
#include "tests/common/TestFolder.h"
#include "tests/common/WholeFile.h"
#include "tests/core/posix/ScratchMount.h"

TEST(PosixFile, OpenModesLikeTheWin32Table)
{
    TestFolder folder("posix_modes");
    const std::string path = folder.File("f.bin");
    C_File file;
    EXPECT_EQ(file.Open(path.c_str(), kOpenRead, 0, kShareReadWrite), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorFileNotFound);
    EXPECT_EQ(file.Open(path.c_str(), kOpenWriteExisting, 0, kShareReadWrite), 0);
    EXPECT_EQ(file.Open(path.c_str(), kOpenWriteNew + 1, 0, kShareReadWrite), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidParameter);

    ASSERT_EQ(file.Open(path.c_str(), kOpenWriteCreate, 0, kShareReadWrite), 1);
    ASSERT_EQ(file.Write(5, "hello"), 1);
    ASSERT_EQ(file.Seek(kSeekBegin, 4096), 1);
    ASSERT_EQ(file.SetEnd(), 1);
    uint64_t size = 0;
    ASSERT_EQ(file.GetSize(&size), 1);
    EXPECT_EQ(size, 4096u);
    EXPECT_EQ(file.Flush(), 1);
    EXPECT_EQ(file.Close(), 1);
    EXPECT_EQ(file.Close(), 0);

    // Mode 3 keeps the content and appends at the end; mode 1 empties the file again.
    ASSERT_EQ(file.Open(path.c_str(), kOpenWriteAlways, 0, kShareReadWrite), 1);
    ASSERT_EQ(file.Seek(kSeekEnd, 0), 1);
    ASSERT_EQ(file.Write(3, "end"), 1);
    file.Close();
    const std::string content = ReadWholeFile(path);
    ASSERT_EQ(content.size(), 4099u);
    EXPECT_EQ(content.substr(0, 5), "hello");
    EXPECT_EQ(content.substr(4096), "end");

    ASSERT_EQ(file.Open(path.c_str(), kOpenReadWriteExisting, 0, kShareReadWrite), 1);
    char got[5] = {};
    ASSERT_EQ(file.ReadAt(0, 5, got), 1);
    EXPECT_EQ(std::string(got, 5), "hello");
    EXPECT_EQ(file.ReadAt(4096, 5, got), 0); // past the end: a short read
    EXPECT_EQ(GetLastErrorCode(), kErrorHandleEof);
    EXPECT_EQ(file.Seek(kSeekBegin, -1), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidParameter);
    file.Close();
    ASSERT_EQ(file.Open(path.c_str(), kOpenWriteCreate, 0, kShareReadWrite), 1);
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "");
}

TEST(PosixFile, BypassedTransfersKeepTheAlignment)
{
    TestFolder folder("posix_direct");
    const std::string path = folder.File("d.bin");
    C_AlignedBuffer buffer;
    ASSERT_TRUE(buffer.Allocate(8192));
    memset(buffer.Get(), 0x33, 8192);
    C_File file;
    ASSERT_EQ(file.Open(path.c_str(), kOpenReadWriteAlways, kOpenNoBuffering, kShareReadWrite), 1);
    // 1000 bytes, an odd buffer address, an odd offset: each refused before the system sees it.
    EXPECT_EQ(file.Write(1000, buffer.Get()), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidParameter);
    EXPECT_EQ(file.WriteAt(0, 4096, (char*)buffer.Get() + 1), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidParameter);
    EXPECT_EQ(file.WriteAt(100, 4096, buffer.Get()), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidParameter);
    uint64_t size = 1;
    ASSERT_EQ(file.GetSize(&size), 1);
    EXPECT_EQ(size, 0u); // nothing was written by the refused transfers
    EXPECT_EQ(file.Write(8192, buffer.Get()), 1);
    EXPECT_EQ(file.ReadAt(4096, 4096, buffer.Get()), 1);
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), std::string(8192, '\x33'));
}

TEST(PosixFile, CacheBypassOfEachKindOfFileSystem)
{
    TestFolder folder("posix_probe");
    // The build tree (the tests' working folder) lies on a disk.
    const std::string probe = (std::filesystem::current_path() / "qm_probe.bin").string();
    EXPECT_EQ(ProbeCacheBypass(probe.c_str()), kBypassDevice);
    EXPECT_FALSE(FileExists(probe.c_str())); // the probe leaves nothing behind
    ASSERT_TRUE(WriteWholeFile(folder.File("kept.bin"), "x"));
    ProbeCacheBypass(folder.File("kept.bin").c_str());
    EXPECT_EQ(ReadWholeFile(folder.File("kept.bin")), "x");

    ScratchMount ram(ScratchMount::kRamfs);
    SKIP_UNLESS_MOUNTED(ram);
    const std::string path = ram.Point() + "/r.bin";
    EXPECT_EQ(ProbeCacheBypass(path.c_str()), kBypassRefused);
    // Refused: the file runs buffered, so any size goes through.
    C_File file;
    ASSERT_EQ(file.Open(path.c_str(), kOpenWriteCreate, kOpenNoBuffering, kShareReadWrite), 1);
    EXPECT_EQ(file.Write(1000, std::string(1000, 'b').data()), 1);
    // ramfs cannot allocate ahead; the end is set all the same.
    ASSERT_EQ(file.Seek(kSeekBegin, 1 << 20), 1);
    EXPECT_EQ(file.SetEnd(), 1);
    uint64_t size = 0;
    EXPECT_EQ(file.GetSize(&size), 1);
    EXPECT_EQ(size, 1u << 20);
    file.Close();
    ScratchMount journal(ScratchMount::kJournalExt4);
    SKIP_UNLESS_MOUNTED(journal);
    EXPECT_EQ(ProbeCacheBypass((journal.Point() + "/j.bin").c_str()), kBypassIgnored);
}

TEST(PosixHelpers, VolumeFactsOfMountedFileSystems)
{
    C_VolumeFacts facts;
    EXPECT_EQ(GetVolumeFacts("/no/such/folder", &facts), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorFileNotFound);
    EXPECT_EQ(facts.fileSystem, "");
    // The memory file system here holds no block device, so it is on no USB port either.
    TestFolder folder("posix_volume");
    const std::string shm = "/dev/shm/" + std::filesystem::path(folder.Path()).filename().string();
    std::filesystem::create_directory(shm);
    const int got = GetVolumeFacts(shm.c_str(), &facts);
    std::filesystem::remove_all(shm);
    ASSERT_EQ(got, 1);
    EXPECT_EQ(facts.fileSystem, "tmpfs");
    EXPECT_EQ(facts.usbSpeedClass, -1);

    ScratchMount small(ScratchMount::kSmallExt4);
    SKIP_UNLESS_MOUNTED(small);
    ASSERT_EQ(GetVolumeFacts(small.Point().c_str(), &facts), 1);
    EXPECT_EQ(facts.fileSystem, "ext4");
    EXPECT_EQ(facts.device.compare(0, 9, "/dev/loop"), 0) << facts.device;
    EXPECT_EQ(facts.usbSpeedClass, -1);
    ScratchMount ram(ScratchMount::kRamfs);
    SKIP_UNLESS_MOUNTED(ram);
    ASSERT_EQ(GetVolumeFacts(ram.Point().c_str(), &facts), 1);
    EXPECT_EQ(facts.fileSystem, "ramfs");
}

TEST(PosixFile, FullDiskIsDiskFull)
{
    ScratchMount small(ScratchMount::kSmallExt4);
    SKIP_UNLESS_MOUNTED(small);
    C_AlignedBuffer buffer;
    ASSERT_TRUE(buffer.Allocate(1 << 20));
    C_File file;
    ASSERT_EQ(
        file.Open((small.Point() + "/big.bin").c_str(), kOpenWriteCreate, kOpenNoBuffering, kShareReadWrite),
        1);
    // Setting an end the disk cannot hold is refused at once, and the length stays.
    ASSERT_EQ(file.Seek(kSeekBegin, 64 << 20), 1);
    EXPECT_EQ(file.SetEnd(), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorDiskFull);
    uint64_t size = 1;
    ASSERT_EQ(file.GetSize(&size), 1);
    EXPECT_EQ(size, 0u);
    // One that fits takes its blocks now, so writes into it never allocate.
    ASSERT_EQ(file.Seek(kSeekBegin, 2 << 20), 1);
    ASSERT_EQ(file.SetEnd(), 1);
    struct stat st;
    ASSERT_EQ(stat((small.Point() + "/big.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 2 << 20);
    EXPECT_GE((uint64_t)st.st_blocks * 512, 2u << 20);
    ASSERT_EQ(file.Seek(kSeekBegin, 0), 1);
    int blocks = 0;
    while (blocks < 64 && file.Write(1 << 20, buffer.Get()))
        ++blocks;
    EXPECT_GE(blocks, 2);
    EXPECT_LT(blocks, 8);
    EXPECT_EQ(GetLastErrorCode(), kErrorDiskFull);
}

TEST(PosixErrors, ErrnoBecomesWin32NumbersAndTexts)
{
    EXPECT_EQ(ErrorFromErrno(ENOSPC), kErrorDiskFull);
    EXPECT_EQ(ErrorFromErrno(ENOENT), kErrorFileNotFound);
    EXPECT_EQ(ErrorFromErrno(EINVAL), kErrorInvalidParameter);
    EXPECT_EQ(ErrorFromErrno(0), kErrorSuccess);
    EXPECT_EQ(ErrnoFromError(kErrorDiskFull), ENOSPC);
    // An errno without a Win32 number keeps its own, and its text.
    EXPECT_EQ(ErrorFromErrno(EXDEV), kErrorFromErrno + EXDEV);
    char text[260];
    ASSERT_NE(GetWin32ErrorText(kErrorFromErrno + EXDEV, text), nullptr);
    EXPECT_STREQ(text, strerror(EXDEV));
    EXPECT_STREQ(GetWin32ErrorText(kErrorDiskFull, text), "No space left on device");
    EXPECT_STREQ(GetWin32ErrorText(kErrorHandleEof, nullptr), "Reached the end of the file");
    EXPECT_EQ(GetWin32ErrorText(4242, text), nullptr);
    // The string form the messages use: the same text, empty where there is none.
    EXPECT_EQ(ErrorText(kErrorDiskFull), "No space left on device");
    EXPECT_EQ(ErrorText(4242), "");
    // Each thread has its own last error.
    SetLastErrorCode(7);
    std::atomic<uint32_t> other{1};
    C_Thread t;
    ASSERT_EQ(t.Start(
                  [](void* p, uintptr_t) -> uint32_t {
                      ((std::atomic<uint32_t>*)p)->store(GetLastErrorCode());
                      return 0;
                  },
                  &other, 0),
              1);
    t.Wait(0);
    EXPECT_EQ(other.load(), 0u);
    EXPECT_EQ(GetLastErrorCode(), 7u);
}

TEST(PosixHelpers, FoldersFilesAndSpecialFolders)
{
    TestFolder folder("posix_helpers");
    const std::string deep = folder.File("a") + "/b/c";
    EXPECT_EQ(CreateDirectoryTree((deep + "/file.bin").c_str(), 1), 1);
    EXPECT_TRUE(IsDirectory(deep.c_str()));
    EXPECT_EQ(CreateDirectoryTree(deep.c_str(), 0), 1); // already there counts as made
    ASSERT_TRUE(WriteWholeFile(deep + "/x", "12345"));
    uint32_t low = 0, high = 9;
    ASSERT_EQ(GetFileSizeByName((deep + "/x").c_str(), &low, &high), 1);
    EXPECT_EQ(low, 5u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(CreateDirectoryTree((deep + "/x/y").c_str(), 0), 0); // below a file
    EXPECT_EQ(GetLastErrorCode(), kErrorPathNotFound);
    EXPECT_EQ(RemoveFolder(deep.c_str()), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorDirNotEmpty);
    std::filesystem::permissions(deep + "/x", std::filesystem::perms::owner_read);
    EXPECT_EQ(DeleteFileForce((deep + "/x").c_str()), 1); // read-only or not
    EXPECT_FALSE(FileExists((deep + "/x").c_str()));
    EXPECT_EQ(RemoveFolder(deep.c_str()), 1);

    char path[260];
    ASSERT_EQ(GetSpecialFolder(kFolderCurrent, path), 1);
    EXPECT_EQ(path[strlen(path) - 1], '/');
    ASSERT_EQ(GetSpecialFolder(kFolderTemp, path), 1);
    EXPECT_EQ(path[strlen(path) - 1], '/');
    EXPECT_EQ(GetSpecialFolder(kFolderWindows, path), 0);
    EXPECT_EQ(PathSeparator(), '/');
    EXPECT_STREQ(DefaultTestFolder(), ".");
}

namespace {
uint32_t WaitForEvent(void* event, uintptr_t argument)
{
    return ((C_Event*)event)->Wait(0) ? (uint32_t)argument : 0;
}
} // namespace

TEST(PosixThreads, EventsThreadsAndTheTimer)
{
    C_Event manual, automatic;
    ASSERT_EQ(manual.Create(1, 0), 1);
    ASSERT_EQ(automatic.Create(0, 0), 1);
    EXPECT_EQ(automatic.Wait(30), 0); // times out
    C_Thread a, b;
    ASSERT_EQ(a.Start(WaitForEvent, &manual, 11), 1);
    ASSERT_EQ(b.Start(WaitForEvent, &manual, 12), 1);
    EXPECT_EQ(a.Start(WaitForEvent, &manual, 13), 0); // already running
    uint32_t code = 0;
    EXPECT_EQ(a.GetExitCode(&code), 0);
    EXPECT_EQ(a.Wait(50), 0);
    manual.Set(); // releases both
    ASSERT_EQ(a.Wait(0), 1);
    b.Wait(5000); // 0 at once when b ended first
    EXPECT_EQ(b.IsRunning(), 0);
    ASSERT_EQ(a.GetExitCode(&code), 1);
    EXPECT_EQ(code, 11u);
    ASSERT_EQ(b.GetExitCode(&code), 1);
    EXPECT_EQ(code, 12u);
    // An auto-reset event lets one waiter through per Set.
    automatic.Set();
    EXPECT_EQ(automatic.Wait(10), 1);
    EXPECT_EQ(automatic.Wait(10), 0);

    C_Timer timer;
    timer.Start();
    SleepMs(120);
    const uint32_t ms = timer.Stop();
    EXPECT_GE(ms, 120u);
    EXPECT_LT(ms, 1000u);
    EXPECT_EQ(timer.GetMicroseconds(), (uint64_t)ms * 1000);
}

TEST(PosixThreads, TerminatedWaiterLeavesTheEventUsable)
{
    C_Event gate;
    ASSERT_EQ(gate.Create(1, 0), 1);
    C_Thread stuck;
    ASSERT_EQ(stuck.Start(WaitForEvent, &gate, 5), 1);
    SleepMs(50); // parked inside the wait
    stuck.Terminate();
    EXPECT_EQ(stuck.IsRunning(), 0);
    SleepMs(100); // the cancellation has run by now
    // A lock left held by the cancelled waiter would hang here; the alarm turns that into a
    // failure instead.
    alarm(20);
    EXPECT_EQ(gate.Set(), 1);
    EXPECT_EQ(gate.Wait(10), 1);
    C_Thread next;
    ASSERT_EQ(next.Start(WaitForEvent, &gate, 6), 1);
    ASSERT_EQ(next.Wait(0), 1);
    uint32_t code = 0;
    ASSERT_EQ(next.GetExitCode(&code), 1);
    EXPECT_EQ(code, 6u);
    alarm(0);
}

TEST(PosixSystem, CommandLineVersionAndInterrupt)
{
    const std::string line = GetProcessCommandLine();
    EXPECT_NE(line.find("posix_primitives_tests"), std::string::npos) << line;
    uint32_t major = 0, minor = 0;
    GetOwnVersionNumbers(&major, &minor);
    EXPECT_EQ(major, 1u);
    EXPECT_EQ(minor, 0u);
    EXPECT_FALSE(FormatLocalDateTime().empty());
    std::atomic<int> interrupted{0};
    InstallInterruptHandler(&interrupted);
    raise(SIGINT);
    EXPECT_EQ(interrupted.load(), 1);
}
