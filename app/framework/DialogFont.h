// The font substitution applied to dialog templates before they are created.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

// Loads the template resource and gives it the system's message font where the rules
// allow; false (out untouched) when the template stays as it is or cannot be found.
bool SubstituteDialogFont(HINSTANCE instance, UINT templateId, bool preferShellDlg2,
                          std::vector<uint8_t>& out);
// The same for a template already in memory.
bool SubstituteTemplateFontInMemory(const uint8_t* data, size_t size, bool preferShellDlg2,
                                    std::vector<uint8_t>& out);
