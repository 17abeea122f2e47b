#include <gtest/gtest.h>
#include <cstring>
#include "core/AlignedBuffer.h"

TEST(AlignedBuffer, BlockOnAPageBoundaryInsideTheAllocation)
{
    for (uint32_t block : {1u, 4096u, 65536u, 1u << 20}) {
        C_AlignedBuffer b;
        ASSERT_EQ(b.Allocate(block), 1);
        EXPECT_EQ((uintptr_t)b.Get() % 4096, 0u);
        memset(b.Get(), 0xA5, block); // the whole block is ours (ASan checks natively)
    }
    C_AlignedBuffer again;
    ASSERT_EQ(again.Allocate(4096), 1);
    ASSERT_EQ(again.Allocate(8192), 1); // a second allocation replaces the first without leaking
    memset(again.Get(), 0, 8192);
}
