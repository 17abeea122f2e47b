// The console program's run: banner, options, the write and read passes, the log record
// and the cleanup. Uses the class library only.
#pragma once
#include <atomic>
#include <functional>
#include <string>
#include "cmd/Options.h"

class C_TestFile;

class C_ConsoleRun {
public:
    typedef std::function<void(const std::string&)> Output;
    // interrupted: set by the program's Ctrl+C handler; the passes stop after the current block.
    // output: where console text goes (standard output when empty).
    explicit C_ConsoleRun(std::atomic<int>* interrupted = nullptr, Output output = Output());
    // Runs with a whole process command line (program name first); returns the exit code.
    int Run(const std::string& commandLine);

private:
    void Print(const std::string& text);
    int RunTest(C_TestFile& testFile, uint64_t fileSize, uint32_t blockSize, std::string& log);

    std::atomic<int>* m_pInterrupted;
    Output m_output;
    C_Options m_options;
};

// The program: Ctrl+C ends the running pass after its current block (so the test file is still
// removed), then the run on the process command line. Returns the exit code.
int RunConsoleProgram();
