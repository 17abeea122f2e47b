// Where the pages keep their results for later: a text file on the user's desktop.
#pragma once
#include <string>

// Desktop folder + "\Quellmor.txt".
std::string DesktopLogPath(const std::string& desktop);
