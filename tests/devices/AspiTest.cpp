// ASPI units through the stand-in wnaspi32.dll that sits beside this program.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "devices/DeviceList.h"
#include "devices/win/LegacyEnumerators.h"

namespace {

class AspiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("QM_TEST_ASPI_ADAPTER", nullptr);
        list.Register(nullptr, nullptr, 0, 0);
    }
    C_DeviceList list;
};

TEST_F(AspiTest, UnitsAreListedWithTheirFiguresAndASilentUnitDoesNotHang)
{
    const DWORD start = GetTickCount();
    EnumerateAspiDevices(list);
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 2000u);
    ASSERT_EQ(list.GetCount(), 2u);
    C_Device* disk = list.Find(0x000000, kKindAspi);
    C_Device* cd = list.Find(0x000100, kKindAspi);
    ASSERT_TRUE(disk && cd);
    EXPECT_EQ(disk->strName, "QUELLMOR ASPI - QMTEST");
    EXPECT_EQ(disk->strVendor, "QUELLMOR");
    EXPECT_EQ(disk->strProduct, "ASPI DISK");
    EXPECT_EQ(disk->strRevision, "2.0");
    EXPECT_EQ(disk->dwType, 1u);
    EXPECT_EQ(disk->strLetters, "Q");
    EXPECT_EQ(disk->ullBlockCount, 1024u);
    EXPECT_EQ(disk->dwBlockSize, 512u);
    EXPECT_EQ(disk->dwMaxBlocks, 128u);
    EXPECT_EQ(disk->dwCaps & 7u, 7u);
    EXPECT_EQ(disk->dwBus & 0x2u, 0u);
    EXPECT_EQ(cd->dwType, 3u);
    EXPECT_EQ(cd->dwBlockSize, 2048u);
    EXPECT_EQ(cd->ullFirstBlock, 16u);
    EXPECT_EQ(cd->ullBlockCount, 300u);
    EXPECT_EQ(cd->dwMaxBlocks, 32u);
    EXPECT_EQ(cd->strLetters, "");
}

TEST_F(AspiTest, BlocksTravelThroughSendAspiCommand)
{
    EnumerateAspiDevices(list);
    C_Device* disk = list.Find(0x000000, kKindAspi);
    C_Device* cd = list.Find(0x000100, kKindAspi);
    ASSERT_TRUE(disk && cd);
    std::vector<uint8_t> out(3 * 512), in(3 * 512);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = uint8_t(i * 3 + 1);
    ASSERT_EQ(disk->WriteBlocks(1020, 3, out.data()), 1);
    ASSERT_EQ(disk->ReadBlocks(1020, 3, in.data()), 1);
    EXPECT_EQ(in, out);
    EXPECT_EQ(disk->ReadBlocks(1022, 3, in.data()), 0); // past the end
    EXPECT_EQ(GetLastError(), uint32_t(ERROR_IO_DEVICE));

    std::vector<uint8_t> block(2048);
    ASSERT_EQ(cd->ReadBlocks(17, 1, block.data()), 1);
    EXPECT_EQ(block[0], uint8_t(17));
    EXPECT_EQ(block[5], uint8_t(17 + 17 * 2048 + 5));
    EXPECT_EQ(cd->WriteBlocks(17, 1, block.data()), 0);
}

TEST_F(AspiTest, UsbBridgeAdaptersMarkTheirUnitsUsb)
{
    SetEnvironmentVariableA("QM_TEST_ASPI_ADAPTER", "USBMPHLP");
    EnumerateAspiDevices(list);
    C_Device* disk = list.Find(0x000000, kKindAspi);
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->strName, "QUELLMOR ASPI - USBMPHLP");
    EXPECT_EQ(disk->dwBus & 0x2u, 0x2u);
    list.Clear();
    SetEnvironmentVariableA("QM_TEST_ASPI_ADAPTER", "CY_IOSTB");
    EnumerateAspiDevices(list);
    ASSERT_NE(list.Find(0x000100, kKindAspi), nullptr);
    EXPECT_EQ(list.Find(0x000100, kKindAspi)->dwBus & 0x2u, 0x2u);
}

} // namespace
