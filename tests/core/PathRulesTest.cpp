// Path rules with both separators, and the console's cache note.
#include <gtest/gtest.h>
#include "core/CacheNote.h"
#include "core/PathRules.h"

namespace {
typedef std::vector<std::string> Folders;
}

TEST(PathRules, FolderChainOnWindowsPaths)
{
    EXPECT_EQ(FolderChain("C:\\QuellmorTest\\QuellmorTest.bin", 1, '\\'), Folders{"C:\\QuellmorTest"});
    // The console's default "C:\" doubles the backslash; the empty step is the drive again.
    EXPECT_EQ(FolderChain("C:\\\\QuellmorTest\\QuellmorTest.bin", 1, '\\'),
              (Folders{"C:\\", "C:\\\\QuellmorTest"}));
    EXPECT_EQ(FolderChain("C:\\a\\b", 0, '\\'), (Folders{"C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderChain("C:\\", 0, '\\'), Folders{}); // a bare root is not made
    EXPECT_EQ(FolderChain("\\\\server\\share\\dir\\f.bin", 1, '\\'),
              (Folders{"\\\\server", "\\\\server\\share", "\\\\server\\share\\dir"}));
    EXPECT_EQ(FolderChain("", 0, '\\'), Folders{});
    EXPECT_EQ(FolderChain("plain", 1, '\\'), Folders{});
}

TEST(PathRules, FolderChainOnPosixPaths)
{
    EXPECT_EQ(FolderChain("/mnt/usb/QuellmorTest/QuellmorTest.bin", 1, '/'),
              (Folders{"/mnt", "/mnt/usb", "/mnt/usb/QuellmorTest"}));
    EXPECT_EQ(FolderChain("./QuellmorTest/QuellmorTest.bin", 1, '/'), (Folders{".", "./QuellmorTest"}));
    EXPECT_EQ(FolderChain("/", 0, '/'), Folders{});
    EXPECT_EQ(FolderChain("a/b", 0, '/'), (Folders{"a", "a/b"}));
    // A backslash is an ordinary character on POSIX.
    EXPECT_EQ(FolderChain("C:\\x/y", 1, '/'), Folders{"C:\\x"});
}

TEST(PathRules, TestFilePathAndItsFolder)
{
    EXPECT_EQ(TestFilePathIn("E:", '\\'), "E:\\QuellmorTest\\QuellmorTest.bin");
    EXPECT_EQ(TestFilePathIn("C:\\", '\\'), "C:\\\\QuellmorTest\\QuellmorTest.bin");
    EXPECT_EQ(TestFilePathIn(".", '/'), "./QuellmorTest/QuellmorTest.bin");
    EXPECT_EQ(FolderOfPath("E:\\QuellmorTest\\QuellmorTest.bin", '\\'), "E:\\QuellmorTest");
    EXPECT_EQ(FolderOfPath("/mnt/QuellmorTest/QuellmorTest.bin", '/'), "/mnt/QuellmorTest");
    EXPECT_EQ(FolderOfPath("plain", '/'), "");
    EXPECT_EQ(CheckFilePathIn("E:", 0, '\\'), "E:\\QuellmorCheck\\0001.bin");
    EXPECT_EQ(CheckFilePathIn("/mnt/usb", 9999, '/'), "/mnt/usb/QuellmorCheck/10000.bin");
}

TEST(CacheNote, SaysWhenTheFiguresAreNotTheDevice)
{
    EXPECT_EQ(FormatCacheNote(kBypassDevice, "/mnt"), "");
    EXPECT_EQ(FormatCacheNote(kBypassRefused, "/mnt/t"),
              "Note: the file system of /mnt/t refuses to bypass the cache, so the test runs buffered.\n"
              "The figures come from the page cache, not from the device.\n");
    EXPECT_EQ(FormatCacheNote(kBypassIgnored, "Z:\\t"),
              "Note: the cache bypass is not honoured for Z:\\t.\n"
              "The figures come from the page cache, not from the device.\n");
    EXPECT_EQ(FormatCacheNote(kBypassMemory, "/dev/shm/t"),
              "Note: /dev/shm/t lies on a file system held in memory.\nThe figures are memory speed, not a "
              "device's.\n");
}
