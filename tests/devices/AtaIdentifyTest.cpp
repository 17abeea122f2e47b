// ATA IDENTIFY DEVICE data built the way a drive sends it.
#include <gtest/gtest.h>
#include <vector>
#include "devices/AtaIdentify.h"

namespace {

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

} // namespace
