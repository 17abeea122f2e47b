// The crash reporter of the class library. Arming stores where a report would go; the
// report itself (minidump, text, upload) is not built yet, so arming does nothing else.
#pragma once
#include <cstdint>

class C_CrashReporter {
public:
    static C_CrashReporter& Instance();
    void Arm(uint32_t iconResource, const char* host, const char* path, const char* product = nullptr,
             const char* extra = nullptr);
    int IsArmed() const { return m_bArmed; }
    uint32_t GetIconResource() const { return m_dwIcon; }

private:
    int m_bArmed = 0;
    uint32_t m_dwIcon = 0;
    const char* m_pszHost = nullptr;
    const char* m_pszPath = nullptr;
};
