// Shows an HTML page of the program's resources in a modal HTML dialog.
#pragma once
#include <windows.h>

#include <string>

// page: a resource name, a resource number below 0x10000 (MAKEINTRESOURCEA), or a full
// address containing "://". argument: passed to the page as a string, or null. options:
// the dialog's features, e.g. "help:no;resizable:yes;dialogWidth:740px". result: receives
// the page's return value, or null.
// Returns 1 when the dialog returned a text into result, else 0. Where no HTML engine
// exists, a resource page is shown as plain text instead, and 0 is returned as for a
// dialog closed without a result.
int ShowHtmlDialog(HWND owner, HMODULE module, const char* page, const char* argument, const char* options,
                   std::string* result);

// The same with the engine's libraries named, so tests can take them away.
int ShowHtmlDialogUsing(const char* htmlLibrary, const char* monikerLibrary, HWND owner, HMODULE module,
                        const char* page, const char* argument, const char* options, std::string* result);
