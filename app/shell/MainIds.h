// Resource ids of the main dialog; the pictures it shows are numbered in app/res/ArtworkIds.h.
#pragma once
#define IDD_MAIN 101
#define IDC_MAIN_PAGE_BAR 1052
