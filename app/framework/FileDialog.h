// The common open and save dialogs behind one call.
#pragma once
#include <windows.h>

enum : int { kFileDialogOpen = 0, kFileDialogSave = 1 };

// filter lists pairs separated by its own last character ("all files|*.*||"). A null or
// empty folder starts on the desktop. file (260 bytes) holds the proposed name and receives
// the choice. Non-zero when the user chose a file.
int ShowFileDialog(HWND owner, const char* filter, const char* folder, const char* title, int save,
                   char* file);
