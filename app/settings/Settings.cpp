#include "app/settings/Settings.h"
#include <cinttypes>
#include <cstdio>
#include <vector>
#include "app/settings/AppValues.h"
#include "app/settings/IniPath.h"

std::string GetProgramPath()
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), (DWORD)path.size());
        if (n == 0)
            return std::string();
        if (n < path.size())
            return std::string(path.data(), n);
        path.resize(path.size() * 2);
    }
}

int C_Settings::Open(int mode, HKEY root, const char* keyPath, const char* iniPath)
{
    m_nMode = mode;
    m_hRoot = root;
    m_strKeyPath = keyPath ? keyPath : "";
    m_strIniPath = iniPath ? iniPath : DeriveIniPath(GetProgramPath());
    return 1;
}

void C_Settings::Close()
{
    m_nMode = kClosed;
    m_strIniPath.clear();
}

std::string C_Settings::KeyFor(const char* section) const
{
    if (!section || !*section)
        return m_strKeyPath;
    return m_strKeyPath + "\\" + section;
}

uint32_t C_Settings::ReadNumber(const char* name, uint32_t defaultValue, const char* section)
{
    if (m_nMode == kRegistry) {
        HKEY key;
        if (RegOpenKeyExA(m_hRoot, KeyFor(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return defaultValue;
        DWORD value = 0, size = sizeof(value), type = 0;
        LONG read = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)&value, &size);
        RegCloseKey(key);
        // A text that happens to be four bytes long is no number.
        return (read == ERROR_SUCCESS && size == sizeof(value) && (type == REG_DWORD || type == REG_BINARY))
                   ? value
                   : defaultValue;
    }
    if (m_nMode == kIniFile) {
        char text[64] = "";
        GetPrivateProfileStringA(IniSection(section), name, "", text, sizeof(text), m_strIniPath.c_str());
        uint64_t number = 0;
        return ParseStoredNumber(text, &number) ? (uint32_t)number : defaultValue;
    }
    return defaultValue;
}

int C_Settings::WriteNumber(const char* name, uint32_t value, const char* section)
{
    if (m_nMode == kRegistry) {
        HKEY key;
        if (RegCreateKeyA(m_hRoot, KeyFor(section).c_str(), &key) != ERROR_SUCCESS)
            return 0;
        DWORD number = value;
        LONG written = RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&number, sizeof(number));
        RegCloseKey(key);
        return written == ERROR_SUCCESS;
    }
    if (m_nMode == kIniFile) {
        char text[32];
        snprintf(text, sizeof(text), "%" PRIu64, (uint64_t)value);
        return WritePrivateProfileStringA(IniSection(section), name, text, m_strIniPath.c_str()) != 0;
    }
    return 0;
}

int C_Settings::ReadText(const char* name, std::string& text, const char* defaultText, const char* section)
{
    const char* fallback = defaultText ? defaultText : "";
    if (m_nMode == kRegistry) {
        text = fallback;
        HKEY key;
        if (RegOpenKeyExA(m_hRoot, KeyFor(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        std::vector<char> buffer(260);
        DWORD size = (DWORD)buffer.size(), type = 0;
        LONG read = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)buffer.data(), &size);
        if (read == ERROR_MORE_DATA) {
            buffer.resize(size + 1);
            size = (DWORD)buffer.size();
            read = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)buffer.data(), &size);
        }
        RegCloseKey(key);
        if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return 0;
        // A value stored without its terminating zero still reads as its full text.
        size_t length = size;
        while (length > 0 && buffer[length - 1] == 0)
            --length;
        text.assign(buffer.data(), length);
        return 1;
    }
    if (m_nMode == kIniFile) {
        std::vector<char> buffer(256);
        for (int attempt = 0; attempt < 6; ++attempt) {
            DWORD n = GetPrivateProfileStringA(IniSection(section), name, fallback, buffer.data(),
                                               (DWORD)buffer.size(), m_strIniPath.c_str());
            text.assign(buffer.data(), n);
            if (n != buffer.size() - 1)
                break;
            buffer.resize(buffer.size() * 2);
        }
        return 1;
    }
    text = fallback;
    return 0;
}

int C_Settings::WriteText(const char* name, const char* text, const char* section)
{
    if (m_nMode == kRegistry) {
        HKEY key;
        if (RegCreateKeyA(m_hRoot, KeyFor(section).c_str(), &key) != ERROR_SUCCESS)
            return 0;
        LONG written = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
        RegCloseKey(key);
        return written == ERROR_SUCCESS;
    }
    if (m_nMode == kIniFile)
        return WritePrivateProfileStringA(IniSection(section), name, text, m_strIniPath.c_str()) != 0;
    return 0;
}
