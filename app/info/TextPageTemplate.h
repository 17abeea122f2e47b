// The text view's dialog built in memory: the same dialog as IDD_TEXT_PAGE of Info.rc, for
// a program whose resources lack it, so the text view never depends on a resource script.
#pragma once
#include <windows.h>

#include <vector>

// A DLGTEMPLATE with its items, DWORD-aligned, ready for DialogBoxIndirectParam.
std::vector<WORD> BuildTextPageTemplate();
