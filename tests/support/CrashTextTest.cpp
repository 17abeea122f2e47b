#include <gtest/gtest.h>
#include "support/CrashText.h"

namespace {

// A write to 0x10 on the 32-bit program under NT, with two processors, one stack frame of
// each kind, a log, two modules and two threads.
C_CrashFacts ThirtyTwoBitCrash()
{
    C_CrashFacts f;
    f.hasException = true;
    f.code = 0xC0000005;
    f.address = 0x00401A2B;
    f.threadId = 1234;
    f.paramCount = 2;
    f.params[0] = 1;
    f.params[1] = 0x10;
    f.hasContext = true;
    C_CrashRegisters& r = f.regs;
    r.ax = 0x10;
    r.bx = 0x7FFDF000;
    r.cx = 0x3;
    r.dx = 0x4;
    r.si = 0x5;
    r.di = 0x6;
    r.bp = 0x0022FF58;
    r.sp = 0x0022FF40;
    r.ip = 0x00401A2B;
    r.flags = 0x10246;
    r.cs = 0x1B;
    r.ss = 0x23;
    r.ds = 0x23;
    r.es = 0x23;
    r.fs = 0x3B;
    r.gs = 0;
    f.processors.push_back({"   Intel(R) Core(TM) i5 CPU  ", "GenuineIntel", "x86 Family 6 Model 37", 2400});
    f.processors.push_back({"Intel(R) Core(TM) i5 CPU", "GenuineIntel", "x86 Family 6 Model 37", 2401});
    f.windowsText = "Windows 7";
    f.major = 6;
    f.minor = 1;
    f.build = 7601;
    f.servicePack = "Service Pack 1";
    f.wow64 = true;
    f.stackWalked = true;
    C_CrashFrame a;
    a.module = "Quellmor";
    a.symbol = "Crash";
    a.displacement = 0xB;
    a.source = "C:\\src\\main.cpp";
    a.line = 42;
    a.params[0] = 1;
    f.stack.push_back(a);
    C_CrashFrame b;
    b.module = "kernel32";
    b.address = 0x7C817077;
    b.moduleBase = 0x7C800000;
    f.stack.push_back(b);
    f.log = "first\r\nsecond\r\n";
    C_CrashModule m;
    m.size = 65536;
    m.timeStamp = 0x4CE7B8F0;
    m.checkSum = 0x1D2E3;
    m.imageBase = 0x400000;
    m.day = 20;
    m.month = 11;
    m.year = 2010;
    m.hour = 7;
    m.minute = 5;
    m.second = 4;
    m.fileVersion[0] = 2;
    m.fileVersion[1] = 93;
    m.productVersion[0] = 2;
    m.productVersion[1] = 93;
    m.productVersion[3] = 1;
    m.path = "C:\\Tools\\Quellmor.exe";
    f.modules.push_back(m);
    C_CrashModule k;
    k.size = 1032192;
    k.imageBase = 0x7C800000;
    k.day = 1;
    k.month = 2;
    k.year = 2008;
    k.hour = 23;
    k.minute = 59;
    k.second = 58;
    k.fileVersion[0] = 5;
    k.fileVersion[1] = 1;
    k.fileVersion[2] = 2600;
    k.fileVersion[3] = 5512;
    k.path = "C:\\WINDOWS\\system32\\kernel32.dll";
    f.modules.push_back(k);
    f.threads.push_back({1234, 0x230000, 0x22D000, 0x401000, "Quellmor", "mainCRTStartup"});
    f.threads.push_back({77, 0x1230000, 0x122F000, 0x7C810729, "kernel32", ""});
    return f;
}

const char* const kGolden32 =
    "Access Violation [0xC0000005] at 0x00401A2B in Thread 1234.\r\n"
    "Write to location 0x00000010.\r\n"
    "\r\n"
    "EAX=0x00000010, CS=0x001B, EIP=0x00401A2B, Flags=0x00010246\r\n"
    "EBX=0x7FFDF000, SS=0x0023, ESP=0x0022FF40, EBP=0x0022FF58\r\n"
    "ECX=0x00000003, DS=0x0023, ESI=0x00000005, FS=0x003B\r\n"
    "EDX=0x00000004, ES=0x0023, EDI=0x00000006, GS=0x0000\r\n"
    "\r\n"
    "Intel(R) Core(TM) i5 CPU GenuineIntel x86 Family 6 Model 37 2400 Mhz\r\n"
    "Intel(R) Core(TM) i5 CPU GenuineIntel x86 Family 6 Model 37 2401 Mhz\r\n"
    "Windows 7 [6.1] Build 7601 Service Pack 1\r\n"
    "x86 WOW64 Ansi\r\n"
    "\r\n"
    "Stack:\r\n"
    "C:\\src\\main.cpp(42): Quellmor:Crash@0xB(0x1,0x0,0x0,0x0)\r\n"
    "kernel32:0x7C817077@0x7C800000 - Offset: 0x17077(0x0,0x0,0x0,0x0)\r\n"
    "\r\n"
    "Log:\r\n"
    "first\r\n"
    "second\r\n"
    "\r\n"
    "ModuleList:\r\n"
    "    Size TimeStamp                      CheckSum   ImageBase  Versions\r\n"
    "   65536 0x4CE7B8F0 20.11.2010  7:05:04 0x0001D2E3 0x00400000    2.0093.00000.000000    "
    "2.0093.00000.000001 - C:\\Tools\\Quellmor.exe\r\n"
    " 1032192 0x00000000  1.02.2008 23:59:58 0x00000000 0x7C800000    5.0001.02600.005512    "
    "0.0000.00000.000000 - C:\\WINDOWS\\system32\\kernel32.dll\r\n"
    "\r\n"
    "ThreadList:\r\n"
    "Id         StackBase  StackEnd   StartAddress\r\n"
    "1234       0x00230000 0x0022D000 0x00401000 Quellmor mainCRTStartup\r\n"
    "77         0x01230000 0x0122F000 0x7C810729 kernel32 \r\n";

} // namespace

TEST(CrashText, WholeReportOfAThirtyTwoBitAccessViolation)
{
    EXPECT_EQ(BuildCrashText(ThirtyTwoBitCrash()), kGolden32);
}

TEST(CrashText, WindowsNineXWritesHexThreadIdsAndTheLowBuildWord)
{
    C_CrashFacts f = ThirtyTwoBitCrash();
    f.ntPlatform = false;
    f.windowsText = "Windows 98 SE";
    f.major = 4;
    f.minor = 10;
    f.build = 0x040A08AE;
    f.servicePack = " A ";
    f.wow64 = false;
    std::string text = BuildCrashText(f);
    EXPECT_EQ(text.rfind("Access Violation [0xC0000005] at 0x00401A2B in Thread 0x000004D2.\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("\r\nWindows 98 SE [4.10] Build 2222  A \r\nx86 Ansi\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\n0x000004D2 0x00230000 0x0022D000 0x00401000 Quellmor mainCRTStartup\r\n"),
              std::string::npos)
        << text;
}

TEST(CrashText, ReadAccessAndOtherExceptionsHaveNoLocationLine)
{
    C_CrashFacts f = ThirtyTwoBitCrash();
    f.params[0] = 0;
    f.params[1] = 0xDEADBEEF;
    EXPECT_NE(BuildCrashText(f).find("\r\nRead from location 0xDEADBEEF.\r\n"), std::string::npos);
    f.paramCount = 1;
    EXPECT_EQ(BuildCrashText(f).find("location"), std::string::npos);
    f.paramCount = 2;
    f.code = 0xC0000094;
    std::string text = BuildCrashText(f);
    EXPECT_EQ(text.rfind("Integer Divide by Zero [0xC0000094] at", 0), 0u);
    EXPECT_EQ(text.find("location"), std::string::npos);
    f.code = 0x12345678;
    EXPECT_EQ(BuildCrashText(f).rfind("Exception [0x12345678] at", 0), 0u);
}

TEST(CrashText, ExceptionNamesByCode)
{
    EXPECT_STREQ(ExceptionName(0x40010005), "Control-C");
    EXPECT_STREQ(ExceptionName(0x80000003), "Breakpoint");
    EXPECT_STREQ(ExceptionName(0xC00000FD), "Stack Overflow");
    EXPECT_STREQ(ExceptionName(0xC0000142), "DLL Initialization Failed");
    EXPECT_STREQ(ExceptionName(0xE06D7363), "Microsoft C++ Exception");
    EXPECT_STREQ(ExceptionName(0xC0000000), "Exception");
}

TEST(CrashText, WithoutExceptionInformationTheFirstThreeSectionsAndTheStackAreLeftOut)
{
    C_CrashFacts f = ThirtyTwoBitCrash();
    f.hasException = false;
    f.log.clear();
    std::string text = BuildCrashText(f);
    EXPECT_EQ(text.rfind("\r\nIntel(R) Core(TM) i5 CPU GenuineIntel", 0), 0u) << text;
    EXPECT_EQ(text.find("EAX="), std::string::npos);
    EXPECT_EQ(text.find("Stack:"), std::string::npos);
    EXPECT_EQ(text.find("Log:"), std::string::npos);
    EXPECT_NE(text.find("x86 WOW64 Ansi\r\n\r\nModuleList:\r\n"), std::string::npos) << text;

    // Without the stack-walk functions there is no stack section either.
    f = ThirtyTwoBitCrash();
    f.stackWalked = false;
    EXPECT_EQ(BuildCrashText(f).find("Stack:"), std::string::npos);
}

TEST(CrashText, StackFrameFormsByWhatIsKnown)
{
    C_CrashFrame f;
    f.address = 0x401000;
    f.params[0] = 0xA;
    f.params[3] = 0xFFFFFFFF;
    EXPECT_EQ(FormatCrashFrame(f), "0x401000@0x0(0xA,0x0,0x0,0xFFFFFFFF)\r\n");
    f.module = "Quellmor";
    f.moduleBase = 0x400000;
    EXPECT_EQ(FormatCrashFrame(f), "Quellmor:0x401000@0x400000 - Offset: 0x1000(0xA,0x0,0x0,0xFFFFFFFF)\r\n");
    f.symbol = "Worker";
    f.displacement = 0x1C;
    EXPECT_EQ(FormatCrashFrame(f), "Quellmor:Worker@0x1C(0xA,0x0,0x0,0xFFFFFFFF)\r\n");
    f.line = 17;
    EXPECT_EQ(FormatCrashFrame(f), "Quellmor:Worker@0x1C(0xA,0x0,0x0,0xFFFFFFFF)\r\n")
        << "a line without a file";
    f.source = "worker.cpp";
    EXPECT_EQ(FormatCrashFrame(f),
              "Quellmor:Worker@0x1C(0xA,0x0,0x0,0xFFFFFFFF) - Line 17 in worker.cpp\r\n");
    f.source = "c:/src/worker.cpp";
    EXPECT_EQ(FormatCrashFrame(f), "c:/src/worker.cpp(17): Quellmor:Worker@0x1C(0xA,0x0,0x0,0xFFFFFFFF)\r\n");
    f.module.clear();
    EXPECT_EQ(FormatCrashFrame(f), "c:/src/worker.cpp(17): Worker@0x1C(0xA,0x0,0x0,0xFFFFFFFF)\r\n");
    f.source = "worker.cpp";
    EXPECT_EQ(FormatCrashFrame(f), "Worker@0x1C(0xA,0x0,0x0,0xFFFFFFFF) - Line 17 in worker.cpp\r\n");
    f.params[1] = 0x123456789ABCull;
    EXPECT_NE(FormatCrashFrame(f).find(",0x123456789ABC,"), std::string::npos);
}

TEST(CrashText, SixtyFourBitBuildPrintsTheSameLayoutWithItsRegisters)
{
    C_CrashFacts f = ThirtyTwoBitCrash();
    f.pointerBits = 64;
    f.address = 0x00007FF6A1B21A2Bull;
    f.regs.ip = f.address;
    f.regs.sp = 0x000000000062FE10ull;
    f.regs.r8 = 8;
    f.regs.r15 = 0xFFFFFFFFFFFFFFFFull;
    f.modules.resize(1);
    f.modules[0].imageBase = 0x00007FF6A1B20000ull;
    f.threads.resize(1);
    f.threads[0].startAddress = 0x00007FF6A1B21000ull;
    std::string text = BuildCrashText(f);
    EXPECT_EQ(
        text.rfind("Access Violation [0xC0000005] at 0x00007FF6A1B21A2B in Thread 1234.\r\n"
                   "Write to location 0x0000000000000010.\r\n"
                   "\r\n"
                   "RAX=0x0000000000000010, CS=0x001B, RIP=0x00007FF6A1B21A2B, Flags=0x00010246\r\n"
                   "RBX=0x000000007FFDF000, SS=0x0023, RSP=0x000000000062FE10, RBP=0x000000000022FF58\r\n"
                   "RCX=0x0000000000000003, DS=0x0023, RSI=0x0000000000000005, FS=0x003B\r\n"
                   "RDX=0x0000000000000004, ES=0x0023, RDI=0x0000000000000006, GS=0x0000\r\n"
                   "R8=0x0000000000000008, R9=0x0000000000000000, R10=0x0000000000000000, "
                   "R11=0x0000000000000000\r\n"
                   "R12=0x0000000000000000, R13=0x0000000000000000, R14=0x0000000000000000, "
                   "R15=0xFFFFFFFFFFFFFFFF\r\n"
                   "\r\nIntel",
                   0),
        0u)
        << text;
    EXPECT_NE(text.find("\r\nx64 Ansi\r\n"), std::string::npos);
    EXPECT_NE(text.find(" 0x00007FF6A1B20000    2.0093"), std::string::npos) << text;
    EXPECT_NE(text.find("1234       0x0000000000230000 0x000000000022D000 0x00007FF6A1B21000 Quellmor"),
              std::string::npos)
        << text;
}
