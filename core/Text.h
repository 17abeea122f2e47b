// Text helpers of the class library that need no operating system.
#pragma once
#include <cstdint>
#include <string>

// Byte counts with binary units, one decimal: "2048 Byte", "2.0 kByte", "3.0 GB" (style 1).
std::string FormatByteSize(uint64_t value, int unitStyle = 0);
// Writes into text (at least 32 bytes) and returns it.
char* FormatByteSize(uint64_t value, char* text, int unitStyle);
// A rate in bytes per second, truncated to an integer: "45.3 MByte/sec".
std::string FormatRate(float bytesPerSecond);
// The same rounded to whole units from 10 on: "95 MByte/sec", "2.5 MByte/sec".
std::string FormatShortRate(float bytesPerSecond);

// printf into a std::string.
std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Removes leading and trailing blanks, tabs, CR and LF.
std::string TrimWhite(const std::string& text);
// The first blank outside double quotes (a quote opens or closes them), or the end of text.
const char* FindUnquotedBlank(const char* text);
// The text after the program name of a command line: everything up to and including the
// first blank outside double quotes is skipped; empty when there is no such blank.
const char* SkipProgramName(const char* commandLine);
// Replaces CR and LF by blanks and removes trailing blanks (system error texts).
void CleanErrorText(char* text);

// Major and minor number of a "FileVersion" text read as "%u.%u"; 0 if unreadable.
int ParseVersionPair(const char* text, uint32_t* major, uint32_t* minor);
// The programs' title: "Quellmor [1.05]".
std::string FormatTitle(const char* product, uint32_t major, uint32_t minor);
