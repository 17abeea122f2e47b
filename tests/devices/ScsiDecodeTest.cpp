// Decoders of SCSI and MMC answers, fed with answers built the way devices send them.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "devices/ByteFields.h"
#include "devices/ScsiDecode.h"
#include "tests/devices/InquiryAnswer.h"

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

} // namespace
