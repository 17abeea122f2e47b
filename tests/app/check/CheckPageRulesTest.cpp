#include <gtest/gtest.h>
#include "app/pages/check/model/CheckPageRules.h"
#include "core/ErrorCodes.h"
#include "core/UsbHint.h"
#include "tests/app/settings/MapStore.h"

TEST(CheckPageRules, StoredValuesComeBackAndOddOnesAreIgnored)
{
    MapStore store;
    const C_CheckValues fresh = LoadCheckValues(store);
    EXPECT_EQ(fresh.limit, "");
    EXPECT_EQ(fresh.keepFiles, 0);
    EXPECT_EQ(fresh.letter, 0);

    C_CheckValues values;
    values.limit = "2048";
    values.keepFiles = 1;
    values.letter = 'E';
    SaveCheckValues(store, values);
    EXPECT_EQ(store.texts["CheckLimit"], "2048");
    EXPECT_EQ(store.numbers["CheckKeepFiles"], 1u);
    EXPECT_EQ(store.texts["CheckDrive"], "E");
    const C_CheckValues back = LoadCheckValues(store);
    EXPECT_EQ(back.limit, "2048");
    EXPECT_EQ(back.keepFiles, 1);
    EXPECT_EQ(back.letter, 'E');

    // A hand-edited letter: lower case is taken, anything else means none.
    store.texts["CheckDrive"] = "f";
    EXPECT_EQ(LoadCheckValues(store).letter, 'F');
    for (const char* odd : {"EF", "1", "", ":"}) {
        store.texts["CheckDrive"] = odd;
        EXPECT_EQ(LoadCheckValues(store).letter, 0) << odd;
    }
}

TEST(CheckPageRules, SizeLimitField)
{
    EXPECT_EQ(CheckLimitBytes(""), 0u);
    EXPECT_EQ(CheckLimitBytes("   "), 0u);
    EXPECT_EQ(CheckLimitBytes("MByte"), 0u);
    EXPECT_EQ(CheckLimitBytes(" 256"), 256ull << 20);
    EXPECT_EQ(CheckLimitBytes("64x"), 64ull << 20);
    // Far beyond any drive: as large as can be, never wrapped to a small limit.
    EXPECT_EQ(CheckLimitBytes("99999999999999999999"), UINT64_MAX);
    EXPECT_EQ(CheckLimitBytes("17592186044416"), UINT64_MAX); // 2^44 MiB is 2^64 bytes
}

TEST(CheckPageRules, TheWindowsDriveIsFilledOnlyWhenTheUserSaysSo)
{
    EXPECT_EQ(
        WindowsDriveQuestion('c', 'C', 0),
        "Drive C: holds Windows. The check fills its free space up to a small margin while it runs, and "
        "programs that write to the drive meanwhile may fail.\n\nCheck the whole free space anyway? A "
        "size limit leaves the rest free.");
    EXPECT_EQ(WindowsDriveQuestion('C', 'c', 0).substr(0, 9), "Drive C: ");
    EXPECT_EQ(WindowsDriveQuestion('C', 'C', 256ull << 20), ""); // a limit leaves the rest free
    EXPECT_EQ(WindowsDriveQuestion('E', 'C', 0), "");
    EXPECT_EQ(WindowsDriveQuestion('E', 0, 0), ""); // no Windows folder known
}

TEST(CheckPageRules, CurvePointsSitOnTheChunkTheyEnd)
{
    const uint64_t chunk = 8u << 20;
    // 8 MiB in 125 ms is 64 MiB/s.
    EXPECT_EQ(CurvePoint(chunk, chunk, 125000, chunk).x, 0);
    EXPECT_EQ(CurvePoint(chunk, chunk, 125000, chunk).megaBytesPerSecond, 64);
    EXPECT_EQ(CurvePoint(3 * chunk, chunk, 125000, chunk).x, 2);
    // The last chunk of a fill may be short; it is still a chunk of its own.
    EXPECT_EQ(CurvePoint(3 * chunk + 512, 512, 10, chunk).x, 3);
    EXPECT_EQ(CurvePoint(chunk, chunk, 125000, chunk).drawn, 1);
    // No clock step: no rate to draw, where a made-up one would squash the whole curve.
    EXPECT_EQ(CurvePoint(chunk, chunk, 0, chunk).drawn, 0);
}

TEST(CheckPageRules, ResultTexts)
{
    C_PassRates rates;
    rates.mean = 95.4 * 1048576;
    rates.minimum = 80.2 * 1048576;
    rates.median = 94.0 * 1048576;
    EXPECT_EQ(FormatPassSpread(rates), "min 80 MByte/sec, median 94 MByte/sec");
    EXPECT_EQ(FormatPassResult(rates), "95.4 MByte/sec (min 80 MByte/sec, median 94 MByte/sec)");

    C_Cliff none, write, read;
    write.found = read.found = 1;
    write.before = 95.0 * 1048576;
    write.after = 12.0 * 1048576;
    write.position = 3328599654ull; // 3.1 GiB
    read.before = 40.0 * 1048576;
    read.after = 20.0 * 1048576;
    read.position = 1ull << 30;
    EXPECT_EQ(FormatCliffs(none, none), "");
    EXPECT_EQ(FormatCliffs(write, none),
              "write speed falls from 95 MByte/sec to 12 MByte/sec after 3.1 GByte");
    EXPECT_EQ(FormatCliffs(none, read),
              "read speed falls from 40 MByte/sec to 20 MByte/sec after 1024.0 MByte");
    EXPECT_EQ(FormatCliffs(write, read),
              "write speed falls from 95 MByte/sec to 12 MByte/sec after 3.1 GByte; "
              "read speed falls from 40 MByte/sec to 20 MByte/sec after 1024.0 MByte");

    EXPECT_EQ(
        FormatCheckLogLine("7.5 GB STICK", "All 7.4 GByte came back intact.", "12.0 MByte/sec (...)",
                           "30.1 MByte/sec (...)"),
        "7.5 GB STICK\tcheck:\tAll 7.4 GByte came back intact.\twrite:\t12.0 MByte/sec (...)\tread:\t30.1 "
        "MByte/sec (...)\r\n");

    EXPECT_EQ(FormatCheckStatus(1, 512u << 20, 2ull << 30, 0), "Writing 512.0 MByte of 2048.0 MByte");
    EXPECT_EQ(FormatCheckStatus(2, 12ull << 30, 16ull << 30, 30u << 20),
              "Reading back 12.0 GByte of 16.0 GByte, 30.0 MByte/sec");
    EXPECT_EQ(FormatCheckStatus(0, 1, 2, 3), "");
    // The write pass is the first half of the bar, the read pass the second.
    EXPECT_EQ(CheckProgress(1, 0, 1000), 0u);
    EXPECT_EQ(CheckProgress(1, 1000, 1000), 50u);
    EXPECT_EQ(CheckProgress(2, 500, 1000), 75u);
    EXPECT_EQ(CheckProgress(2, 1000, 1000), 100u);
    EXPECT_EQ(CheckProgress(0, 1000, 1000), 0u);
}

TEST(CheckPageRules, UsbHintsOfBothPassesSayEachRemarkOnce)
{
    const auto hints = [](int speedClass, float write, float read) {
        std::string w, r;
        AppendUsbHint(w, speedClass, 1, write);
        AppendUsbHint(r, speedClass, 0, read);
        return CombineUsbHints(w, r);
    };
    const float slow = 5e6f, fast = 300e6f;
    EXPECT_EQ(hints(kUsbHighSpeed, fast, fast), "");
    EXPECT_EQ(hints(kUsbHighSpeed, slow, fast), "This is pretty slow for an USB2 device.");
    EXPECT_EQ(hints(kUsbHighSpeed, fast, slow), "This is pretty slow for an USB2 device.");
    EXPECT_EQ(hints(kUsbHighSpeed, slow, slow), "This is pretty slow for an USB2 device.");
    EXPECT_EQ(hints(kUsb3OnUsb2, fast, fast), "USB3 device on USB2 controller!");
    EXPECT_EQ(hints(kUsb3OnUsb2, slow, fast),
              "This is pretty slow for an USB2 device. USB3 device on USB2 controller!");
    EXPECT_EQ(hints(kUsb3AtHighSpeed, fast, slow),
              "This is pretty slow for an USB3 device. USB3 device on USB3 controller in USB2 speed!");
}

TEST(CheckPageRules, FailureTexts)
{
    C_EngineFailure full;
    full.op = kOpFreeSpace;
    full.error = kErrorDiskFull;
    EXPECT_EQ(FormatCheckFailure(full, "E:\\", 1u << 20, 1ull << 30), "There is too little free space on \xBB"
                                                                      "E:\\\xAB to check it.");
    C_EngineFailure unknown = full;
    unknown.error = 21; // the device is not ready
    EXPECT_EQ(FormatCheckFailure(unknown, "E:\\", 1u << 20, 1ull << 30)
                  .rfind("Can't read the free space of \xBB"
                         "E:\\\xAB.\n\nError 21 - ",
                         0),
              0u);
    // A test file fails as the sequential test's file does, with the file's own name.
    C_EngineFailure write;
    write.op = kOpWrite;
    write.error = 23;
    write.position = 0x40300000; // in the fill: 3 MiB into the second file
    write.detail = "E:\\QuellmorCheck\\0002.bin";
    const std::string text = FormatCheckFailure(write, "E:\\", 1u << 20, 1ull << 30);
    EXPECT_EQ(text.rfind("Can't write full test file \xBB"
                         "E:\\QuellmorCheck\\0002.bin\xAB",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("BlockSize: 0x100000 - FilePosition 0x300000 - FileSize 0x40000000"),
              std::string::npos)
        << text;
}
