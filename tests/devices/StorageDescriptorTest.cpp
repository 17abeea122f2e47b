// Answers of the system's storage queries, built the way the system returns them.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "devices/StorageDescriptor.h"
#include "tests/devices/InquiryAnswer.h"

namespace {

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
