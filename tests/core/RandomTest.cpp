#include <gtest/gtest.h>
#include <cstring>
#include <set>
#include <thread>
#include "core/Random.h"

TEST(Rand15, KnownSequenceFromSeedOne)
{
    // The linear congruential step state * 214013 + 2531011, high 15 bits of the low word.
    Rand15Seed(1);
    const uint32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (uint32_t e : expected)
        EXPECT_EQ(Rand15(), e);
}

TEST(Rand15, UnseededThreadStartsFromOneAndStateIsPerThread)
{
    Rand15Seed(12345);
    Rand15();
    uint32_t first = 0;
    std::thread t([&] { first = Rand15(); });
    t.join();
    EXPECT_EQ(first, 41u);
}

TEST(Rand15, RangeAndSpread)
{
    Rand15Seed(7);
    std::set<uint32_t> seen;
    for (int i = 0; i < 100000; ++i) {
        uint32_t v = Rand15();
        ASSERT_LE(v, 32767u);
        seen.insert(v);
    }
    EXPECT_GT(seen.size(), 30000u);
}

TEST(MapToAlphabet, AlphabetsAndTerminator)
{
    uint8_t bytes[300];
    for (int i = 0; i < 300; ++i)
        bytes[i] = (uint8_t)(i * 7);
    uint8_t copy[300];
    memcpy(copy, bytes, sizeof(bytes));
    MapToAlphabet(copy, sizeof(copy), 0);
    EXPECT_EQ(memcmp(copy, bytes, sizeof(bytes)), 0);

    const char* alphabets[] = {
        nullptr,
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789~`!@#$%^&*()_-+={}[];:'<>,.?|\\/",
        "0123456789abcdef", "abcdefghijklmnopqrstuvwxyz0123456789"};
    for (int a = 1; a <= 3; ++a) {
        memcpy(copy, bytes, sizeof(bytes));
        MapToAlphabet(copy, sizeof(copy), a);
        const char* letters = alphabets[a];
        const size_t n = strlen(letters);
        EXPECT_EQ(copy[299], 0);
        for (int i = 0; i < 299; ++i)
            ASSERT_EQ(copy[i], (uint8_t)letters[bytes[i] % n]) << "alphabet " << a << " index " << i;
    }
    EXPECT_EQ(strlen(alphabets[1]), 93u);
    // Any other non-zero number takes the third alphabet.
    memcpy(copy, bytes, sizeof(bytes));
    MapToAlphabet(copy, sizeof(copy), 9);
    EXPECT_EQ(copy[1], (uint8_t)alphabets[3][bytes[1] % 36]);
}
