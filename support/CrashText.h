// The plain-text problem report, built from facts the Win32 side gathered after a crash.
// Everything here is plain data so the report can be compared whole in tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Registers of the faulting thread. The 32-bit deliverable fills the E-registers; a 64-bit
// build fills all sixteen general registers and prints them in the same arrangement.
struct C_CrashRegisters {
    uint64_t ax = 0, bx = 0, cx = 0, dx = 0, si = 0, di = 0, bp = 0, sp = 0, ip = 0;
    uint64_t r8 = 0, r9 = 0, r10 = 0, r11 = 0, r12 = 0, r13 = 0, r14 = 0, r15 = 0;
    uint32_t flags = 0;
    uint16_t cs = 0, ss = 0, ds = 0, es = 0, fs = 0, gs = 0;
};

struct C_CrashProcessor {
    std::string name, vendor, identifier;
    uint32_t mhz = 0;
};

struct C_CrashFrame {
    std::string module;        // empty when unknown
    std::string symbol;        // empty when unknown
    uint64_t address = 0;      // program counter of the frame
    uint64_t displacement = 0; // from the symbol, or from the module base without a symbol
    uint64_t moduleBase = 0;   // 0 when unknown
    std::string source;        // empty when unknown
    uint32_t line = 0;         // 0 when unknown
    uint64_t params[4] = {0, 0, 0, 0};
};

struct C_CrashModule {
    uint32_t size = 0, timeStamp = 0, checkSum = 0;
    uint64_t imageBase = 0;
    // Local date and time of the link time stamp.
    uint32_t day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    uint16_t fileVersion[4] = {0, 0, 0, 0}, productVersion[4] = {0, 0, 0, 0};
    std::string path;
};

struct C_CrashThread {
    uint32_t id = 0;
    uint64_t stackBase = 0, stackEnd = 0, startAddress = 0;
    std::string module, symbol;
};

struct C_CrashFacts {
    int pointerBits = 32; // 64 on a 64-bit build: wider registers and addresses
    bool ntPlatform = true;

    bool hasException = false;
    uint32_t code = 0;
    uint64_t address = 0;
    uint32_t threadId = 0;
    uint32_t paramCount = 0;
    uint64_t params[2] = {0, 0};
    bool hasContext = false;
    C_CrashRegisters regs;

    std::vector<C_CrashProcessor> processors;
    std::string windowsText;
    uint32_t major = 0, minor = 0, build = 0;
    std::string servicePack;
    bool wow64 = false;

    bool stackWalked = false; // the stack-walk functions were there
    std::vector<C_CrashFrame> stack;
    std::string log;
    std::vector<C_CrashModule> modules;
    std::vector<C_CrashThread> threads;
};

// "Access Violation", "Stack Overflow", ...; "Exception" for codes without a name.
const char* ExceptionName(uint32_t code);
// One stack line, CR LF included.
std::string FormatCrashFrame(const C_CrashFrame& frame);
// The whole report with CR LF line ends.
std::string BuildCrashText(const C_CrashFacts& facts);
