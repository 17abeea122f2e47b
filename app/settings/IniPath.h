// Where the portable settings live: beside the program, named after it.
#pragma once
#include <string>

// "C:\Tools\Quellmor.exe" gives "C:\Tools\Quellmor.ini". The extension is cut only when
// the last "." lies within the last four characters of the file name.
std::string DeriveIniPath(const std::string& programPath);
