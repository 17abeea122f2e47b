#include "app/shell/InfoPage.h"
#include "app/about/AboutPage.h"

void ShowInformationPage(HWND owner, const char* title)
{
    // Until the HTML page can be shown, the same help as a plain message.
    MessageBoxA(owner, GetAboutHelpText(), title, MB_ICONINFORMATION | MB_OK);
}
