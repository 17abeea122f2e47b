#include "support/CrashReporter.h"

C_CrashReporter& C_CrashReporter::Instance()
{
    static C_CrashReporter reporter;
    return reporter;
}

void C_CrashReporter::Arm(uint32_t iconResource, const char* host, const char* path, const char*, const char*)
{
    m_dwIcon = iconResource;
    m_pszHost = host;
    m_pszPath = path;
    m_bArmed = 1;
}
