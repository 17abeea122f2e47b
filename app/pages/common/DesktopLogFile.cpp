#include "app/pages/common/DesktopLogFile.h"
#include <windows.h>
#include <shellapi.h>
#include "app/pages/common/model/DesktopLog.h"
#include "core/File.h"
#include "core/TestFile.h"

void AppendDesktopLog(const std::string& text, bool open)
{
    char desktop[MAX_PATH] = "";
    if (!GetSpecialFolder(0x0000 /* CSIDL_DESKTOP */, desktop))
        return;
    const std::string path = DesktopLogPath(desktop);
    if (AppendToFile(path.c_str(), text) && open)
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}
