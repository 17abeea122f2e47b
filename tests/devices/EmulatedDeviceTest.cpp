// The emulated disk and CD-ROM, and the record types that run on top of them: handle
// records on a real file, CD tracks from the full TOC, failures injected per block.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "devices/DeviceList.h"
#include "devices/IdentityDevice.h"
#include "devices/ScsiCommands.h"
#include "devices/ByteFields.h"
#include "devices/ScsiDecode.h"
#include "devices/TrackDevice.h"
#include "devices/emulated/EmulatedCdRom.h"
#include "devices/emulated/ImageDisk.h"
#include "devices/win/HandleDevice.h"

namespace {

std::string TempPath(const char* name)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

uint8_t Pattern(uint64_t block, uint32_t offset) { return uint8_t(block * 31 + offset); }

// A file of blocks of 512 bytes whose bytes tell their block.
std::string MakeImage(const char* name, uint32_t blocks)
{
    const std::string path = TempPath(name);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<uint8_t> block(512);
    for (uint32_t b = 0; b < blocks; ++b) {
        for (uint32_t i = 0; i < 512; ++i)
            block[i] = Pattern(b, i);
        DWORD done = 0;
        WriteFile(h, block.data(), 512, &done, nullptr);
    }
    CloseHandle(h);
    return path;
}

bool BlocksAre(const std::vector<uint8_t>& data, uint64_t first)
{
    for (size_t i = 0; i < data.size(); ++i)
        if (data[i] != Pattern(first + i / 512, uint32_t(i % 512)))
            return false;
    return true;
}

std::string IsoPath()
{
    std::string p = "Z:" QM_TEST_ISO;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}

TEST(HandleDevice, ReadsAndWritesBlocksOfAFileAndCountsOpens)
{
    const std::string path = MakeImage("qm_handle.img", 64);
    C_HandleDevice d;
    d.strPath = path;
    d.dwType = kTypeFixedLogical;
    d.dwBlockSize = 512;
    d.ullBlockCount = 64;
    std::vector<uint8_t> data(4 * 512);
    ASSERT_EQ(d.ReadBlocks(10, 4, data.data()), 1);
    EXPECT_TRUE(BlocksAre(data, 10));
    EXPECT_EQ(d.hDevice, nullptr); // every transfer closes what it opened
    EXPECT_EQ(d.dwOpenCount, 0u);

    for (auto& b : data)
        b = 0x5A;
    ASSERT_EQ(d.WriteBlocks(20, 4, data.data()), 1);
    std::vector<uint8_t> back(4 * 512);
    ASSERT_EQ(d.ReadBlocks(20, 4, back.data()), 1);
    EXPECT_EQ(back, data);
    ASSERT_EQ(d.ReadBlocks(19, 1, back.data()), 1);
    back.resize(512);
    EXPECT_TRUE(BlocksAre(back, 19));

    // Past the end: the short read is a failure, not a silent success.
    SetLastError(0);
    EXPECT_EQ(d.ReadBlocks(63, 2, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_HANDLE_EOF));

    ASSERT_EQ(d.Open(), 1);
    void* first = d.hDevice;
    ASSERT_EQ(d.Open(), 1);
    EXPECT_EQ(d.hDevice, first);
    EXPECT_EQ(d.dwOpenCount, 2u);
    EXPECT_EQ(d.Close(), 1);
    EXPECT_EQ(d.hDevice, first);
    C_PropertyValue a, b, c;
    EXPECT_EQ(d.QueryProperty(kPropFlush, &a, 0, &b, &c), 1);
    EXPECT_EQ(d.Close(), 1);
    EXPECT_EQ(d.hDevice, nullptr);
    EXPECT_EQ(d.Close(), 0);
    DeleteFileA(path.c_str());
}

TEST(HandleDevice, ReadOnlyAccessReadsButRefusesWritesAndMissingPathsFailToOpen)
{
    const std::string path = MakeImage("qm_readonly.img", 8);
    C_HandleDevice d;
    d.strPath = path;
    d.dwAccess = kAccessRead;
    d.dwType = kTypeFixedLogical;
    d.dwBlockSize = 512;
    std::vector<uint8_t> data(512);
    ASSERT_EQ(d.ReadBlocks(3, 1, data.data()), 1);
    EXPECT_TRUE(BlocksAre(data, 3));
    SetLastError(0);
    EXPECT_EQ(d.WriteBlocks(3, 1, data.data()), 0);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(d.dwOpenCount, 0u);

    C_HandleDevice gone;
    gone.strPath = TempPath("qm_no_such_device.img");
    gone.dwBlockSize = 512;
    EXPECT_EQ(gone.Open(), 0);
    EXPECT_EQ(gone.dwOpenCount, 0u);
    EXPECT_EQ(gone.ReadBlocks(0, 1, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
    DeleteFileA(path.c_str());
}

// A logical-drive record on an image file whose pass-through slot only records the command
// blocks it is sent: a disk address can be seen, and it never reaches the image.
struct RecordingVolume : C_HandleDevice {
    std::vector<std::vector<uint8_t>> sent;
    RecordingVolume(const std::string& path, uint64_t blocks)
    {
        strPath = path;
        dwKind = kKindLogical;
        dwType = kTypeFixedLogical;
        dwBlockSize = 512;
        dwMaxBlocks = 128;
        ullBlockCount = blocks;
    }
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int, uint32_t, void*, uint8_t*) override
    {
        sent.emplace_back(cdb, cdb + cdbLength);
        return 1;
    }
};

std::vector<uint8_t> ReadImageBlock(const std::string& path, uint64_t block)
{
    C_HandleDevice plain;
    plain.strPath = path;
    plain.dwBlockSize = 512;
    std::vector<uint8_t> data(512);
    EXPECT_EQ(plain.ReadBlocks(block, 1, data.data()), 1);
    return data;
}

TEST(HandleDevice, AVolumeOfUnknownOffsetIsWrittenInsideItselfAndAKnownOneAtItsDiskAddress)
{
    const std::string path = MakeImage("qm_volume.img", 32);
    RecordingVolume unknown(path, 32);
    std::vector<uint8_t> data(2 * 512, 0xC3);
    ASSERT_EQ(unknown.WriteBlocks(5, 2, data.data()), 1);
    EXPECT_TRUE(unknown.sent.empty()); // no disk address: it would be the disk's start
    EXPECT_EQ(ReadImageBlock(path, 5), std::vector<uint8_t>(512, 0xC3));
    EXPECT_EQ(ReadImageBlock(path, 6), std::vector<uint8_t>(512, 0xC3));
    EXPECT_TRUE(BlocksAre(ReadImageBlock(path, 4), 4));
    EXPECT_TRUE(BlocksAre(ReadImageBlock(path, 7), 7));

    RecordingVolume known(path, 32);
    known.ullBlockOffset = 2048;
    known.bOffsetKnown = 1;
    ASSERT_EQ(known.WriteBlocks(9, 2, data.data()), 1);
    ASSERT_EQ(known.sent.size(), 1u);
    EXPECT_EQ(known.sent[0][0], kScsiWrite10);
    EXPECT_EQ(ReadBe32(&known.sent[0][2]), 2057u);
    EXPECT_EQ(ReadBe16(&known.sent[0][7]), 2u);
    EXPECT_TRUE(BlocksAre(ReadImageBlock(path, 9), 9)); // the command went to the disk, not here
    // Reads of either stay inside the volume.
    std::vector<uint8_t> back(512);
    ASSERT_EQ(known.ReadBlocks(12, 1, back.data()), 1);
    EXPECT_TRUE(BlocksAre(back, 12));
    EXPECT_EQ(known.sent.size(), 1u);
    DeleteFileA(path.c_str());
}

TEST(HandleDevice, TransfersWhoseByteAddressWrapsAreRefusedWithoutTouchingTheImage)
{
    const std::string path = MakeImage("qm_wrap.img", 16);
    // A bridge claimed 2^56 blocks: block 2^55 + 3 times 512 wraps to the byte of block 3.
    RecordingVolume d(path, 1ull << 56);
    d.dwKind = kKindPhysical;
    d.dwType = kTypeFixedPhysical;
    const uint64_t wraps = (1ull << 55) + 3;
    std::vector<uint8_t> data(512, 0x3C);
    SetLastError(0);
    EXPECT_EQ(d.WriteBlocks(wraps, 1, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_ARITHMETIC_OVERFLOW));
    SetLastError(0);
    EXPECT_EQ(d.ReadBlocks(wraps, 1, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_ARITHMETIC_OVERFLOW));
    EXPECT_EQ(data, std::vector<uint8_t>(512, 0x3C));
    EXPECT_TRUE(d.sent.empty());
    EXPECT_TRUE(BlocksAre(ReadImageBlock(path, 3), 3));

    C_ImageDisk disk(path, 512, 0);
    disk.ullBlockCount = 1ull << 56;
    SetLastError(0);
    EXPECT_EQ(disk.WriteBlocks(wraps, 1, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_ARITHMETIC_OVERFLOW));
    EXPECT_EQ(disk.ReadBlocks(wraps, 1, data.data()), 0);
    EXPECT_EQ(disk.opens, 0u);
    EXPECT_TRUE(BlocksAre(ReadImageBlock(path, 3), 3));
    DeleteFileA(path.c_str());
}

TEST(ImageDisk, TransfersCapacityAndInjectedFailures)
{
    const std::string path = MakeImage("qm_image.img", 128);
    C_ImageDisk disk(path, 512, 0);
    ASSERT_EQ(disk.QueryCapacity(), 1);
    EXPECT_EQ(disk.ullBlockCount, 128u);
    std::vector<uint8_t> data(8 * 512);
    ASSERT_EQ(disk.ReadBlocks(100, 8, data.data()), 1);
    EXPECT_TRUE(BlocksAre(data, 100));

    // The SCSI path sees the same device.
    ASSERT_EQ(ScsiQueryCapacity(disk), 1);
    EXPECT_EQ(disk.ullBlockCount, 128u);
    EXPECT_EQ(disk.dwBlockSize, 512u);
    ASSERT_EQ(ScsiQueryTexts(disk, 1), 1);
    EXPECT_EQ(disk.strProduct, "IMAGE DISK");
    ASSERT_EQ(ScsiRead10(disk, 5, 2, data.data()), 1);
    data.resize(1024);
    EXPECT_TRUE(BlocksAre(data, 5));

    disk.faults.Inject(7, ERROR_CRC);
    disk.faults.Inject(50, ERROR_IO_DEVICE);
    disk.faults.Inject(60, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(disk.ReadBlocks(4, 3, data.data()), 1); // 4..6 stay clear
    EXPECT_EQ(disk.ReadBlocks(6, 2, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_CRC));
    EXPECT_EQ(ScsiRead10(disk, 49, 2, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_IO_DEVICE));
    EXPECT_EQ(disk.WriteBlocks(60, 1, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(disk.faults.hits, 3u);
    EXPECT_EQ(disk.ReadBlocks(127, 2, data.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_INVALID_PARAMETER));

    std::vector<uint8_t> ones(512, 1);
    ASSERT_EQ(disk.WriteBlocks(0, 1, ones.data()), 1);
    std::vector<uint8_t> back(512);
    ASSERT_EQ(disk.ReadBlocks(0, 1, back.data()), 1);
    EXPECT_EQ(back, ones);

    const uint32_t before = disk.opens;
    ASSERT_EQ(disk.Open(), 1);
    ASSERT_EQ(disk.ReadBlocks(1, 1, back.data()), 1);
    ASSERT_EQ(disk.ReadBlocks(2, 1, back.data()), 1);
    EXPECT_EQ(disk.opens, before + 1); // held open: no reopening per transfer
    EXPECT_EQ(disk.Close(), 1);
    EXPECT_EQ(disk.Close(), 0);
    DeleteFileA(path.c_str());
}

class CdRomTest : public ::testing::Test {
protected:
    CdRomTest() : cd(new C_EmulatedCdRom(IsoPath(), {600, 300})) {}
    ~CdRomTest() override { delete cd; }
    C_EmulatedCdRom* cd;
};

TEST_F(CdRomTest, CapacityTocAndDataBlocksComeFromTheImage)
{
    ASSERT_GT(cd->DataBlocks(), 16u) << IsoPath();
    ASSERT_EQ(cd->QueryCapacity(), 1);
    EXPECT_EQ(cd->ullBlockCount, cd->DataBlocks() + 900);
    EXPECT_EQ(cd->dwBlockSize, 2048u);
    EXPECT_EQ(cd->ullFirstBlock, 16u);
    std::vector<uint8_t> block(2048);
    ASSERT_EQ(cd->ReadBlocks(16, 1, block.data()), 1);
    EXPECT_EQ(block[0], 1); // primary volume descriptor
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&block[1]), 5), "CD001");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&block[40]), 6), "QMTEST");

    // Format 0: one descriptor per track and the lead-out, addresses as block numbers.
    std::vector<uint8_t> toc(1024);
    C_Cdb c = MakeReadToc(0, 1024);
    ASSERT_EQ(cd->ScsiCommand(c.length, c.bytes, 1, 1024, toc.data(), nullptr), 1);
    EXPECT_EQ(ReadBe16(toc.data()), 2u + 4 * 8);
    EXPECT_EQ(toc[3], 3);
    EXPECT_EQ(toc[4 + 1] & 0x4, 0x4);
    EXPECT_EQ(ReadBe32(&toc[4 + 8 + 4]), uint32_t(cd->DataBlocks()));
    EXPECT_EQ(toc[4 + 24 + 2], 0xAA);
    EXPECT_EQ(ReadBe32(&toc[4 + 24 + 4]), uint32_t(cd->LeadOut()));

    // Audio blocks cannot be read with READ(10).
    EXPECT_EQ(cd->ReadBlocks(cd->DataBlocks(), 1, block.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_IO_DEVICE));
}

TEST_F(CdRomTest, TracksReadThroughTheirDrive)
{
    C_DeviceList list;
    list.Register(nullptr, nullptr, 0, 0);
    cd->dwNumber = 3;
    ASSERT_EQ(cd->QueryCapacity(), 1);
    ASSERT_EQ(list.Add(cd), 1);
    C_EmulatedCdRom* drive = cd;
    cd = nullptr; // the list owns it now
    C_TrackEnumerator tracks;
    tracks.Enumerate(list);
    ASSERT_EQ(list.GetCount(), 4u);

    C_Device* data = list.Find(1 | (3 << 8), kKindTrack);
    C_Device* audio1 = list.Find(2 | (3 << 8), kKindTrack);
    C_Device* audio2 = list.Find(3 | (3 << 8), kKindTrack);
    ASSERT_TRUE(data && audio1 && audio2);
    EXPECT_EQ(data->strName, "emulated CD-ROM track 1 [data]");
    EXPECT_EQ(audio2->strName, "emulated CD-ROM track 3 [audio]");
    EXPECT_EQ(data->dwBlockSize, 2048u);
    EXPECT_EQ(data->dwMaxBlocks, 26u);
    EXPECT_EQ(audio1->dwBlockSize, 2352u);
    EXPECT_EQ(audio1->dwMaxBlocks, 21u);
    EXPECT_EQ(data->dwCaps & 7u, 3u);
    EXPECT_EQ(audio1->ullFirstBlock, drive->DataBlocks());
    EXPECT_EQ(audio2->ullFirstBlock, drive->DataBlocks() + 600);
    EXPECT_EQ(audio2->ullBlockCount, drive->LeadOut());
    EXPECT_EQ(data->strVendor, "QUELLMOR");

    std::vector<uint8_t> viaTrack(2048), viaDrive(2048);
    ASSERT_EQ(data->ReadBlocks(16, 1, viaTrack.data()), 1);
    ASSERT_EQ(drive->ReadBlocks(16, 1, viaDrive.data()), 1);
    EXPECT_EQ(viaTrack, viaDrive);

    const uint64_t at = audio2->ullFirstBlock + 5;
    std::vector<uint8_t> samples(2 * 2352);
    ASSERT_EQ(audio2->ReadBlocks(at, 2, samples.data()), 1);
    bool same = true;
    for (uint32_t i = 0; i < samples.size(); ++i)
        same = same && samples[i] == C_EmulatedCdRom::AudioByte(at + i / 2352, i % 2352);
    EXPECT_TRUE(same);
    EXPECT_EQ(audio2->WriteBlocks(at, 1, samples.data()), 0);

    drive->faults.Inject(20, ERROR_CRC);
    drive->faults.Inject(at + 1, ERROR_IO_DEVICE);
    EXPECT_EQ(data->ReadBlocks(19, 2, viaTrack.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_CRC));
    EXPECT_EQ(audio2->ReadBlocks(at, 2, samples.data()), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_IO_DEVICE));

    // Next refresh, the drive found unchanged by its own enumerator: the same track
    // records stay.
    list.MarkAll();
    drive->dwCaps &= ~kCapStale;
    tracks.Enumerate(list);
    list.Sweep();
    EXPECT_EQ(list.Find(1 | (3 << 8), kKindTrack), data);
    EXPECT_FALSE(data->IsStale());
    EXPECT_EQ(list.GetCount(), 4u);

    // A stale drive is not asked for tracks, and its tracks go with it.
    list.MarkAll();
    list.BeginKind(kKindCdRom);
    tracks.Enumerate(list);
    list.Sweep();
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST(CdRom, AudioOnlyDiscHasNoDataTrack)
{
    C_EmulatedCdRom cd("", {100});
    std::vector<uint8_t> toc(2048);
    const C_Cdb c = MakeReadToc(2, 2048);
    ASSERT_EQ(cd.ScsiCommand(c.length, c.bytes, 1, 2048, toc.data(), nullptr), 1);
    std::vector<C_TocTrack> tracks;
    DecodeFullToc(toc.data(), toc.size(), &tracks);
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_FALSE(tracks[0].IsData());
    EXPECT_EQ(tracks[0].firstBlock, 0u);
    EXPECT_EQ(tracks[0].leadOut, 100u);
    C_EmulatedCdRom empty("", {});
    EXPECT_EQ(empty.ScsiCommand(c.length, c.bytes, 1, 2048, toc.data(), nullptr), 0);
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_NOT_READY));
}

} // namespace

namespace {

TEST(HandleDevice, ACompanionAnswersTheIdentityQuestions)
{
    C_HandleDevice d;
    C_PropertyValue a, b, c;
    EXPECT_EQ(d.QueryProperty(kPropLinkUsbIds, &a, 0, &b, &c), 0);
    C_IdentityDevice* link = new C_IdentityDevice;
    link->dwVendorId = 0x0781;
    link->dwProductId = 0x5567;
    link->strSerialText = "4C53";
    link->strLocation = "Port_#0001.Hub_#0004";
    d.AdoptIdentity(link);
    ASSERT_EQ(d.QueryProperty(kPropUsbIds, &a, 0, &b, &c), 1);
    EXPECT_EQ(b.number, 0x5567u);
    a = b = C_PropertyValue();
    ASSERT_EQ(d.QueryProperty(kPropLinkUsbIds, &a, 0, &b, &c), 1);
    EXPECT_EQ(a.number, 0x0781u);
    ASSERT_EQ(d.QueryProperty(kPropLinkSerialText, &a, 0, &b, &c), 1);
    EXPECT_EQ(a.text, "4C53");
    ASSERT_EQ(d.QueryProperty(kPropLinkLocation, &a, 0, &b, &c), 1);
    EXPECT_EQ(a.text, "Port_#0001.Hub_#0004");
    EXPECT_EQ(d.QueryProperty(kPropLink1394Id, &a, 0, &b, &c), 0);
}

} // namespace

namespace {

// Only letters that do not exist here: dismounting a real drive under Wine would reach the
// host's mounts.
TEST(HandleDevice, AVolumeThatCannotBeTakenStopsTheWritesBeforeTheyStart)
{
    const std::string path = MakeImage("qm_block0.img", 16);
    C_HandleDevice d;
    d.strPath = path;
    d.dwType = kTypeFixedPhysical;
    d.dwBlockSize = 512;
    d.strLetters = "Q"; // a volume that cannot be opened, so never locked
    ASSERT_EQ(GetDriveTypeA("Q:\\"), uint32_t(DRIVE_NO_ROOT_DIR));
    std::string busy;
    EXPECT_EQ(d.BeginWrites(&busy), 0);
    EXPECT_EQ(busy, "Q:");
    d.EndWrites();

    // Without volumes on it the device is the run's at once, and the write lands.
    d.strLetters.clear();
    busy.clear();
    SetLastError(1234);
    ASSERT_EQ(d.BeginWrites(&busy), 1);
    EXPECT_EQ(GetLastError(), 1234u);
    EXPECT_EQ(busy, "");
    std::vector<uint8_t> data(512, 0xA5), back(512);
    ASSERT_EQ(d.WriteBlocks(0, 1, data.data()), 1);
    d.EndWrites();
    ASSERT_EQ(d.ReadBlocks(0, 1, back.data()), 1);
    EXPECT_EQ(back, data);
    ASSERT_EQ(d.ReadBlocks(1, 1, back.data()), 1);
    EXPECT_TRUE(BlocksAre(back, 1));
    DeleteFileA(path.c_str());
}

} // namespace
