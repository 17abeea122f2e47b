// The settings store: a registry key under a root key, or an .ini file in portable mode.
#pragma once
#include <windows.h>
#include <string>
#include "app/settings/SettingsStore.h"

class C_Settings : public I_SettingsStore {
public:
    enum Mode { kClosed = 0, kRegistry = 1, kIniFile = 2 };

    // Without an .ini path the one beside the program, named after it, is used.
    int Open(int mode, HKEY root, const char* keyPath, const char* iniPath = nullptr);
    void Close();
    int GetMode() const { return m_nMode; }
    const std::string& GetIniPath() const { return m_strIniPath; }

    uint32_t ReadNumber(const char* name, uint32_t defaultValue, const char* section = nullptr) override;
    int WriteNumber(const char* name, uint32_t value, const char* section = nullptr) override;
    int ReadText(const char* name, std::string& text, const char* defaultText = nullptr,
                 const char* section = nullptr) override;
    int WriteText(const char* name, const char* text, const char* section = nullptr) override;

private:
    std::string KeyFor(const char* section) const;
    const char* IniSection(const char* section) const { return section ? section : "Settings"; }

    int m_nMode = kClosed;
    HKEY m_hRoot = nullptr;
    std::string m_strKeyPath;
    std::string m_strIniPath;
};

// The full path of this program file.
std::string GetProgramPath();
