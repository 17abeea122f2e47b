// The console program's run: banner, options, the write and read passes, the log record
// and the cleanup. Uses the class library only.
#pragma once
#include <atomic>
#include <string>
#include "cmd/Options.h"

class C_ConsoleRun {
public:
    // interrupted: set by the program's Ctrl+C handler; the passes stop after the current block.
    explicit C_ConsoleRun(std::atomic<int>* interrupted = nullptr) : m_pInterrupted(interrupted) {}
    int Run();     // returns the exit code

private:
    void Print(const std::string& text);
    int RunTest(const char* drive, uint64_t fileSize, uint32_t blockSize, std::string& log);

    std::atomic<int>* m_pInterrupted;
    C_Options m_options;
    std::string m_path;
};
