#include <gtest/gtest.h>
#include "core/SpeedMath.h"

TEST(ComputeRate, TooFastAtOrBelowTenMicroseconds)
{
    for (uint64_t us : {0ull, 10ull}) {
        C_RateResult r = ComputeRate(1ull << 30, us);
        EXPECT_EQ(r.tooFast, 1);
        EXPECT_EQ(r.text, "[too fast]");
        EXPECT_EQ(r.mibPerSecond, 0u);
    }
    EXPECT_EQ(ComputeRate(1ull << 30, 1000).tooFast, 0);
}

TEST(ComputeRate, BytesOverTime)
{
    // 1000 MiB in 20 s: 50 MiB/s.
    C_RateResult r = ComputeRate(1000ull << 20, 20000000);
    EXPECT_EQ(r.mibPerSecond, 50u);
    EXPECT_EQ(r.text, "50.0 MByte/sec");
    // 9000 KiB in one second: the rate of what moved, not of the nominal file size.
    C_RateResult part = ComputeRate(3ull * 3000 * 1024, 1000000);
    EXPECT_EQ(part.mibPerSecond, 8u);
    EXPECT_EQ(part.text, "8.8 MByte/sec");
    // Slower than one MiB/s truncates to 0 but still has a text.
    C_RateResult slow = ComputeRate(512 * 1024, 1000000);
    EXPECT_EQ(slow.mibPerSecond, 0u);
    EXPECT_EQ(slow.text, "512.0 kByte/sec");
}

TEST(UsbHint, ThresholdsPerClassAndDirection)
{
    struct Case {
        int cls;
        int dir;
        float rate;
        const char* hint;
    } cases[] = {
        {2, 1, 15728640.0f, ""},
        {2, 1, 15728639.0f, "This is pretty slow for an USB2 device."},
        {2, 0, 20971520.0f, ""},
        {2, 0, 20971500.0f, "This is pretty slow for an USB2 device."},
        {3, 1, 1e9f, "USB3 device on USB2 controller!"},
        {3, 0, 1e6f, "This is pretty slow for an USB2 device. USB3 device on USB2 controller!"},
        {4, 1, 1e9f, "USB3 device on USB3 controller in USB2 speed!"},
        {4, 1, 52428790.0f,
         "This is pretty slow for an USB3 device. USB3 device on USB3 controller in USB2 speed!"},
        {5, 1, 52428800.0f, ""},
        {5, 1, 52428000.0f, "This is pretty slow for an USB3 device."},
        {5, 0, 62914560.0f, ""},
        {5, 0, 62914000.0f, "This is pretty slow for an USB3 device."},
        {1, 1, 1.0f, ""},
        {0, 0, 1.0f, ""},
        {-1, 0, 1.0f, ""},
        {6, 0, 1.0f, ""},
    };
    for (const Case& c : cases) {
        std::string hint;
        AppendUsbHint(hint, c.cls, c.dir, c.rate);
        EXPECT_EQ(hint, c.hint) << "class " << c.cls << " direction " << c.dir << " rate " << c.rate;
    }
}

TEST(UsbHint, OnlyAppendsToWhatTheCallerHas)
{
    std::string hint = "earlier";
    AppendUsbHint(hint, 4, 1, 1e9f);
    EXPECT_EQ(hint, "earlier USB3 device on USB3 controller in USB2 speed!");
}

TEST(SeqMessages, GuiAndConsoleTexts)
{
    C_SeqMessageArgs a;
    a.path = "C:\\QuellmorTest\\QuellmorTest.bin";
    a.error = 112;
    a.errorText = "There is not enough space on the disk.";
    a.blockSize = 0x100000;
    a.position = 0x3200000;
    a.fileSize = 1000ull << 20;
    EXPECT_EQ(
        FormatSeqMessage(kStyleConsole, kSeqWriteFailed, a),
        "Can't write full test file C:\\QuellmorTest\\QuellmorTest.bin\nWin32Error: 112 - There is not "
        "enough space on the disk. - BlockSize: 0x100000 - FilePosition 0x3200000 - FileSize 0x3E800000.\n");
    EXPECT_EQ(
        FormatSeqMessage(kStyleGui, kSeqReadFailed, a),
        "Can't read full test file \xBB"
        "C:\\QuellmorTest\\QuellmorTest.bin\xAB\n\nWin32Error: 112 - There is "
        "not enough space on the disk. - BlockSize: 0x100000 - FilePosition 0x3200000 - FileSize 0x3E800000");
    EXPECT_EQ(
        FormatSeqMessage(kStyleConsole, kSeqOpenFailed, a),
        "Can't open test file C:\\QuellmorTest\\QuellmorTest.bin.\nError 112 - There is not enough space on "
        "the disk..\n");
    EXPECT_EQ(FormatSeqMessage(kStyleGui, kSeqOpenFailed, a),
              "Can't open test file \xBB"
              "C:\\QuellmorTest\\QuellmorTest.bin\xAB.\n\nError 112 - There is not "
              "enough space on the disk.");
    EXPECT_EQ(FormatSeqMessage(kStyleConsole, kSeqSeekEndFailed, a),
              "Can't seek to new file end at 1000 MBytes.\n");
    EXPECT_EQ(FormatSeqMessage(kStyleGui, kSeqSetEndFailed, a), "Can't set new file end at 1000 MBytes.");
    EXPECT_EQ(FormatSeqMessage(kStyleConsole, kSeqSeekStartFailed, a), "Can't seek to file start.");
    EXPECT_EQ(FormatSeqMessage(kStyleGui, kSeqFlushFailed, a), "Can't flush Filebuffers.\n");
}

TEST(ProgressPercent, WholeStepsOfAHundredthCappedAtTheEnd)
{
    EXPECT_EQ(ProgressPercent(0, 100ull << 20), 0u);
    EXPECT_EQ(ProgressPercent(50ull << 20, 100ull << 20), 50u);
    EXPECT_EQ(ProgressPercent(100ull << 20, 100ull << 20), 100u);
    EXPECT_EQ(ProgressPercent(5, 99), 0u); // a total below 100 bytes has no steps
    EXPECT_EQ(ProgressPercent(300, 200), 100u);
}
