#include <gtest/gtest.h>
#include <map>
#include "app/settings/AppValues.h"
#include "app/settings/Flags.h"
#include "tests/app/settings/MapStore.h"

namespace {

AppValues Load(MapStore& store, const char* arguments)
{
    CommandLineState line;
    line.flags = kFlagDefaults;
    ParseSwitches(arguments, "C:\\Quellmor.exe", line);
    AppValues values;
    TakeCommandLine(line, values);
    LoadAppValues(store, line, values);
    return values;
}

TEST(LoadSettings, EmptyStoreGivesTheDefaults)
{
    MapStore store;
    AppValues v = Load(store, "");
    EXPECT_EQ(v.flags, 0x9018u);
    EXPECT_EQ(v.fileSize, 0u);
    EXPECT_EQ(v.blockSize, 65536u);
    EXPECT_EQ(v.preReadSize, 3145728u);
    EXPECT_EQ(v.testFile, "");
}

TEST(LoadSettings, SwitchesWinOverStoredFlags)
{
    MapStore store;
    store.numbers["Flags"] = 0x9018 | 0x10;
    EXPECT_EQ(Load(store, "-c").flags & 0x10, 0u);
    store.numbers["Flags"] = 0x1018; // graph unticked last time
    EXPECT_EQ(Load(store, "").flags & 0x8000, 0u);
    store.numbers["Flags"] = 0x1018 | 0x2000000;
    AppValues v = Load(store, "-y -q");
    EXPECT_EQ(v.flags & 0x2000000, 0u);
    EXPECT_EQ(v.flags & kFlagKindMask, 0x2000u);
}

TEST(LoadSettings, UnsavedBitsComeOnlyFromTheCommandLine)
{
    MapStore store;
    store.numbers["Flags"] = 0xFFFFFFFF;
    AppValues plain = Load(store, "");
    EXPECT_EQ(plain.flags, kFlagSaveMask);
    AppValues withSwitches = Load(store, "-x -z -r");
    EXPECT_EQ(withSwitches.flags, kFlagSaveMask | 0x1000000u | 0x4000000u | 0x2u);
}

TEST(LoadSettings, StoredParametersUnlessTheCommandLineGaveThem)
{
    MapStore store;
    store.texts["FileSize"] = "5000";
    store.texts["BlockSize"] = "abc";
    store.texts["PreReadSize"] = " 1024xyz";
    store.texts["TestFile"] = "C:\\x.bin";
    AppValues v = Load(store, "");
    EXPECT_EQ(v.fileSize, 5000u);
    EXPECT_EQ(v.blockSize, 65536u);
    EXPECT_EQ(v.preReadSize, 1024u);
    EXPECT_EQ(v.testFile, "C:\\x.bin");

    AppValues given = Load(store, "-i 1048576 -l D:\\y.bin");
    EXPECT_EQ(given.fileSize, 1048576u);
    EXPECT_EQ(given.testFile, "D:\\y.bin");
    EXPECT_EQ(given.preReadSize, 1024u);
}

TEST(SaveSettings, StoresOnlyTheMaskedBitsAndDecimalTexts)
{
    MapStore store;
    AppValues v;
    v.flags = 0xFFFFFFFF;
    v.fileSize = 8589934592ull;
    v.blockSize = 4096;
    v.preReadSize = 0;
    v.testFile = "C:\\t.bin";
    SaveAppValues(store, v);
    EXPECT_EQ(store.numbers["Flags"], 0x225F1F9u | 0x8000000u);
    for (uint32_t gone : {0x2u, 0x4u, 0x200u, 0x400u, 0x800u, 0x20000u, 0x80000u, 0x100000u, 0x400000u,
                          0x800000u, 0x1000000u, 0x4000000u})
        EXPECT_EQ(store.numbers["Flags"] & gone, 0u) << gone;
    EXPECT_EQ(store.texts["FileSize"], "8589934592");
    EXPECT_EQ(store.texts["BlockSize"], "4096");
    EXPECT_EQ(store.texts["PreReadSize"], "0");
    EXPECT_EQ(store.texts["TestFile"], "C:\\t.bin");

    // What was saved loads back unchanged.
    AppValues back = Load(store, "");
    EXPECT_EQ(back.flags, 0x225F1F9u | 0x8000000u);
    EXPECT_EQ(back.fileSize, v.fileSize);
    EXPECT_EQ(back.blockSize, 4096u);
}

TEST(StoredNumber, LeadingDigitsOnly)
{
    uint64_t n = 7;
    EXPECT_FALSE(ParseStoredNumber("", &n));
    EXPECT_FALSE(ParseStoredNumber("-5", &n));
    EXPECT_EQ(n, 7u);
    EXPECT_TRUE(ParseStoredNumber("  42 MB", &n));
    EXPECT_EQ(n, 42u);
}

} // namespace
