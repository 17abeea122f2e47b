// Operating-system services of the class library: error texts, message boxes, trace,
// local date and time, the command line and the program's own version resource.
#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <vector>
#include "core/System.h"
#include "core/Text.h"

static char g_szErrorText[260];
static volatile LONG g_bTrace = 0;

char* GetWin32ErrorText(uint32_t error, char* buffer)
{
    if (!buffer)
        buffer = g_szErrorText;
    buffer[0] = 0;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 260, nullptr);
    if (!n) {
        HMODULE wininet = GetModuleHandleA("wininet.dll");
        if (wininet)
            n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet, error,
                               MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 260, nullptr);
    }
    if (!n) {
        buffer[0] = 0;
        return nullptr;
    }
    buffer[259] = 0;
    CleanErrorText(buffer);
    return buffer;
}

int ShowMessage(void* owner, uint32_t style, const char* caption, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    text[1023] = 0;
    return MessageBoxA((HWND)owner, text, caption, style ? style : MB_ICONEXCLAMATION);
}

void SetTraceEnabled(int enabled) { InterlockedExchange(&g_bTrace, enabled ? 1 : 0); }

void Trace(const char* format, ...)
{
    if (!g_bTrace)
        return;
    char text[1025];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    text[1024] = 0;
    OutputDebugStringA(text);
}

std::string FormatLocalDateTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[128] = "", time[128] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, sizeof(date));
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof(time));
    return std::string(date) + " " + time;
}

const char* GetProcessCommandLine() { return GetCommandLineA(); }

uint32_t GetCalendarSeconds() { return (uint32_t)::time(nullptr); }

double GetProcessCpuSeconds()
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user))
        return 0;
    auto seconds = [](const FILETIME& t) {
        return (double)(((uint64_t)t.dwHighDateTime << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

int GetOwnVersionString(const char* name, std::string& value)
{
    char path[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, path, sizeof(path)))
        return 0;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (!size)
        return 0;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path, 0, size, data.data()))
        return 0;
    static const char* const blocks[2] = {"040704B0", "040904B0"};
    for (const char* block : blocks) {
        std::string key = std::string("\\StringFileInfo\\") + block + "\\" + name;
        char* text = nullptr;
        UINT len = 0;
        if (VerQueryValueA(data.data(), key.c_str(), (void**)&text, &len) && text && len) {
            value.assign(text, strnlen(text, len));
            return 1;
        }
    }
    return 0;
}

void GetOwnVersionNumbers(uint32_t* major, uint32_t* minor)
{
    std::string text;
    if (!GetOwnVersionString("FileVersion", text) || !ParseVersionPair(text.c_str(), major, minor)) {
        *major = 1;
        *minor = 1;
    }
}

static std::atomic<int>* g_pInterruptFlag = nullptr;

static BOOL WINAPI OnConsoleControl(DWORD type)
{
    if ((type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) && g_pInterruptFlag) {
        g_pInterruptFlag->store(1);
        return TRUE;
    }
    return FALSE;
}

void InstallInterruptHandler(std::atomic<int>* flag)
{
    g_pInterruptFlag = flag;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
