#include <gtest/gtest.h>
#include <random>
#include <vector>
#include "app/pages/block/model/UdmaCrc.h"

TEST(BlockUdmaCrc, EmptyBufferGivesTheInitialValue)
{
    EXPECT_EQ(UdmaCrc(nullptr, 0), 0x4ABA);
    EXPECT_EQ(UdmaCrcBitwise(nullptr, 0), 0x4ABA);
    const uint8_t one = 0x55; // a lone byte is no word
    EXPECT_EQ(UdmaCrc(&one, 1), 0x4ABA);
    EXPECT_EQ(UdmaCrcBitwise(&one, 1), 0x4ABA);
}

TEST(BlockUdmaCrc, BothFormsAgree)
{
    std::mt19937 random(12345);
    for (size_t size : {2u, 4u, 6u, 512u, 513u, 2048u, 65536u}) {
        std::vector<uint8_t> data(size);
        for (auto& byte : data)
            byte = uint8_t(random());
        EXPECT_EQ(UdmaCrc(data.data(), size), UdmaCrcBitwise(data.data(), size)) << size;
    }
    // Every single word, so each bit path of the word-wide form is covered.
    for (uint32_t w = 0; w < 0x10000; ++w) {
        const uint8_t word[2] = {uint8_t(w), uint8_t(w >> 8)};
        ASSERT_EQ(UdmaCrc(word, 2), UdmaCrcBitwise(word, 2)) << w;
    }
}

TEST(BlockUdmaCrc, ValuesFollowTheData)
{
    // Known register steps: a zero word shifts 0x4ABA sixteen times through the polynomial.
    const uint8_t zero[2] = {0, 0};
    uint16_t crc = 0x4ABA;
    for (int i = 0; i < 16; ++i)
        crc = uint16_t((crc << 1) ^ ((crc & 0x8000) ? 0x1021 : 0));
    EXPECT_EQ(UdmaCrc(zero, 2), crc);
    // Words are little-endian and entered bit 0 first: swapping bytes changes the value.
    const uint8_t a[2] = {0x01, 0x00}, b[2] = {0x00, 0x01};
    EXPECT_NE(UdmaCrc(a, 2), UdmaCrc(b, 2));
}
