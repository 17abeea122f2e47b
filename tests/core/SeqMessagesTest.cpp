#include <gtest/gtest.h>
#include "core/SeqMessages.h"

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
