// Operating-system services of the class library on POSIX: error texts, messages and trace on
// the standard error, local date and time, the command line, the version and Ctrl+C.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <locale.h>
#include "core/ErrorCodes.h"
#include "core/System.h"
#include "core/Text.h"
#include "core/VersionInfo.h"
#include "core/posix/ErrorMap.h"

static char g_szErrorText[260];
static std::atomic<int> g_bTrace{0};

char* GetWin32ErrorText(uint32_t error, char* buffer)
{
    if (!buffer)
        buffer = g_szErrorText;
    buffer[0] = 0;
    const int number = ErrnoFromError(error);
    const char* text = nullptr;
    if (number) {
        text = strerror_r(number, buffer, 260); // the GNU form: may return a static text
    } else if (error == kErrorHandleEof) {
        text = "Reached the end of the file";
    } else if (error == kErrorSuccess) {
        text = "Success";
    }
    if (!text) {
        buffer[0] = 0;
        return nullptr;
    }
    if (text != buffer)
        snprintf(buffer, 260, "%s", text);
    CleanErrorText(buffer);
    return buffer;
}

// There is no window system to own a box: the text goes to the standard error and counts as
// acknowledged (IDOK).
int ShowMessage(void*, uint32_t, const char* caption, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    fprintf(stderr, "%s: %s\n", caption ? caption : "", text);
    return 1;
}

void SetTraceEnabled(int enabled) { g_bTrace = enabled ? 1 : 0; }

void Trace(const char* format, ...)
{
    if (!g_bTrace)
        return;
    char text[1025];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    fputs(text, stderr);
}

// The user's locale (LC_TIME from the environment) names the days and months.
std::string FormatLocalDateTime()
{
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    char text[160] = "";
    locale_t user = newlocale(LC_TIME_MASK, "", (locale_t)0);
    if (user) {
        strftime_l(text, sizeof(text), "%A, %d %B %Y %X", &local, user);
        freelocale(user);
    } else {
        strftime(text, sizeof(text), "%A, %d %B %Y %H:%M:%S", &local);
    }
    return text;
}

// The arguments joined again into one command line, quoted where the option parser would
// otherwise split them ("" stands for a quote inside quotes).
const char* GetProcessCommandLine()
{
    static std::string line;
    if (!line.empty())
        return line.c_str();
    FILE* f = fopen("/proc/self/cmdline", "rb");
    if (!f)
        return "";
    std::string raw;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
        raw.append(chunk, n);
    fclose(f);
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos)
            end = raw.size();
        const std::string argument = raw.substr(start, end - start);
        if (!line.empty())
            line += ' ';
        if (argument.empty() || argument.find_first_of(" \t\"") != std::string::npos) {
            line += '"';
            for (char c : argument)
                line += c == '"' ? std::string("\"\"") : std::string(1, c);
            line += '"';
        } else {
            line += argument;
        }
        start = end + 1;
    }
    return line.c_str();
}

// The POSIX programs carry no version resource; the facts the resource is made from stand in.
int GetOwnVersionString(const char* name, std::string& value)
{
    static const struct {
        const char* name;
        const char* value;
    } kValues[] = {{"FileVersion", QM_VERSION_TEXT},
                   {"ProductVersion", QM_VERSION_TEXT},
                   {"CompanyName", QM_COMPANY},
                   {"ProductName", QM_PRODUCT}};
    for (const auto& v : kValues) {
        if (strcmp(v.name, name) == 0) {
            value = v.value;
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

uint32_t GetCalendarSeconds() { return (uint32_t)::time(nullptr); }

double GetProcessCpuSeconds()
{
    struct rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    return (double)usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + (double)usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

static std::atomic<int>* g_pInterruptFlag = nullptr;

static void OnInterrupt(int)
{
    if (!g_pInterruptFlag)
        return;
    // A second Ctrl+C while the first is being honoured ends the program the usual way.
    if (g_pInterruptFlag->exchange(1))
        signal(SIGINT, SIG_DFL);
}

void InstallInterruptHandler(std::atomic<int>* flag)
{
    g_pInterruptFlag = flag;
    struct sigaction action;
    memset(&action, 0, sizeof(action));
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // a transfer under way completes; the pass stops after it
    sigaction(SIGINT, &action, nullptr);
}
