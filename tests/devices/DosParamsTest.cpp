// Device parameters of a DOS drive.
#include <gtest/gtest.h>
#include <vector>
#include "devices/DosParams.h"

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
