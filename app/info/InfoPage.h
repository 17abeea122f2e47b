// The HTML pages of the program's resources: the information page shown for an unknown
// command-line switch, and the BlockAccess help.
#pragma once
#include <windows.h>

// Shows the information page modally with the program title as its argument.
void ShowInformationPage(HWND owner, const char* title);
// Shows a page of the resources modally with the title as its argument.
void ShowResourcePage(HWND owner, const char* page, const char* title, const char* options);
