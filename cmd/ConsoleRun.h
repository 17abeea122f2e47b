// The console program's run: banner, options, the write and read passes, the log record
// and the cleanup. Uses the class library only.
#pragma once
#include <atomic>
#include <functional>
#include <string>
#include "cmd/Options.h"

class C_AlignedBuffer;
class C_TestFile;
struct C_EngineResult;
struct C_Report;
struct C_ReportRun;
struct C_RunPlan;

class C_ConsoleRun {
public:
    typedef std::function<void(const std::string&)> Output;
    // interrupted: set by the program's Ctrl+C handler; the passes stop after the current block.
    // output: what goes to standard output (standard output itself when empty); errors: where
    // the console text goes while a report takes standard output (-o), standard error when empty.
    explicit C_ConsoleRun(std::atomic<int>* interrupted = nullptr, Output output = Output(),
                          Output errors = Output());
    // Runs with a whole process command line (program name first); returns the exit code.
    int Run(const std::string& commandLine);

private:
    // The console's text: on standard output, or on standard error while a report takes it.
    void Print(const std::string& text);
    void PrintOut(const std::string& text);
    // The "read: N write: M" line of two passes, and their part of the log record.
    void PrintRates(const C_EngineResult& read, const C_EngineResult& written, std::string& log);
    int RunTest(C_TestFile& testFile, const C_RunPlan& plan, C_Report& report, std::string& log);
    // One run of the passes on the prepared test file; its figures go into run.
    int RunPasses(const std::string& path, C_AlignedBuffer& buffer, const C_RunPlan& plan, C_ReportRun& run,
                  std::string& log);
    // One run of the check (-v 1, -f 1) in the folder asked for; its figures and verdict go into run.
    int RunCheck(const C_RunPlan& plan, C_ReportRun& run, std::string& log);

    std::atomic<int>* m_pInterrupted;
    Output m_output;
    Output m_errors;
    C_Options m_options;
    int m_report = 0; // -o json or csv: the report owns standard output
    int m_random = 0; // -r 1
    int m_verify = 0; // -v 1, or -f 1 which implies it
    int m_fill = 0;   // -f 1
    std::string m_checkFolder;
};

// The program: Ctrl+C ends the running pass after its current block (so the test file is still
// removed), then the run on the process command line. Returns the exit code.
int RunConsoleProgram();
