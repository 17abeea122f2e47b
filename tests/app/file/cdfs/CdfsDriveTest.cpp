// The search over a command-answering drive: which track the table of contents gives, the
// command blocks sent, and the message texts.
#include <gtest/gtest.h>
#include "app/pages/file/cdfs/CdfsDrive.h"
#include "tests/app/file/cdfs/CdfsTestDisc.h"

namespace {
struct C_Track {
    uint8_t control;
    uint32_t start;
};

// READ TOC format 0: header, one descriptor per track numbered from `first`, lead-out.
std::vector<uint8_t> Toc(uint8_t first, const std::vector<C_Track>& tracks)
{
    std::vector<uint8_t> t(4);
    t[2] = first;
    t[3] = uint8_t(first + tracks.size() - 1);
    auto add = [&](uint8_t control, uint8_t number, uint32_t start) {
        const uint8_t d[8] = {0,
                              uint8_t(0x10 | control),
                              number,
                              0,
                              uint8_t(start >> 24),
                              uint8_t(start >> 16),
                              uint8_t(start >> 8),
                              uint8_t(start)};
        t.insert(t.end(), d, d + 8);
    };
    for (size_t i = 0; i < tracks.size(); ++i)
        add(tracks[i].control, uint8_t(first + i), tracks[i].start);
    add(0, 0xAA, 400000);
    t[0] = uint8_t((t.size() - 2) >> 8);
    t[1] = uint8_t(t.size() - 2);
    return t;
}

int DataStart(const std::vector<uint8_t>& toc, uint32_t* start, uint32_t size = 0)
{
    return CdfsDataTrackStart(toc.data(), size ? size : uint32_t(toc.size()), start);
}

// A drive that answers READ TOC with a given table and READ(10) from an image, and
// remembers every command block.
class C_RecordingDrive : public C_Device {
public:
    C_RecordingDrive(std::vector<uint8_t> toc, std::vector<uint8_t> image, uint32_t base)
        : m_toc(std::move(toc)), m_image(std::move(image), base)
    {
    }
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t*) override
    {
        commands.emplace_back(cdb, cdb + cdbLength);
        if (!dataIn || byteCount != 2048)
            return 0;
        if (cdb[0] == 0x43 && !m_toc.empty()) {
            memset(buffer, 0, byteCount);
            memcpy(buffer, m_toc.data(), m_toc.size());
            return 1;
        }
        if (cdb[0] == 0x28)
            return m_image.ReadSector(uint32_t(cdb[2]) << 24 | cdb[3] << 16 | cdb[4] << 8 | cdb[5],
                                      static_cast<uint8_t*>(buffer));
        return 0;
    }
    std::vector<std::vector<uint8_t>> commands;

private:
    std::vector<uint8_t> m_toc;
    C_ImageSectors m_image;
};
} // namespace

TEST(CdfsToc, TheLastDataTrackIsTakenWalkingFromTheLastTrackDown)
{
    uint32_t start = 7;
    EXPECT_TRUE(DataStart(Toc(1, {{4, 0}, {0, 30000}, {0, 40000}}), &start));
    EXPECT_EQ(start, 0u);
    EXPECT_TRUE(DataStart(Toc(1, {{0, 0}, {0, 300}, {4, 600}}), &start)); // enhanced CD
    EXPECT_EQ(start, 600u);
    EXPECT_TRUE(DataStart(Toc(1, {{4, 0}, {4, 5000}}), &start)); // two sessions
    EXPECT_EQ(start, 5000u);
    EXPECT_TRUE(DataStart(Toc(1, {{6, 0}, {0, 900}}), &start)); // copy bit beside the data bit
    EXPECT_EQ(start, 0u);
    start = 7;
    EXPECT_FALSE(DataStart(Toc(1, {{0, 0}, {0, 300}}), &start)); // audio only
    EXPECT_EQ(start, 7u);
}

TEST(CdfsToc, DescriptorsAreIndexedFromTheFirstTrackNumberAndBoundedByTheAnswer)
{
    uint32_t start = 0;
    // First track number 3: track 4 is the second descriptor, not the fourth.
    EXPECT_TRUE(DataStart(Toc(3, {{0, 0}, {4, 1234}}), &start));
    EXPECT_EQ(start, 1234u);
    // The data track's descriptor lies beyond the bytes received, or beyond the length field.
    const std::vector<uint8_t> toc = Toc(1, {{4, 100}, {4, 200}});
    EXPECT_TRUE(DataStart(toc, &start, 4 + 8 + 7));
    EXPECT_EQ(start, 100u);
    std::vector<uint8_t> shortLength = toc;
    shortLength[0] = 0;
    shortLength[1] = 2 + 8;
    EXPECT_TRUE(DataStart(shortLength, &start));
    EXPECT_EQ(start, 100u);
    EXPECT_FALSE(DataStart(toc, &start, 3));
    std::vector<uint8_t> inverted = toc;
    inverted[2] = 5;
    inverted[3] = 1;
    EXPECT_FALSE(DataStart(inverted, &start));
}

TEST(CdfsDrive, SendsTwelveByteReadTocAndRead10AndSearchesTheLastDataTrack)
{
    C_RecordingDrive drive(Toc(1, {{4, 0}, {0, 5000}}), ReadFileBytes(FixturePath("joliet.iso")), 0);
    std::string path;
    ASSERT_TRUE(CdfsSearchDevice(drive, 'E', 0, &path));
    EXPECT_EQ(path, ListedFarthest(ReadListing("joliet", 'E'), 0));
    ASSERT_GE(drive.commands.size(), 3u);
    const std::vector<uint8_t> readToc = {0x43, 0, 0, 0, 0, 0, 0, 0x08, 0x00, 0, 0, 0};
    const std::vector<uint8_t> readDescriptor = {0x28, 0, 0, 0, 0, 16, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(drive.commands[0], readToc);
    EXPECT_EQ(drive.commands[1], readDescriptor);

    C_RecordingDrive enhanced(Toc(1, {{0, 0}, {4, 600}}), ReadFileBytes(FixturePath("enhanced.iso")), 600);
    ASSERT_TRUE(CdfsSearchDevice(enhanced, 'E', 1000, &path));
    EXPECT_EQ(path, "E:\\SUB\\Long file name.bin");
}

TEST(CdfsDrive, NoTableOfContentsOrNoDataTrackOrNoLargeFileFindsNothing)
{
    std::string path = "stale";
    C_RecordingDrive noToc({}, ReadFileBytes(FixturePath("joliet.iso")), 0);
    EXPECT_FALSE(CdfsSearchDevice(noToc, 'E', 0, &path));
    EXPECT_EQ(path, "");
    EXPECT_EQ(noToc.commands.size(), 1u);

    C_RecordingDrive audio(Toc(1, {{0, 0}, {0, 5000}}), ReadFileBytes(FixturePath("joliet.iso")), 0);
    EXPECT_FALSE(CdfsSearchDevice(audio, 'E', 0, &path));
    EXPECT_EQ(audio.commands.size(), 1u);

    C_RecordingDrive large(Toc(1, {{4, 0}}), ReadFileBytes(FixturePath("joliet.iso")), 0);
    EXPECT_FALSE(CdfsSearchDevice(large, 'E', 1048576, &path));
    EXPECT_EQ(path, "");
}

TEST(CdfsMessages, TextsOfTheSearchFailures)
{
    EXPECT_EQ(CdfsNotNtMessage(),
              "Fastest File Search only available on real operating systems. A.k.a Windows NT/2000/XP...");
    EXPECT_EQ(CdfsOpenFailedMessage("\\\\.\\E:"),
              "Fastest File Search failed.\n\nUnable to open device \\\\.\\E:");
    EXPECT_EQ(CdfsNoFileMessage(100 * 1048576ull, 'E'),
              "Fastest File Search failed.\n\nCan't find any file with 100.0 MByte or larger on drive E:\\.");
    EXPECT_EQ(CdfsNoFileMessage(5ull << 30, 'E'),
              "Fastest File Search failed.\n\nCan't find any file with 5.0 GByte or larger on drive E:\\.");
    EXPECT_EQ(CdfsNotCdMessage('C'),
              "Fastest File Search failed on drive C:\\.\n\nThis function is only working on CD-ROM drives.");
    EXPECT_EQ(CdfsFailureMessage(1, 100 * 1048576ull, 'E'), CdfsNoFileMessage(100 * 1048576ull, 'E'));
    EXPECT_EQ(CdfsFailureMessage(0, 100 * 1048576ull, 'C'), CdfsNotCdMessage('C'));
}

TEST(CdfsToc, TheDataTrackEndsWhereTheNextTrackOrTheLeadOutStarts)
{
    auto end = [](const std::vector<uint8_t>& toc, uint32_t size) {
        uint32_t start = 0;
        uint64_t e = 0;
        return CdfsDataTrackStart(toc.data(), size, &start, &e) ? e : 0;
    };
    const std::vector<uint8_t> dataFirst = Toc(1, {{4, 0}, {0, 30000}});
    EXPECT_EQ(end(dataFirst, uint32_t(dataFirst.size())), 30000u);
    const std::vector<uint8_t> enhanced = Toc(1, {{0, 0}, {4, 600}});
    EXPECT_EQ(end(enhanced, uint32_t(enhanced.size())), 400000u); // the lead-out
    // No descriptor after the track within the answer, or one that does not lie beyond it.
    EXPECT_EQ(end(Toc(1, {{4, 100}}), 4 + 8 + 7), kCdfsNoEnd);
    const std::vector<uint8_t> empty = Toc(1, {{4, 500}, {0, 500}});
    EXPECT_EQ(end(empty, uint32_t(empty.size())), kCdfsNoEnd);
}
