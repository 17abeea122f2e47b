// The addressing rule of the handle records: which path a transfer takes, at which block or
// byte address, and which transfers and capacities are refused because an address would wrap.
#include <gtest/gtest.h>
#include "core/ErrorCodes.h"
#include "devices/BlockAddressing.h"

namespace {

struct RouteCase {
    const char* what;
    uint32_t kind, type;
    int offsetKnown;
    uint64_t offset;
    int write, windows9x;
    uint64_t block;
    uint32_t count;
    uint32_t path;
    uint64_t address;
    uint32_t error;
};

const uint64_t kTop = ~uint64_t(0);

const RouteCase kRoutes[] = {
    {"volume, offset unknown: written inside the volume", kKindLogical, kTypeFixedLogical, 0, 0, 1, 0, 10, 4,
     kRouteFile, 10 * 512, 0},
    {"volume, offset known: written at its disk address", kKindLogical, kTypeFixedLogical, 1, 2048, 1, 0, 10,
     4, kRouteCommand10, 2058, 0},
    {"volume, offset known: read inside the volume", kKindLogical, kTypeFixedLogical, 1, 2048, 0, 0, 10, 4,
     kRouteFile, 10 * 512, 0},
    {"volume write beyond the transfer limit", kKindLogical, kTypeFixedLogical, 1, 2048, 1, 0, 10, 200,
     kRouteFile, 10 * 512, 0},
    {"disk within the limit", kKindPhysical, kTypeFixedPhysical, 0, 0, 1, 0, 7, 128, kRouteCommand10, 7, 0},
    {"disk write reaching the 32-bit end", kKindPhysical, kTypeFixedPhysical, 0, 0, 1, 0, 0xFFFFFFFEull, 1,
     kRouteFile, 0xFFFFFFFEull * 512, 0},
    {"optical volume, offset unknown: read as always", kKindLogical, kTypeOptical, 0, 0, 0, 0, 16, 2,
     kRouteCommand10, 16, 0},
    {"optical volume, offset unknown: written inside it", kKindLogical, kTypeOptical, 0, 0, 1, 0, 16, 2,
     kRouteFile, 16 * 512, 0},
    {"Windows 9x volume, offset known", kKindLogical, kTypeFixedLogical, 1, 63, 1, 1, 1, 1, kRouteCommand10,
     64, 0},
    {"Windows 9x volume, offset unknown: no write at all", kKindLogical, kTypeFixedLogical, 0, 0, 1, 1, 1, 1,
     kRouteRefused, 0, kErrorNotSupported},
    {"file offset wraps past 2^64 to block 3", kKindPhysical, kTypeFixedPhysical, 0, 0, 0, 0,
     (1ull << 55) + 3, 1, kRouteRefused, 0, kErrorArithmeticOverflow},
    {"file offset beyond the signed range", kKindPhysical, kTypeFixedPhysical, 0, 0, 0, 0, 1ull << 54, 1,
     kRouteRefused, 0, kErrorArithmeticOverflow},
    {"the last block below the signed range", kKindPhysical, kTypeFixedPhysical, 0, 0, 0, 0, (1ull << 54) - 1,
     1, kRouteFile, (1ull << 63) - 512, 0},
    {"file end beyond the signed range", kKindPhysical, kTypeFixedPhysical, 0, 0, 0, 0, (1ull << 54) - 1, 2,
     kRouteRefused, 0, kErrorArithmeticOverflow},
    {"more than 4 GiB in one transfer", kKindPhysical, kTypeFixedPhysical, 0, 0, 0, 0, 0, 0x800000,
     kRouteRefused, 0, kErrorInvalidParameter},
    {"block + offset wraps to LBA 3", kKindLogical, kTypeOptical, 1, 63, 0, 0, kTop - 59, 1, kRouteRefused, 0,
     kErrorArithmeticOverflow},
    {"the highest 10-byte address", kKindLogical, kTypeOptical, 1, 63, 0, 0, 0xFFFFFFFEull - 63, 1,
     kRouteCommand10, 0xFFFFFFFEull, 0},
    {"one past the 10-byte addresses", kKindLogical, kTypeOptical, 1, 63, 0, 0, 0xFFFFFFFFull - 63, 1,
     kRouteRefused, 0, kErrorInvalidParameter},
    {"more blocks than the 10-byte count", kKindCdRom, kTypeOptical, 0, 0, 0, 0, 0, 0x10000, kRouteRefused, 0,
     kErrorInvalidParameter},
};

TEST(BlockRoute, PathAndAddressOfEachTransfer)
{
    for (const RouteCase& c : kRoutes) {
        SCOPED_TRACE(c.what);
        C_Device d;
        d.dwKind = c.kind;
        d.dwType = c.type;
        d.bOffsetKnown = c.offsetKnown;
        d.ullBlockOffset = c.offset;
        d.dwBlockSize = 512;
        d.dwMaxBlocks = 128;
        const C_BlockRoute r = RouteBlockTransfer(d, c.write, c.windows9x, c.block, c.count);
        EXPECT_EQ(r.path, c.path);
        if (c.path == kRouteRefused) {
            EXPECT_EQ(r.error, c.error);
        } else {
            EXPECT_EQ(r.address, c.address);
            EXPECT_EQ(r.bytes, c.count * 512u);
        }
    }
}

TEST(BlockAddressing, CapacitiesNoByteAddressReaches)
{
    EXPECT_TRUE(CapacityAddressable(1ull << 54, 512)); // 2^63 bytes: the last block is addressable
    EXPECT_FALSE(CapacityAddressable((1ull << 54) + 1, 512));
    EXPECT_FALSE(CapacityAddressable(1ull << 56, 512));
    EXPECT_FALSE(CapacityAddressable(kTop, 1));
    EXPECT_TRUE(CapacityAddressable(0xFFFFFFFFull, 4096));
}

} // namespace
