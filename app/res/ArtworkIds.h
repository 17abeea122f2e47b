// Resource numbers of the GUI program's pictures (declared in Artwork.rc). Shared by the
// program's code and its resource script, so it holds only #defines.
#pragma once

// Page bar, 816 x 36 pixels, one picture per highlighted page.
#define IDB_PAGEBAR_FILE 125
#define IDB_PAGEBAR_BLOCK 126
#define IDB_PAGEBAR_QUICK 157
#define IDB_PAGEBAR_ABOUT 166
#define IDB_PAGEBAR_CHECK 171

// Image buttons and the page icon (magenta is its transparent colour).
#define IDB_BUTTON_READ 104
#define IDB_BUTTON_WRITE 105
#define IDB_BUTTON_STOP 158
#define IDB_BUTTON_START 159
#define IDB_PAGE_ICON 163

// Program icon: 16, 32 and 48 pixels.
#define IDI_PROGRAM 108

// Device icons of the BlockAccess list; its image list holds them in the order
// optical, removable, fixed, network, RAM disk, tape, iSCSI.
#define IDI_DEVICE_RAMDISK 113
#define IDI_DEVICE_REMOVABLE 114
#define IDI_DEVICE_FIXED 115
#define IDI_DEVICE_NETWORK 116
#define IDI_DEVICE_OPTICAL 117
#define IDI_DEVICE_TAPE 154
#define IDI_DEVICE_ISCSI 162

// Hand cursor over links and the page bar.
#define IDCUR_HAND 127

// Splash picture, a Paint Shop Pro file stored as RT_RCDATA.
#define IDR_SPLASH_IMAGE 150

// HTML pages and their pictures (RT_HTML, by name; the pages refer to the pictures by these
// names, so they must stay names and never become numbers).
#define QM_HTML_INFO "IDR_INFO"
#define QM_HTML_BLOCK_ACCESS "IDR_BLOCK_ACCESS"
#define QM_HTML_INFO_PICTURE "IDR_QUELLMOR_GIF"
#define QM_HTML_BLOCK_ACCESS_PICTURE "IDR_BLOCK_ACCESS_GIF"
