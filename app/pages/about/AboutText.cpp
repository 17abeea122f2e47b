#include "app/pages/about/AboutText.h"
#include "app/settings/Switches.h"

std::string BuildAboutHelpText()
{
    return std::string(
               "QuickAccess Notes:\r\n"
               "You can skip the Random QD32 test by pressing the 'Ctrl' key while clicking the 'Start' "
               "button.\r\n"
               "\r\n"
               "BlockAccess Notes:\r\n"
               "For best/correct BlockAccess test results, use the entry with \\\\.\\<drive letter>: "
               "without any extension like 'track...'. \r\n"
               "Further, ensure that the read duration [second value of transfer speed] is larger than 1 "
               "second. If it's too short, increase 'calc speed every n'th access'.\r\n"
               "\r\n"
               "FileAccess Function Keys:\r\n"
               "F2\t\tstart write test\r\n"
               "F9\t\tstart read test\r\n"
               "F5\t\trefresh filebrowser\r\n"
               "\r\n"
               "FileAccess Command line options:\r\n") +
           SwitchHelpLines() +
           "\r\n"
           "Example: -n -l e:\\ -m -r will search for biggest file on drive e: and test the speed on this "
           "file";
}
