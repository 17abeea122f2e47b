// Decoders of device answers, fed with answers built the way devices send them.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "devices/ScsiDecode.h"

namespace {

std::vector<uint8_t> Capacity10(uint32_t last, uint32_t size)
{
    std::vector<uint8_t> b(8);
    WriteBe32(b.data(), last);
    WriteBe32(b.data() + 4, size);
    return b;
}

TEST(ReadCapacity, LastBlockBecomesCountAndOddAnswersAreTamed)
{
    C_CapacityAnswer a;
    auto b = Capacity10(999, 512);
    ASSERT_EQ(DecodeReadCapacity10(b.data(), b.size(), &a), 1);
    EXPECT_EQ(a.blockCount, 1000u);
    EXPECT_EQ(a.blockSize, 512u);
    EXPECT_EQ(a.firstBlock, 0u);

    b = Capacity10(0x7FFFFFFF, 512);
    ASSERT_EQ(DecodeReadCapacity10(b.data(), b.size(), &a), 1);
    EXPECT_EQ(a.blockCount, 1000u);

    b = Capacity10(0x7FFFFFFE, 0);
    ASSERT_EQ(DecodeReadCapacity10(b.data(), b.size(), &a), 1);
    EXPECT_EQ(a.blockCount, 0x7FFFFFFFu);
    EXPECT_EQ(a.blockSize, 512u);

    b = Capacity10(332799, 2048);
    ASSERT_EQ(DecodeReadCapacity10(b.data(), b.size(), &a), 1);
    EXPECT_EQ(a.blockCount, 332800u);
    EXPECT_EQ(a.firstBlock, 16u);

    for (uint32_t huge : {0xFFFFFFFEu, 0xFFFFFFFFu}) {
        b = Capacity10(huge, 512);
        EXPECT_EQ(DecodeReadCapacity10(b.data(), b.size(), &a), 0);
        EXPECT_EQ(a.needs16, 1);
    }
    EXPECT_EQ(DecodeReadCapacity10(b.data(), 7, &a), 0);
    EXPECT_EQ(a.needs16, 0);
}

TEST(ReadCapacity, SixteenByteFormCarriesSixtyFourBitAddresses)
{
    std::vector<uint8_t> b(32);
    WriteBe64(b.data(), 0x1D1C0BEAFull);
    WriteBe32(b.data() + 8, 4096);
    C_CapacityAnswer a;
    ASSERT_EQ(DecodeReadCapacity16(b.data(), 12, &a), 1);
    EXPECT_EQ(a.blockCount, 0x1D1C0BEB0ull);
    EXPECT_EQ(a.blockSize, 4096u);
    EXPECT_EQ(a.firstBlock, 16u);
    EXPECT_EQ(DecodeReadCapacity16(b.data(), 11, &a), 0);
    WriteBe64(b.data(), ~0ull);
    EXPECT_EQ(DecodeReadCapacity16(b.data(), 12, &a), 0);
    // Capacities whose bytes no signed 64-bit offset reaches are refused.
    WriteBe32(b.data() + 8, 512);
    WriteBe64(b.data(), (1ull << 56) - 1);
    EXPECT_EQ(DecodeReadCapacity16(b.data(), 12, &a), 0);
    WriteBe64(b.data(), 1ull << 54);
    EXPECT_EQ(DecodeReadCapacity16(b.data(), 12, &a), 0);
    WriteBe64(b.data(), (1ull << 54) - 1);
    ASSERT_EQ(DecodeReadCapacity16(b.data(), 12, &a), 1);
    EXPECT_EQ(a.blockCount, 1ull << 54);
}

TEST(Toc, MsfConversion)
{
    EXPECT_EQ(MsfToBlock(0, 0, 0), 0u);
    EXPECT_EQ(MsfToBlock(0, 2, 0), 0u);
    EXPECT_EQ(MsfToBlock(0, 2, 1), 1u);
    EXPECT_EQ(MsfToBlock(1, 0, 0), 4350u);
    EXPECT_EQ(MsfToBlock(74, 59, 74), 74u * 4500 + 59 * 75 + 74 - 150);
}

// One full-TOC descriptor: session, ADR/control, TNO, point, M S F, zero, PM PS PF.
void AddDescriptor(std::vector<uint8_t>& toc, uint8_t control, uint8_t point, uint8_t m, uint8_t s, uint8_t f)
{
    const uint8_t d[11] = {1, uint8_t(0x10 | control), 0, point, 0, 0, 0, 0, m, s, f};
    toc.insert(toc.end(), d, d + 11);
    WriteBe16(toc.data(), uint32_t(toc.size() - 2));
}

TEST(Toc, TracksNeedALeadOutAndKeepOrder)
{
    std::vector<uint8_t> toc = {0, 2, 1, 1};
    AddDescriptor(toc, 4, 1, 0, 2, 0);     // before any lead-out: ignored
    AddDescriptor(toc, 4, 0xA0, 1, 0, 0);  // first track number: ignored
    AddDescriptor(toc, 4, 0xA2, 10, 0, 0); // lead-out 10:00:00
    AddDescriptor(toc, 4, 1, 0, 2, 0);
    AddDescriptor(toc, 0, 2, 5, 0, 0);
    AddDescriptor(toc, 0, 0xB0, 20, 0, 0); // other points: ignored
    std::vector<C_TocTrack> t;
    DecodeFullToc(toc.data(), toc.size(), &t);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].number, 1u);
    EXPECT_TRUE(t[0].IsData());
    EXPECT_EQ(t[0].firstBlock, 0u);
    EXPECT_EQ(t[0].leadOut, 10u * 4500 - 150);
    EXPECT_EQ(t[1].number, 2u);
    EXPECT_FALSE(t[1].IsData());
    EXPECT_EQ(t[1].firstBlock, 5u * 4500 - 150);
}

TEST(Toc, HeaderLengthIsBoundedByTheBytesReceived)
{
    std::vector<uint8_t> toc = {0, 2, 1, 1};
    AddDescriptor(toc, 4, 0xA2, 10, 0, 0);
    AddDescriptor(toc, 4, 1, 0, 2, 0);
    WriteBe16(toc.data(), 0xFFFF);
    std::vector<C_TocTrack> t;
    DecodeFullToc(toc.data(), toc.size(), &t);
    EXPECT_EQ(t.size(), 1u);
    DecodeFullToc(toc.data(), toc.size() - 1, &t); // the track descriptor is cut off
    EXPECT_EQ(t.size(), 0u);
    DecodeFullToc(toc.data(), 3, &t);
    EXPECT_EQ(t.size(), 0u);
}

TEST(Toc, AudioTransferLimit)
{
    EXPECT_EQ(AudioTransferLimit(26, 2048), 21u);
    EXPECT_EQ(AudioTransferLimit(32, 2048), 26u); // 27.8 -> 27, less 1
    EXPECT_EQ(AudioTransferLimit(2, 2048), 1u);   // 1.7 -> 1 stays 1
    EXPECT_EQ(AudioTransferLimit(1, 2048), 1u);   // no whole block still gets one
    EXPECT_EQ(AudioTransferLimit(0, 2048), 1u);
}

std::vector<uint8_t> Inquiry(const char* vendor, const char* product, const char* revision)
{
    std::vector<uint8_t> b(36, ' ');
    b[0] = 5;
    memcpy(&b[8], vendor, strlen(vendor));
    memcpy(&b[16], product, strlen(product));
    memcpy(&b[32], revision, strlen(revision));
    return b;
}

TEST(Inquiry, FixedFieldsLoseTrailingBlanksAndStopAtZero)
{
    auto b = Inquiry("HL-DT-ST", "DVDRAM GH24NSB0", "LN01");
    C_DeviceTexts t;
    ASSERT_EQ(DecodeInquiry(b.data(), b.size(), &t), 1);
    EXPECT_EQ(t.vendor, "HL-DT-ST");
    EXPECT_EQ(t.product, "DVDRAM GH24NSB0");
    EXPECT_EQ(t.revision, "LN01");
    EXPECT_EQ(InquiryDeviceType(b.data(), b.size()), 5u);
    b = Inquiry("ATA", "SSD", "1");
    b[19] = 0;
    ASSERT_EQ(DecodeInquiry(b.data(), b.size(), &t), 1);
    EXPECT_EQ(t.vendor, "ATA");
    EXPECT_EQ(t.product, "SSD");
    EXPECT_EQ(t.revision, "1");
    EXPECT_EQ(DecodeInquiry(b.data(), 35, &t), 0);
}

TEST(Inquiry, UnitSerialPageOnlyWhenPrintable)
{
    std::vector<uint8_t> p = {0, 0x80, 0, 6, 'A', 'B', '1', '2', ' ', '~'};
    std::string s;
    ASSERT_EQ(DecodeUnitSerialPage(p.data(), p.size(), &s), 1);
    EXPECT_EQ(s, "AB12 ~");
    p[6] = 0x1F;
    EXPECT_EQ(DecodeUnitSerialPage(p.data(), p.size(), &s), 0);
    p[6] = 0x80;
    EXPECT_EQ(DecodeUnitSerialPage(p.data(), p.size(), &s), 0);
    p[6] = '1';
    EXPECT_EQ(DecodeUnitSerialPage(p.data(), p.size() - 1, &s), 0); // length beyond data
    p[1] = 0x83;
    EXPECT_EQ(DecodeUnitSerialPage(p.data(), p.size(), &s), 0);
}

void PutAta(std::vector<uint8_t>& b, size_t word, const char* text)
{
    for (size_t i = 0; text[i]; ++i)
        b[word * 2 + (i ^ 1)] = uint8_t(text[i]);
}

TEST(Identify, WordsAreByteSwappedAndSerialStopsAtFF)
{
    std::vector<uint8_t> b(512, 0);
    PutAta(b, 10, "    S3Z9NB0K1234  ");
    PutAta(b, 23, "RVT01B6Q");
    PutAta(b, 27, "Samsung SSD 860 EVO 500GB               ");
    C_DeviceTexts t;
    ASSERT_EQ(DecodeIdentify(b.data(), b.size(), &t), 1);
    EXPECT_EQ(t.serial, "S3Z9NB0K1234");
    EXPECT_EQ(t.vendor, "Samsung ");
    EXPECT_EQ(t.product, "SSD 860 EVO 500GB");
    EXPECT_EQ(t.revision, "RVT01B6Q");
    PutAta(b, 10,
           "AB\xFF"
           "CDEFGHIJKLMNOPQR");
    ASSERT_EQ(DecodeIdentify(b.data(), b.size(), &t), 1);
    EXPECT_EQ(t.serial, "AB");
    EXPECT_EQ(DecodeIdentify(b.data(), 511, &t), 0);
}

TEST(DescriptorSerial, HexGroupsAreDecodedOtherTextKept)
{
    // "WD-WX11" stored swapped as hexadecimal groups, ended by a zero group.
    EXPECT_EQ(DecodeDescriptorSerial("4457572d31583131"
                                     "0000"
                                     "4142"),
              "WD-WX111");
    EXPECT_EQ(DecodeDescriptorSerial("44575758"), "WDXW");
    EXPECT_EQ(DecodeDescriptorSerial("S3Z9NB0K1234"), "S3Z9NB0K1234");
    EXPECT_EQ(DecodeDescriptorSerial("0123456"), "0123456"); // not whole groups
    EXPECT_EQ(DecodeDescriptorSerial("1F20"), "1F20");       // 0x1F not printable
    EXPECT_EQ(DecodeDescriptorSerial("0000"), "0000");
    EXPECT_EQ(DecodeDescriptorSerial(""), "");
}

std::vector<uint8_t> Descriptor(uint32_t bus, const char* vendor, const char* product, const char* serial,
                                size_t rawLength)
{
    std::vector<uint8_t> b(36 + rawLength, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    b[8] = 0;
    b[10] = 1;
    put32(28, bus);
    put32(32, uint32_t(rawLength));
    auto append = [&](size_t field, const char* text) {
        put32(field, uint32_t(b.size()));
        b.insert(b.end(), text, text + strlen(text) + 1);
    };
    append(12, vendor);
    append(16, product);
    append(24, serial);
    put32(4, uint32_t(b.size()));
    return b;
}

TEST(StorageDescriptor, TextsBusAndRawInquiry)
{
    auto b = Descriptor(7, "  Generic ", "Flash Disk  ", "3132333435360000", 0);
    C_StorageDescriptor d;
    ASSERT_EQ(DecodeStorageDescriptor(b.data(), b.size(), &d), 1);
    EXPECT_EQ(d.busType, 7u);
    EXPECT_EQ(BusBitsFromBusType(d.busType), 0x2u);
    EXPECT_EQ(d.removable, 1u);
    EXPECT_EQ(d.texts.vendor, "Generic");
    EXPECT_EQ(d.texts.product, "Flash Disk");
    EXPECT_EQ(d.texts.revision, "");
    EXPECT_EQ(d.texts.serial, "214365");
    EXPECT_TRUE(d.rawInquiry.empty());

    b = Descriptor(1, "V", "P", "X", 36);
    auto inq = Inquiry("VENDOR01", "PRODUCT-NAME-016", "REV1");
    std::copy(inq.begin(), inq.end(), b.begin() + 36);
    ASSERT_EQ(DecodeStorageDescriptor(b.data(), b.size(), &d), 1);
    ASSERT_EQ(d.rawInquiry.size(), 36u);
    C_DeviceTexts t;
    ApplyRawInquiry(d.rawInquiry, 0x2, &t);
    EXPECT_EQ(t.vendor, "VENDOR01");
    EXPECT_EQ(t.product, "PRODUCT-NAME-016");
    EXPECT_EQ(t.revision, "REV1");
    C_DeviceTexts shifted;
    shifted.revision = "keep";
    ApplyRawInquiry(d.rawInquiry, 0x4, &shifted);
    EXPECT_EQ(shifted.vendor, "OR01PROD");
    EXPECT_EQ(shifted.product, "UCT-NAME-016REV1");
    EXPECT_EQ(shifted.revision, "keep");
    for (uint32_t bus : {0u, 2u, 3u, 5u, 8u})
        EXPECT_EQ(BusBitsFromBusType(bus), 0u);
    EXPECT_EQ(BusBitsFromBusType(4), 0x8u);
    EXPECT_EQ(BusBitsFromBusType(9), 0x20u);
}

TEST(StorageDescriptor, OffsetsOutsideTheAnswerAreIgnored)
{
    auto b = Descriptor(7, "Vendor", "Product", "Serial", 0);
    b[12] = 0xF0;   // vendor offset far beyond the data
    b.back() = 'x'; // serial no longer ends inside the data
    C_StorageDescriptor d;
    ASSERT_EQ(DecodeStorageDescriptor(b.data(), b.size(), &d), 1);
    EXPECT_EQ(d.texts.vendor, "");
    EXPECT_EQ(d.texts.serial, "Serialx");
    EXPECT_EQ(DecodeStorageDescriptor(b.data(), 35, &d), 0);
}

TEST(Location, Packing)
{
    EXPECT_EQ(PackLocation(7, 1, 2), 0x00070102u);
    EXPECT_EQ(PackLocation(2, 0, 0), 0x00020000u);
    EXPECT_EQ(PackLocation(0x12345, 0x1FF, 0x1FF), 0x2345FFFFu);
}

} // namespace

namespace {

// A mount manager answer with the given link names.
std::vector<uint8_t> MountPoints(const std::vector<std::u16string>& links)
{
    std::vector<uint8_t> b(8 + 24 * links.size(), 0);
    b[4] = uint8_t(links.size());
    for (size_t i = 0; i < links.size(); ++i) {
        const uint32_t offset = uint32_t(b.size());
        const size_t at = 8 + 24 * i;
        WriteBe32(&b[at], 0);
        b[at] = uint8_t(offset);
        b[at + 1] = uint8_t(offset >> 8);
        b[at + 4] = uint8_t(links[i].size() * 2);
        for (char16_t c : links[i]) {
            b.push_back(uint8_t(c));
            b.push_back(uint8_t(c >> 8));
        }
    }
    b[0] = uint8_t(b.size());
    return b;
}

TEST(MountPoints, OnlyDriveLetterLinksCount)
{
    auto b = MountPoints({u"\\??\\Volume{1234}", u"\\DosDevices\\e:", u"\\DosDevices\\C:",
                          u"\\DosDevices\\E:", u"\\DosDevices\\FF", u"\\DosDevices\\C:\\mnt"});
    std::string letters;
    DecodeMountPointLetters(b.data(), b.size(), &letters);
    EXPECT_EQ(letters, "EC");
    // An entry whose name lies outside the answer is skipped, the count is not trusted.
    b[4] = 200;
    letters.clear();
    DecodeMountPointLetters(b.data(), b.size() - 2, &letters);
    EXPECT_EQ(letters, "EC");
    letters.clear();
    DecodeMountPointLetters(b.data(), 7, &letters);
    EXPECT_EQ(letters, "");
}

TEST(MountPoints, QueryCarriesTheDeviceName)
{
    const auto q = EncodeMountPointQuery(u"\\Device\\HarddiskVolume1");
    ASSERT_EQ(q.size(), 24u + 23 * 2);
    EXPECT_EQ(q[16], 24); // device name offset
    EXPECT_EQ(q[20], 46); // its length in bytes
    EXPECT_EQ(q[0], 0);   // no link name asked
    EXPECT_EQ(q[24], '\\');
    EXPECT_EQ(q[26], 'D');
    EXPECT_EQ(q[27], 0);
}

} // namespace

namespace {

TEST(DosDrive, DeviceParametersGiveSectorSizeAndCount)
{
    std::vector<uint8_t> p(7 + 31, 0);
    p[7] = 0x00;
    p[8] = 0x02; // 512 bytes per sector
    p[7 + 8] = 0x40;
    p[7 + 9] = 0x0B; // 2880 sectors: a 1.44 MB floppy
    uint32_t bps = 0;
    uint64_t sectors = 0;
    ASSERT_EQ(DecodeDosDeviceParams(p.data(), p.size(), &bps, &sectors), 1);
    EXPECT_EQ(bps, 512u);
    EXPECT_EQ(sectors, 2880u);
    p[7 + 8] = p[7 + 9] = 0; // large volume: the 32-bit count
    p[7 + 21] = 0x00;
    p[7 + 22] = 0x00;
    p[7 + 23] = 0x40;
    p[7 + 24] = 0x00;
    ASSERT_EQ(DecodeDosDeviceParams(p.data(), p.size(), &bps, &sectors), 1);
    EXPECT_EQ(sectors, 0x400000u);
    EXPECT_EQ(DecodeDosDeviceParams(p.data(), 31, &bps, &sectors), 0);
    p[7] = p[8] = 0;
    EXPECT_EQ(DecodeDosDeviceParams(p.data(), p.size(), &bps, &sectors), 0);
}

} // namespace
