// The walk over volume descriptors and directory trees: real images made by genisoimage and
// xorriso, checked against isoinfo's listing of the same image, and hand-made sectors for
// the damaged and odd cases.
#include <gtest/gtest.h>
#include "tests/app/file/cdfs/CdfsTestDisc.h"

namespace {
const uint64_t kMiB = 1048576;

std::string Search(C_SectorSource& source, uint64_t minimum, uint32_t start = 0)
{
    C_CdfsSearch search;
    search.ullMinimum = minimum;
    CDFSProcessDescriptors(source, start, 'X', search);
    return search.strPath;
}

std::string SearchImage(const std::string& name, uint64_t minimum, uint32_t base = 0)
{
    static std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>> images;
    auto it = images.find(name);
    if (it == images.end())
        it = images
                 .emplace(name, std::make_shared<const std::vector<uint8_t>>(
                                    ReadFileBytes(FixturePath(name + ".iso"))))
                 .first;
    C_ImageSectors image(it->second, base);
    return Search(image, minimum, base);
}

const C_ListedFile& Listed(const std::vector<C_ListedFile>& files, const std::string& path)
{
    for (const C_ListedFile& f : files)
        if (f.path == path)
            return f;
    ADD_FAILURE() << path << " is not listed";
    static const C_ListedFile none{0, 0, ""};
    return none;
}
} // namespace

TEST(CdfsFixtures, EachImageYieldsTheFarthestOutFileOfItsListingForEveryMinimum)
{
    for (const char* name : {"plain", "joliet", "rockridge", "many", "order", "deep"}) {
        const std::vector<C_ListedFile> files = ReadListing(name, 'X');
        ASSERT_GE(files.size(), 2u) << name;
        std::vector<uint64_t> minima = {0, 1, 0xFFFFFFFFull, 0x100000000ull};
        for (const C_ListedFile& f : files) {
            minima.push_back(f.size);
            minima.push_back(f.size + 1);
        }
        for (uint64_t minimum : minima)
            EXPECT_EQ(SearchImage(name, minimum), ListedFarthest(files, minimum))
                << name << " minimum " << minimum;
    }
}

TEST(CdfsFixtures, TheSmallerOfTwoBigFilesLiesFartherOutAndWinsOnceItIsLargeEnough)
{
    const std::vector<C_ListedFile> files = ReadListing("order", 'X');
    ASSERT_GT(Listed(files, "X:\\SMALL.BIN").extent, Listed(files, "X:\\BIG.BIN").extent);
    EXPECT_EQ(SearchImage("order", 2 * kMiB), "X:\\BIG.BIN");
    EXPECT_EQ(SearchImage("order", 1 * kMiB), "X:\\SMALL.BIN");
    EXPECT_EQ(SearchImage("order", 3 * kMiB + 1), "");
}

TEST(CdfsFixtures, TheJolietTreeNamesTheFileAndPlainTreesLoseTheVersionSuffix)
{
    EXPECT_EQ(SearchImage("joliet", 1000), "X:\\SUB\\Long file name.bin");
    EXPECT_EQ(SearchImage("plain", 1000), "X:\\SUB\\LONG_FIL.BIN");
    EXPECT_EQ(SearchImage("rockridge", 1000), "X:\\SUB\\LONG_FIL.BIN");
    // isoinfo shows the raw identifiers "DATA.;1" and "README.TXT;1" of the plain image.
    EXPECT_EQ(SearchImage("plain", 20).substr(0, 3), "X:\\");
}

TEST(CdfsFixtures, FilesWhosePathExceeds259CharactersAreSkippedInADeepTree)
{
    const std::vector<C_ListedFile> files = ReadListing("deep", 'X');
    uint32_t farthest = 0;
    std::string farthestPath;
    for (const C_ListedFile& f : files)
        if (f.extent > farthest) {
            farthest = f.extent;
            farthestPath = f.path;
        }
    ASSERT_GT(farthestPath.size(), 259u) << "the fixture must put a too long path farthest out";
    const std::string found = SearchImage("deep", 0);
    EXPECT_LE(found.size(), 259u);
    EXPECT_NE(found.find("LEVEL_07_FOLDER_WITH_LONG_NAME\\FILE_07.BIN"), std::string::npos) << found;
}

TEST(CdfsFixtures, ADirectoryPointingBackAtTheRootEndsWithoutLosingTheRestOfTheTree)
{
    C_ImageSectors image(ReadFileBytes(FixturePath("cycle.iso")), 0);
    std::vector<C_ListedFile> outside;
    for (const C_ListedFile& f : ReadListing("plain", 'X'))
        if (f.path.find("\\CHILD\\") == std::string::npos)
            outside.push_back(f);
    EXPECT_EQ(Search(image, 0), ListedFarthest(outside, 0));
    EXPECT_LT(image.reads, 40u);
}

TEST(CdfsFixtures, AnEnhancedCdsDataTrackIsWalkedFromItsOwnStartSector)
{
    const std::vector<C_ListedFile> files = ReadListing("enhanced", 'X');
    ASSERT_GT(files.front().extent, 600u);
    EXPECT_EQ(SearchImage("enhanced", 0, 600), ListedFarthest(files, 0));
    EXPECT_EQ(SearchImage("enhanced", 1000, 600), "X:\\SUB\\Long file name.bin");
}

TEST(CdfsNames, VersionSuffixesJolietBytesAndUnusableNames)
{
    auto name = [](const std::string& id, int joliet) {
        std::string out;
        return CdfsRecordName(reinterpret_cast<const uint8_t*>(id.data()), uint32_t(id.size()), joliet, &out)
                   ? out
                   : std::string("<refused>");
    };
    EXPECT_EQ(name("README.TXT;1", 0), "README.TXT");
    EXPECT_EQ(name("DATA.;1", 0), "DATA");
    EXPECT_EQ(name("A;1.;1", 0), "A");
    EXPECT_EQ(name("FILE.BIN;2", 0), "FILE.BIN;2");
    EXPECT_EQ(name(C_MemoryDisc::Ucs2("Hello world.txt;1"), 1), "Hello world.txt");
    EXPECT_EQ(name(C_MemoryDisc::Ucs2("ab") + "\x01", 1), "ab");  // odd length: last byte dropped
    EXPECT_EQ(name(std::string("\x01\x41\x00\x42", 4), 1), "AB"); // low byte of each character
    EXPECT_EQ(name(std::string(200, 'N'), 0), std::string(200, 'N'));
    EXPECT_EQ(name(C_MemoryDisc::Ucs2(std::string(100, 'j')), 1), std::string(100, 'j'));
    EXPECT_EQ(name(";1", 0), "<refused>");
    EXPECT_EQ(name("A\\B", 0), "<refused>");
    EXPECT_EQ(name(std::string("A\0B", 3), 0), "<refused>");
    EXPECT_EQ(name(C_MemoryDisc::Ucs2("a/b"), 1), "<refused>");
    EXPECT_EQ(name("\x01", 1), "<refused>");
}

namespace {
using R = std::vector<uint8_t>;
R File(const std::string& name, uint32_t start, uint32_t length)
{
    return C_MemoryDisc::Record(name, start, length, false);
}
R Folder(const std::string& name, uint32_t start, uint32_t length = 2048)
{
    return C_MemoryDisc::Record(name, start, length, true);
}
R Self(uint32_t start) { return C_MemoryDisc::Record(std::string(1, '\0'), start, 2048, true); }
R Parent(uint32_t start) { return C_MemoryDisc::Record("\x01", start, 2048, true); }

// Primary descriptor at 16 with its root at 20, terminator at 17.
C_MemoryDisc PrimaryDisc(const std::vector<R>& rootRecords, uint32_t rootLength = 2048)
{
    C_MemoryDisc disc;
    disc.Descriptor(16, 1, 20, rootLength);
    disc.Terminator(17);
    std::vector<R> records = {Self(20), Parent(20)};
    records.insert(records.end(), rootRecords.begin(), rootRecords.end());
    disc.Directory(20, records);
    return disc;
}
} // namespace

TEST(CdfsWalk, TiesGoToTheLaterFileAndAZeroMinimumTakesEmptyFiles)
{
    C_MemoryDisc disc = PrimaryDisc({File("A", 30, 10), File("B", 30, 0), File("C", 29, 100)});
    EXPECT_EQ(Search(disc, 0), "X:\\B");
    EXPECT_EQ(Search(disc, 1), "X:\\A");
    EXPECT_EQ(Search(disc, 11), "X:\\C");
    EXPECT_EQ(Search(disc, 101), "");
}

TEST(CdfsWalk, ARequestOf4GiBOrMoreFindsNothingRatherThanItsLow32Bits)
{
    C_MemoryDisc disc = PrimaryDisc({File("HUGE", 30, 0xFFFFFFFFu), File("TINY", 31, 1)});
    EXPECT_EQ(Search(disc, 0xFFFFFFFFull), "X:\\HUGE");
    EXPECT_EQ(Search(disc, 0x100000000ull), "");
    EXPECT_EQ(Search(disc, 0x100000001ull), ""); // low 32 bits 1 would take TINY
}

TEST(CdfsWalk, DamagedRecordsEndTheirSectorsWalkButNotTheDirectory)
{
    // The second record claims 34 bytes but needs 33 + 5: the sector's walk ends there.
    C_MemoryDisc shortRecord =
        PrimaryDisc({File("A", 30, 1), C_MemoryDisc::Record("BBBBB", 90, 1, false, 34), File("C", 99, 1)});
    EXPECT_EQ(Search(shortRecord, 0), "X:\\A");

    // A record running past the sector end is not used; the next sector still is.
    C_MemoryDisc disc = PrimaryDisc({File("A", 30, 1)}, 4096);
    R past = File("Z", 99, 1);
    past[0] = 60;
    memcpy(&disc.At(20)[2000], past.data(), past.size());
    disc.Directory(21, {File("C", 35, 1)});
    EXPECT_EQ(Search(disc, 0), "X:\\C");
}

TEST(CdfsWalk, ARecordOfLengthZeroIsSteppedOverByItsNameLength)
{
    C_MemoryDisc disc = PrimaryDisc({C_MemoryDisc::Record("AB", 50, 1, false, 0), File("C", 60, 1)});
    EXPECT_EQ(Search(disc, 0), "X:\\C");
    C_MemoryDisc alone = PrimaryDisc({C_MemoryDisc::Record("AB", 50, 1, false, 0)});
    EXPECT_EQ(Search(alone, 0), "X:\\AB");
}

TEST(CdfsWalk, AnExtentLengthNotAMultipleOf2048StillReadsItsLastSector)
{
    C_MemoryDisc disc = PrimaryDisc({File("A", 30, 1), Folder("D", 40, 2049)});
    disc.Directory(40, {Self(40), Parent(20), File("FIRST", 50, 1)});
    disc.Directory(41, {File("LAST", 60, 1)});
    disc.Directory(21, {File("ROOTTAIL", 70, 1)}); // beyond a root of exactly 2048 bytes
    EXPECT_EQ(Search(disc, 0), "X:\\D\\LAST");
}

TEST(CdfsWalk, DescriptorsAreReadUpToTheTerminatorAHundredSectorsOrAFailedRead)
{
    C_MemoryDisc disc = PrimaryDisc({File("FIRST", 30, 1)});
    disc.Descriptor(18, 1, 22, 2048); // behind the terminator
    disc.Directory(22, {File("LATE", 99, 1)});
    EXPECT_EQ(Search(disc, 0), "X:\\FIRST");

    // Sectors without "CD001" are passed over, for at most 100 sectors from 16.
    for (uint32_t i = 16; i < 200; ++i)
        if (i != 20 && i != 22)
            disc.At(i).assign(kCdfsSectorSize, 0);
    disc.Descriptor(115, 1, 20, 2048);
    EXPECT_EQ(Search(disc, 0), "X:\\FIRST");
    disc.At(115).assign(kCdfsSectorSize, 0);
    disc.Descriptor(116, 1, 20, 2048);
    EXPECT_EQ(Search(disc, 0), "");

    C_MemoryDisc unreadable = PrimaryDisc({File("FIRST", 30, 1)});
    unreadable.sectors.erase(16);
    EXPECT_EQ(Search(unreadable, 0), "");
}

TEST(CdfsWalk, SupplementaryDescriptorsAreJolietOnlyWithTheJolietEscape)
{
    auto disc = [](const char* escape, const std::string& name) {
        C_MemoryDisc d = PrimaryDisc({File("PRIMARY", 30, 1)});
        d.Descriptor(17, 2, 21, 2048, escape);
        d.Terminator(18);
        d.Directory(21, {Self(21), Parent(21), File(name, 30, 1)});
        return d;
    };
    for (const char* level : {"%/@", "%/C", "%/E"}) {
        C_MemoryDisc joliet = disc(level, C_MemoryDisc::Ucs2("Joliet name.txt;1"));
        EXPECT_EQ(Search(joliet, 0), "X:\\Joliet name.txt") << level;
    }
    C_MemoryDisc otherLevel = disc("%/Z", "RAW;1");
    EXPECT_EQ(Search(otherLevel, 0), "X:\\RAW");
    C_MemoryDisc noEscape = disc("\0\0\0", "RAW;1");
    EXPECT_EQ(Search(noEscape, 0), "X:\\PRIMARY");
}

TEST(CdfsWalk, DirectoriesAreSearchedDepthFirstAndBoundedByThePathCapacity)
{
    // A chain of folders "D", each holding the next folder first and then a file "F" that lies
    // farther out the deeper it is: the deepest "F" whose path fits is the answer.
    C_MemoryDisc disc = PrimaryDisc({Folder("D", 100)});
    for (uint32_t k = 1; k <= 200; ++k)
        disc.Directory(99 + k, {Self(99 + k), Parent(98 + k), Folder("D", 100 + k), File("F", 1000 + k, 1)});
    std::string expected = "X:\\";
    for (int k = 0; k < 127; ++k)
        expected += "D\\";
    expected += "F";
    EXPECT_EQ(Search(disc, 0), expected);
    EXPECT_EQ(expected.size(), 258u);
}

TEST(CdfsWalk, ARepeatedDescriptorDoesNotWalkItsTreeAgain)
{
    C_MemoryDisc disc = PrimaryDisc({File("A", 30, 1)});
    for (uint32_t s = 17; s < 116; ++s)
        if (s != 20)
            disc.Descriptor(s, 1, 20, 2048);
    C_CdfsSearch search;
    CDFSProcessDescriptors(disc, 0, 'X', search);
    EXPECT_EQ(search.strPath, "X:\\A");
    EXPECT_EQ(search.dwSectorsRead, 1u);
}

TEST(CdfsWalk, FoldersThatContainThemselvesOrTheirParentAreWalkedOnce)
{
    C_MemoryDisc disc = PrimaryDisc({Folder("LOOP", 40), File("A", 30, 1)});
    disc.Directory(40, {Self(40), Parent(20), Folder("AGAIN", 40), Folder("UP", 20), File("B", 31, 1)});
    C_CdfsSearch search;
    CDFSProcessDescriptors(disc, 0, 'X', search);
    EXPECT_EQ(search.strPath, "X:\\LOOP\\B");
    EXPECT_EQ(search.dwSectorsRead, 2u);
}

namespace {
// A drive that answers every sector below 4096, blank where the disc holds nothing, and
// counts how often each sector was asked for.
class C_AnsweringDrive : public C_SectorSource {
public:
    explicit C_AnsweringDrive(C_MemoryDisc disc) : m_disc(std::move(disc)) {}
    int ReadSector(uint32_t sector, uint8_t* buffer) override
    {
        ++asked[sector];
        if (m_disc.ReadSector(sector, buffer))
            return 1;
        memset(buffer, 0, kCdfsSectorSize);
        return sector < 4096;
    }
    std::map<uint32_t, uint32_t> asked;

private:
    C_MemoryDisc m_disc;
};
} // namespace

TEST(CdfsBounds, ADamagedTreeIsWalkedWithinTheDiscOnceAndNamesTheFileWhereItLies)
{
    C_AnsweringDrive drive(CraftedDisc());
    C_CdfsSearch search;
    search.ullDiscEnd = kCraftedSectors;
    CDFSProcessDescriptors(drive, 0, 'X', search);
    EXPECT_EQ(search.strPath, "X:\\NEXT\\C");
    EXPECT_LE(search.dwSectorsRead, kCraftedDirectoryReads);
    ASSERT_FALSE(drive.asked.empty());
    EXPECT_LT(drive.asked.rbegin()->first, kCraftedSectors) << "read past the disc's end";
    for (const auto& a : drive.asked)
        EXPECT_LE(a.second, a.first == 23 ? 2u : 1u) << "sector " << a.first;

    // The descriptors too end at the disc's end.
    C_AnsweringDrive small(CraftedDisc());
    C_CdfsSearch tiny;
    tiny.ullDiscEnd = 17;
    CDFSProcessDescriptors(small, 0, 'X', tiny);
    EXPECT_EQ(small.asked.size(), 1u);
    EXPECT_EQ(tiny.strPath, "");
}

TEST(CdfsBounds, AStopRequestEndsTheWalkBeforeTheNextRead)
{
    for (uint32_t allowed : {0u, 1u, 3u, 40u}) {
        // A chain of 200 folders, one sector each.
        C_MemoryDisc chain = PrimaryDisc({Folder("D", 100)});
        for (uint32_t k = 1; k <= 200; ++k)
            chain.Directory(99 + k,
                            {Self(99 + k), Parent(98 + k), Folder("D", 100 + k), File("F", 1000 + k, 1)});
        C_AnsweringDrive drive(chain);
        uint32_t asks = 0;
        C_CdfsSearch search;
        search.stopRequested = [&] {
            ++asks;
            return drive.asked.size() >= allowed;
        };
        CDFSProcessDescriptors(drive, 0, 'X', search);
        EXPECT_EQ(search.bStopped, 1) << allowed;
        EXPECT_EQ(drive.asked.size(), allowed);
        EXPECT_EQ(asks, allowed + 1) << "asked again after the stop";
    }
}
