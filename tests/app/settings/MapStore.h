// A settings store in memory, for tests of code that reads and writes settings.
#pragma once
#include <map>
#include <string>
#include "app/settings/SettingsStore.h"

class MapStore : public I_SettingsStore {
public:
    std::map<std::string, uint32_t> numbers;
    std::map<std::string, std::string> texts;

    uint32_t ReadNumber(const char* name, uint32_t defaultValue, const char*) override
    {
        auto it = numbers.find(name);
        return it == numbers.end() ? defaultValue : it->second;
    }
    int WriteNumber(const char* name, uint32_t value, const char*) override
    {
        numbers[name] = value;
        return 1;
    }
    int ReadText(const char* name, std::string& text, const char* defaultText, const char*) override
    {
        auto it = texts.find(name);
        text = it == texts.end() ? (defaultText ? defaultText : "") : it->second;
        return it != texts.end();
    }
    int WriteText(const char* name, const char* text, const char*) override
    {
        texts[name] = text;
        return 1;
    }
};
