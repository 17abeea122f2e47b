// Path rules of the class library that need no operating system: the folders a path walks
// through, the test file's place in a folder, and the folder of a file. The separator is the
// system's ("\\" on Windows, "/" on POSIX), passed in so both are tested everywhere.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The folders CreateDirectoryTree makes for a path, outermost first. A drive ("C:\"), a share's
// leading "\\" or a POSIX root "/" is never one of them, nor a bare root. With lastIsFile the
// last element is a file name and is left out.
std::vector<std::string> FolderChain(const std::string& path, int lastIsFile, char separator);

// "<folder><sep>QuellmorTest<sep>QuellmorTest.bin", the folder used as written (so "C:\" gives a
// doubled backslash after the colon, which the file system accepts).
std::string TestFilePathIn(const char* folder, char separator);
// File index (from 0) of a capacity check: "<folder><sep>QuellmorCheck<sep>0001.bin", numbered
// from 1 in at least four digits.
std::string CheckFilePathIn(const char* folder, uint32_t index, char separator);

// Everything before the last separator; empty when there is none.
std::string FolderOfPath(const std::string& path, char separator);
