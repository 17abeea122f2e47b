#include "app/shell/InfoPage.h"
#if defined(QM_HAVE_INFO)
#include "app/info/ShowHtmlDialog.h"
#else
#include "app/about/AboutPage.h"
#endif

void ShowResourcePage(HWND owner, const char* page, const char* title, const char* options)
{
#if defined(QM_HAVE_INFO)
    ShowHtmlDialog(owner, nullptr, page, title, options, nullptr);
#else
    (void)page;
    (void)options;
    MessageBoxA(owner, GetAboutHelpText(), title, MB_ICONINFORMATION | MB_OK);
#endif
}

void ShowInformationPage(HWND owner, const char* title)
{
    ShowResourcePage(owner, "IDR_INFO", title, "help:no;resizable:yes;dialogWidth:740px");
}
