#include "app/info/InfoPage.h"
#include "app/info/ShowHtmlDialog.h"

void ShowResourcePage(HWND owner, const char* page, const char* title, const char* options)
{
    ShowHtmlDialog(owner, nullptr, page, title, options, nullptr);
}

void ShowInformationPage(HWND owner, const char* title)
{
    ShowResourcePage(owner, "IDR_INFO", title, "help:no;resizable:yes;dialogWidth:740px");
}
