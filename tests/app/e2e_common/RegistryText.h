// A text value of the registry as the tests read it back ("" when it is missing or no text).
#pragma once
#include <windows.h>

#include <string>

inline std::string ReadRegistryText(HKEY root, const char* keyPath, const char* name)
{
    char text[261] = "";
    DWORD size = sizeof text - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    LONG read = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? text : "";
}
