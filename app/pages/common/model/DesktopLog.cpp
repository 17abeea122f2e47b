#include "app/pages/common/model/DesktopLog.h"

std::string DesktopLogPath(const std::string& desktop)
{
    std::string path = desktop;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + "Quellmor.txt";
}
