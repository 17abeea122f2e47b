// Resource ids of the main dialog and the resources it uses by number.
#pragma once
#define IDD_MAIN 101
#define IDC_MAIN_PAGE_BAR 1052
#define IDI_PROGRAM 108
#define IDB_BAR_FILE 125
#define IDB_BAR_BLOCK 126
#define IDB_BAR_QUICK 157
#define IDB_BAR_ABOUT 166
#define IDB_BAR_CHECK 171
#define IDC_HAND_CURSOR 127
#define IDR_SPLASH_IMAGE 150
#define IDB_PAGE_ICON 163
