// Resource numbers of the text view that stands in for the HTML dialogs (Info.rc).
#pragma once

#define IDD_TEXT_PAGE 3100
#define IDC_TEXT_PAGE_HEADING 3101 // static: the page's first line
#define IDC_TEXT_PAGE_BODY 3102    // read-only multi-line edit: the rest of the page
