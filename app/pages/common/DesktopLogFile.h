// The desktop log of the pages' results.
#pragma once
#include <string>

// Appends the text to the log on the user's desktop, then opens the log when asked; silent when
// the desktop or the file cannot be had.
void AppendDesktopLog(const std::string& text, bool open);
