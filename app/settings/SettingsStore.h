// The operations of the settings store that the application's values go through; the
// registry and .ini implementation is C_Settings, tests use a map.
#pragma once
#include <cstdint>
#include <string>

class I_SettingsStore {
public:
    virtual ~I_SettingsStore() = default;
    virtual uint32_t ReadNumber(const char* name, uint32_t defaultValue, const char* section = nullptr) = 0;
    virtual int WriteNumber(const char* name, uint32_t value, const char* section = nullptr) = 0;
    // 1 when a value was found (always 1 for an .ini file); the text holds the default
    // (empty when none) otherwise.
    virtual int ReadText(const char* name, std::string& text, const char* defaultText = nullptr,
                         const char* section = nullptr) = 0;
    virtual int WriteText(const char* name, const char* text, const char* section = nullptr) = 0;
};
