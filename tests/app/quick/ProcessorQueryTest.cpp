// The WMI processor query against the system's own WMI service.
#include <gtest/gtest.h>
#include "app/pages/quick/ResultSubmit.h"
#include "support/OsVersion.h"

TEST(ProcessorQuery, FirstProcessorHasANameAndClock)
{
    std::string name;
    uint32_t mhz = 0;
    ASSERT_TRUE(QueryProcessor(name, mhz));
    EXPECT_FALSE(name.empty());
    EXPECT_GT(mhz, 100u);
    // A second query on the same thread works too (COM initialised and released per call).
    std::string again;
    uint32_t mhz2 = 0;
    EXPECT_TRUE(QueryProcessor(again, mhz2));
    EXPECT_EQ(again, name);
}

TEST(OsVersionOnThisSystem, NtWithAKnownDescription)
{
    const uint64_t word = GetOsVersionWord();
    EXPECT_EQ(word & 0x1, 1u);
    std::string text;
    GetOsDescription(word, text);
    EXPECT_EQ(text.compare(0, 8, "Windows "), 0) << text;
    EXPECT_TRUE(IsOsVersion(0x1, 0));
    EXPECT_FALSE(IsOsVersion(0x2, 0));
}
