// Small operating-system services of the class library used by the programs.
#pragma once
#include <cstdint>
#include <string>

// Text of a Win32 error; a null buffer means the shared 260-byte buffer. Null if unknown.
char* GetWin32ErrorText(uint32_t error, char* buffer);
// The same text as a string; empty when the error has none.
inline std::string ErrorText(uint32_t error)
{
    char text[260];
    const char* found = GetWin32ErrorText(error, text);
    return found ? found : "";
}
// Message box with a printf-formatted text (at most 1023 characters); style 0 = exclamation.
int ShowMessage(void* owner, uint32_t style, const char* caption, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// Debugger trace, off by default; at most 1024 characters.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void SetTraceEnabled(int enabled);

// The current local date in the user's long date format and time in the user's time format,
// joined by one blank.
std::string FormatLocalDateTime();
// The process command line.
const char* GetProcessCommandLine();
// A string value of this program's version resource (language 040704B0, else 040904B0).
int GetOwnVersionString(const char* name, std::string& value);
// Major and minor from "FileVersion"; 1 and 1 when there is none.
void GetOwnVersionNumbers(uint32_t* major, uint32_t* minor);
// Seconds since 1970 (calendar time).
uint32_t GetCalendarSeconds();
// User and kernel time this process has used so far, in seconds.
double GetProcessCpuSeconds();
#include <atomic>
// Sets *flag to 1 when the user presses Ctrl+C or Ctrl+Break in the console.
void InstallInterruptHandler(std::atomic<int>* flag);
