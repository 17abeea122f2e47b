// The information page shown for an unknown command-line switch.
#pragma once
#include <windows.h>

// Shows the page modally with the program title as its argument.
void ShowInformationPage(HWND owner, const char* title);
