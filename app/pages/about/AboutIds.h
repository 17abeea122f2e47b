// Resource ids of the About page.
#pragma once
#define IDD_ABOUT 164
#define IDC_ABOUT_ICON 1092
#define IDC_ABOUT_PRODUCT 1095
#define IDC_ABOUT_VERSION 1096
#define IDC_ABOUT_LINK 1097
#define IDC_ABOUT_NOTES 1098
#define IDC_ABOUT_AUTO_UPDATE 1094
