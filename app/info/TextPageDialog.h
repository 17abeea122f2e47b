// A plain modal dialog that shows an HTML page of the resources as text: the stand-in for
// the HTML dialog where no HTML engine exists, fed from the same page so the two agree.
#pragma once
#include <windows.h>

// page: resource name, or a number made with MAKEINTRESOURCEA; argument: as for the HTML
// dialog (its single element becomes the title); options: the HTML dialog's feature text,
// whose dialogWidth and dialogHeight in pixels size this dialog too.
// The dialog comes from IDD_TEXT_PAGE of module when it has one (Info.rc), else from a
// template built in memory. Returns the DialogBox result, or -1 when the page is missing.
INT_PTR ShowTextPage(HWND owner, HMODULE module, const char* page, const char* argument, const char* options);
