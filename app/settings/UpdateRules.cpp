#include "app/settings/UpdateRules.h"

UpdateDecision DecideUpdateCheck(uint32_t lastCheck, uint32_t now)
{
    UpdateDecision d;
    if (lastCheck == kUpdateNever) {
        d.store = true;
        d.storedValue = 0;
        return d;
    }
    if (lastCheck != 0 && lastCheck <= now && now - lastCheck <= kUpdateInterval)
        return d;
    d.check = true;
    d.store = true;
    d.storedValue = now;
    return d;
}

std::string BuildUpdateUrl(const std::string& address, const std::string& version,
                           const std::string& machineId)
{
    char joint = address.find('?') != std::string::npos ? '&' : '?';
    return address + joint + "v=" + version + "&id=" + machineId;
}

// Digits as a number; false when none or too many.
static bool ReadNumber(const std::string& text, size_t* pos, uint32_t* value)
{
    size_t start = *pos;
    uint64_t number = 0;
    while (*pos < text.size() && text[*pos] >= '0' && text[*pos] <= '9') {
        number = number * 10 + (uint32_t)(text[*pos] - '0');
        if (number > 0xFFFF)
            return false;
        ++*pos;
    }
    *value = (uint32_t)number;
    return *pos > start;
}

bool ParseUpdateAnswer(const std::string& answer, uint32_t major, uint32_t minor, uint32_t* newMajor,
                       uint32_t* newMinor)
{
    // A page of HTML (an error page of a proxy, say) is no answer.
    if (answer.empty() || answer.size() > 64)
        return false;
    size_t pos = 0;
    while (pos < answer.size() && (answer[pos] == ' ' || answer[pos] == '\t'))
        ++pos;
    uint32_t a = 0, b = 0;
    if (!ReadNumber(answer, &pos, &a) || pos >= answer.size() || answer[pos] != '.')
        return false;
    ++pos;
    if (!ReadNumber(answer, &pos, &b))
        return false;
    while (pos < answer.size() && (answer[pos] == ' ' || answer[pos] == '\t'))
        ++pos;
    if (pos < answer.size() && answer[pos] != '\r' && answer[pos] != '\n')
        return false;
    if (a < major || (a == major && b <= minor))
        return false;
    *newMajor = a;
    *newMinor = b;
    return true;
}
