#include "support/CrashText.h"
#include "core/Text.h"

typedef unsigned long long ull;

const char* ExceptionName(uint32_t code)
{
    static const struct {
        uint32_t code;
        const char* name;
    } names[] = {{0x40010005, "Control-C"},
                 {0x40010008, "Control-Break"},
                 {0x80000002, "Datatype Misalignment"},
                 {0x80000003, "Breakpoint"},
                 {0xC0000005, "Access Violation"},
                 {0xC0000006, "In Page Error"},
                 {0xC0000017, "No Memory"},
                 {0xC000001D, "Illegal Instruction"},
                 {0xC0000025, "Noncontinuable Exception"},
                 {0xC0000026, "Invalid Disposition"},
                 {0xC000008C, "Array Bounds Exceeded"},
                 {0xC000008D, "Float Denormal Operand"},
                 {0xC000008E, "Float Divide by Zero"},
                 {0xC000008F, "Float Inexact Result"},
                 {0xC0000090, "Float Invalid Operation"},
                 {0xC0000091, "Float Overflow"},
                 {0xC0000092, "Float Stack Check"},
                 {0xC0000093, "Float Underflow"},
                 {0xC0000094, "Integer Divide by Zero"},
                 {0xC0000095, "Integer Overflow"},
                 {0xC0000096, "Privileged Instruction"},
                 {0xC00000FD, "Stack Overflow"},
                 {0xC0000142, "DLL Initialization Failed"},
                 {0xE06D7363, "Microsoft C++ Exception"}};
    for (const auto& n : names)
        if (n.code == code)
            return n.name;
    return "Exception";
}

// A named symbol shows its distance from the symbol's start; an unnamed one its address and
// the module base, with the distance into the module when the base is known.
static std::string SymbolText(const C_CrashFrame& f)
{
    if (!f.symbol.empty())
        return StringPrintf("%s@0x%llX", f.symbol.c_str(), (ull)f.displacement);
    std::string text = StringPrintf("0x%llX@0x%llX", (ull)f.address, (ull)f.moduleBase);
    if (f.moduleBase)
        text += StringPrintf(" - Offset: 0x%llX", (ull)(f.address - f.moduleBase));
    return text;
}

std::string FormatCrashFrame(const C_CrashFrame& f)
{
    std::string call = SymbolText(f) + StringPrintf("(0x%llX,0x%llX,0x%llX,0x%llX)", (ull)f.params[0],
                                                    (ull)f.params[1], (ull)f.params[2], (ull)f.params[3]);
    if (!f.module.empty())
        call = f.module + ":" + call;
    if (f.source.empty() || !f.line)
        return call + "\r\n";
    // A full source path goes first, where editors pick up "file(line):"; a bare name follows.
    if (f.source.find_first_of("\\/") != std::string::npos)
        return StringPrintf("%s(%u): ", f.source.c_str(), (unsigned)f.line) + call + "\r\n";
    return call + StringPrintf(" - Line %u in %s\r\n", (unsigned)f.line, f.source.c_str());
}

static std::string Registers(const C_CrashFacts& facts)
{
    const C_CrashRegisters& r = facts.regs;
    if (facts.pointerBits == 64)
        return StringPrintf("\r\nRAX=0x%016llX, CS=0x%04X, RIP=0x%016llX, Flags=0x%08X\r\n"
                            "RBX=0x%016llX, SS=0x%04X, RSP=0x%016llX, RBP=0x%016llX\r\n"
                            "RCX=0x%016llX, DS=0x%04X, RSI=0x%016llX, FS=0x%04X\r\n"
                            "RDX=0x%016llX, ES=0x%04X, RDI=0x%016llX, GS=0x%04X\r\n"
                            "R8=0x%016llX, R9=0x%016llX, R10=0x%016llX, R11=0x%016llX\r\n"
                            "R12=0x%016llX, R13=0x%016llX, R14=0x%016llX, R15=0x%016llX\r\n",
                            (ull)r.ax, r.cs, (ull)r.ip, (unsigned)r.flags, (ull)r.bx, r.ss, (ull)r.sp,
                            (ull)r.bp, (ull)r.cx, r.ds, (ull)r.si, r.fs, (ull)r.dx, r.es, (ull)r.di, r.gs,
                            (ull)r.r8, (ull)r.r9, (ull)r.r10, (ull)r.r11, (ull)r.r12, (ull)r.r13, (ull)r.r14,
                            (ull)r.r15);
    return StringPrintf("\r\nEAX=0x%08X, CS=0x%04X, EIP=0x%08X, Flags=0x%08X\r\n"
                        "EBX=0x%08X, SS=0x%04X, ESP=0x%08X, EBP=0x%08X\r\n"
                        "ECX=0x%08X, DS=0x%04X, ESI=0x%08X, FS=0x%04X\r\n"
                        "EDX=0x%08X, ES=0x%04X, EDI=0x%08X, GS=0x%04X\r\n",
                        (unsigned)r.ax, r.cs, (unsigned)r.ip, (unsigned)r.flags, (unsigned)r.bx, r.ss,
                        (unsigned)r.sp, (unsigned)r.bp, (unsigned)r.cx, r.ds, (unsigned)r.si, r.fs,
                        (unsigned)r.dx, r.es, (unsigned)r.di, r.gs);
}

static std::string ModuleLine(const C_CrashModule& m, int digits)
{
    std::string date = StringPrintf("%2u.%02u.%04u", (unsigned)m.day, (unsigned)m.month, (unsigned)m.year);
    std::string time =
        StringPrintf("%2u:%02u:%02u", (unsigned)m.hour, (unsigned)m.minute, (unsigned)m.second);
    const uint16_t* f = m.fileVersion;
    const uint16_t* p = m.productVersion;
    return StringPrintf(
        "%8u 0x%08X %10.10s %8.8s 0x%08X 0x%0*llX %4d.%04d.%05d.%06d %4d.%04d.%05d.%06d - %s\r\n",
        (unsigned)m.size, (unsigned)m.timeStamp, date.c_str(), time.c_str(), (unsigned)m.checkSum, digits,
        (ull)m.imageBase, f[0], f[1], f[2], f[3], p[0], p[1], p[2], p[3], m.path.c_str());
}

static std::string ThreadLine(const C_CrashThread& t, bool nt, int digits)
{
    const char* format =
        nt ? "%-8u   0x%0*llX 0x%0*llX 0x%0*llX %s %s\r\n" : "0x%08X 0x%0*llX 0x%0*llX 0x%0*llX %s %s\r\n";
    return StringPrintf(format, (unsigned)t.id, digits, (ull)t.stackBase, digits, (ull)t.stackEnd, digits,
                        (ull)t.startAddress, t.module.c_str(), t.symbol.c_str());
}

std::string BuildCrashText(const C_CrashFacts& facts)
{
    // Addresses take the width of a pointer of the build.
    const int digits = facts.pointerBits == 64 ? 16 : 8;
    std::string text;
    if (facts.hasException) {
        text += StringPrintf(facts.ntPlatform ? "%s [0x%08X] at 0x%0*llX in Thread %u.\r\n"
                                              : "%s [0x%08X] at 0x%0*llX in Thread 0x%08X.\r\n",
                             ExceptionName(facts.code), (unsigned)facts.code, digits, (ull)facts.address,
                             (unsigned)facts.threadId);
        if (facts.code == 0xC0000005 && facts.paramCount >= 2)
            text += StringPrintf("%s location 0x%0*llX.\r\n", facts.params[0] ? "Write to" : "Read from",
                                 digits, (ull)facts.params[1]);
        if (facts.hasContext)
            text += Registers(facts);
    }
    for (const C_CrashProcessor& p : facts.processors)
        text += StringPrintf("\r\n%s %s %s %u Mhz", TrimWhite(p.name).c_str(), p.vendor.c_str(),
                             p.identifier.c_str(), (unsigned)p.mhz);
    uint32_t build = facts.ntPlatform ? facts.build : (facts.build & 0xFFFF);
    text += StringPrintf("\r\n%s [%u.%u] Build %u %s\r\n", facts.windowsText.c_str(), (unsigned)facts.major,
                         (unsigned)facts.minor, (unsigned)build, facts.servicePack.c_str());
    text += facts.pointerBits == 64 ? "x64" : (facts.wow64 ? "x86 WOW64" : "x86");
    text += " Ansi\r\n";
    if (facts.hasException && facts.hasContext && facts.stackWalked) {
        text += "\r\nStack:\r\n";
        for (const C_CrashFrame& f : facts.stack)
            text += FormatCrashFrame(f);
    }
    if (!facts.log.empty())
        text += "\r\nLog:\r\n" + facts.log;
    text += "\r\nModuleList:\r\n    Size TimeStamp                      CheckSum   ImageBase  Versions\r\n";
    for (const C_CrashModule& m : facts.modules)
        text += ModuleLine(m, digits);
    text += "\r\nThreadList:\r\nId         StackBase  StackEnd   StartAddress\r\n";
    for (const C_CrashThread& t : facts.threads)
        text += ThreadLine(t, facts.ntPlatform, digits);
    return text;
}
