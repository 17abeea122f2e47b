// The search on a drive letter under Windows: the emulated CD-ROM (built from the generated
// images) answers the same commands a drive answers through pass-through, and a drive
// letter that is a hard disk gives the not-a-CD message.
#include <gtest/gtest.h>
#include <windows.h>
#include "app/pages/file/FastestFile.h"
#include "app/pages/file/cdfs/CdfsDrive.h"
#include "core/ErrorCodes.h"
#include "devices/emulated/EmulatedCdRom.h"
#include "tests/app/file/cdfs/CdfsTestDisc.h"
#include "tests/app/file/cdfs/CountedCdRom.h"

namespace {
std::string ImagePath(const std::string& name)
{
    std::string p = "Z:" + FixturePath(name + ".iso");
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}
} // namespace

TEST(CdfsSearch, AnEmulatedCdGivesTheFarthestOutFileOfItsListing)
{
    C_EmulatedCdRom cd(ImagePath("joliet"), {3000, 4000});
    const std::vector<C_ListedFile> files = ReadListing("joliet", 'E');
    for (uint64_t minimum : {0ull, 1000ull, 3000ull}) {
        std::string path, message;
        EXPECT_TRUE(CDFSSearch('E', minimum, path, message, &cd)) << message;
        EXPECT_EQ(path, ListedFarthest(files, minimum));
        EXPECT_EQ(message, "");
    }
    std::string path, message;
    EXPECT_FALSE(CDFSSearch('E', 3001, path, message, &cd));
    EXPECT_EQ(path, "");
    EXPECT_NE(message, "");
}

TEST(CdfsSearch, AnEnhancedCdIsSearchedInItsLastTrackAndAnAudioDiscFindsNothing)
{
    C_EmulatedCdRom enhanced(ImagePath("enhanced"), {300, 300}, 1);
    ASSERT_EQ(enhanced.TrackStarts(), (std::vector<uint64_t>{0, 300, 600}));
    std::string path, message;
    EXPECT_TRUE(CDFSSearch('E', 1000, path, message, &enhanced)) << message;
    EXPECT_EQ(path, "E:\\SUB\\Long file name.bin");

    C_EmulatedCdRom audio("", {3000, 4000});
    const uint32_t before = audio.commands;
    EXPECT_FALSE(CDFSSearch('E', 0, path, message, &audio));
    EXPECT_EQ(path, "");
    EXPECT_EQ(audio.commands - before, 1u) << "only READ TOC goes to an audio disc";
}

TEST(CdfsSearch, AnUnreadableRootDirectoryFindsNothing)
{
    C_EmulatedCdRom cd(ImagePath("plain"), {});
    std::string path, message;
    ASSERT_TRUE(CDFSSearch('E', 0, path, message, &cd));
    // The plain image's root directory lies in the sector the primary descriptor names.
    std::vector<uint8_t> descriptor = ReadFileBytes(FixturePath("plain.iso"));
    const uint32_t root = descriptor[16 * 2048 + 158] | descriptor[16 * 2048 + 159] << 8;
    cd.faults.Inject(root, kErrorCrc);
    EXPECT_FALSE(CDFSSearch('E', 0, path, message, &cd));
    EXPECT_EQ(path, "");
    EXPECT_EQ(cd.faults.hits, 1u);
}

TEST(CdfsSearch, ADamagedTreeIsReadWithinTheDataTrackOnceAndStillNamesTheRightFile)
{
    // Audio follows the data track: sectors from kCraftedSectors on are not data.
    const std::string image = WriteTempImage("qm-crafted.iso", CraftedDisc().Image(kCraftedSectors));
    ASSERT_FALSE(image.empty());
    C_CountedCdRom cd(image, {3000});
    std::string path, message;
    EXPECT_TRUE(CDFSSearch('E', 0, path, message, &cd)) << message;
    EXPECT_EQ(path, "E:\\NEXT\\C");
    const std::map<uint32_t, uint32_t>& asked = cd.asked;
    ASSERT_FALSE(asked.empty());
    EXPECT_LT(asked.rbegin()->first, kCraftedSectors) << "a sector past the data track was asked for";
    for (const auto& a : asked)
        EXPECT_LE(a.second, a.first == 23 ? 2u : 1u) << "sector " << a.first;
    EXPECT_LE(cd.reads.load(), 2 + kCraftedDirectoryReads); // the descriptor and the terminator
    DeleteFileA(image.c_str());
}

TEST(CdfsSearch, AHardDiskLetterIsNotACdRomDrive)
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof(windows));
    const char letter = windows[0];
    const char root[4] = {letter, ':', '\\', 0};
    ASSERT_EQ(GetDriveTypeA(root), UINT(DRIVE_FIXED));
    std::string path, message;
    EXPECT_FALSE(CDFSSearch(letter, 0, path, message));
    EXPECT_EQ(message, CdfsNotCdMessage(letter));
    EXPECT_EQ(path, "");
}
