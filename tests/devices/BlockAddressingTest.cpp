// Block address arithmetic: which transfers and capacities are refused because an address
// would wrap.
#include <gtest/gtest.h>
#include "core/ErrorCodes.h"
#include "devices/BlockAddressing.h"

namespace {

const uint64_t kTop = ~uint64_t(0);

TEST(BlockAddressing, CapacitiesNoByteAddressReaches)
{
    EXPECT_TRUE(CapacityAddressable(1ull << 54, 512)); // 2^63 bytes: the last block is addressable
    EXPECT_FALSE(CapacityAddressable((1ull << 54) + 1, 512));
    EXPECT_FALSE(CapacityAddressable(1ull << 56, 512));
    EXPECT_FALSE(CapacityAddressable(kTop, 1));
    EXPECT_TRUE(CapacityAddressable(0xFFFFFFFFull, 4096));
}

} // namespace
