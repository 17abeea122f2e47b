// The GUI program's command-line switches as one table: what each does to the flag word
// and how the help text names it. The parser and the About page's help both read it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct C_SwitchRow {
    char letter;
    const char* argument; // the value the help names after the switch, or null
    const char* words;    // the help text's words, or null for a switch the help leaves out
    uint32_t clear, set;  // flag bits cleared, then set
};

// In the order of the help text.
extern const C_SwitchRow kSwitchTable[];
extern const size_t kSwitchCount;

// The row of a switch letter, or null.
const C_SwitchRow* FindSwitch(char letter);
// One help line per switch the help names: "-a\t\tstart with BlockAccess\r\n",
// "-i size_in_byte\tspecify file size\r\n", ...
std::string SwitchHelpLines();
