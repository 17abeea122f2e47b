// Window placement kept as text in the registry.
#pragma once
#include <windows.h>
#include <cstdint>

int SaveWindowPlacement(HWND window, HKEY root, const char* keyPath, const char* valueName, uint32_t options);
int RestoreWindowPlacement(HWND window, HKEY root, const char* keyPath, const char* valueName,
                           uint32_t options);
