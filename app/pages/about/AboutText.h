// The notes and command-line help shown in the About page's text box.
#pragma once
#include <string>

// CR LF lines, TAB-separated columns; the switch lines come from the switch table.
std::string BuildAboutHelpText();
