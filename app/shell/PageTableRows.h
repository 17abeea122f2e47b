// The main window's pages, one row each; a row's place is its page index. Everything the
// main window knows about a page is in its row. This file has no include guard on purpose:
// it is read twice, each reader defining QM_PAGE to take the columns it needs. PageBar.cpp
// (pure) takes the click area, the flag bit and the close ranks; PageTable.cpp (Win32) takes
// the class, the dialog and the bar picture, and includes the pages' headers for them.
//
// QM_PAGE(index name, page class, dialog template, page bar picture,
//         click area on the bar: first and last x in bar pixels (kBarEnd: to the bar's end),
//         flag bit that shows the page first (0 for none; the first row whose bit is set
//         wins, and with none set the first row shows),
//         close rank when another page opens, close rank when the main window closes
//         (lower ranks close first; a page's end handler may refuse, so the order matters))
//
// The page class provides static C_Page* Create(const S_PageServices&): it takes from the
// main window's services what the page uses.

QM_PAGE(kPageQuick, C_Simple, IDD_QUICK, IDB_PAGEBAR_QUICK, 0, 143, 0, 2, 2)
QM_PAGE(kPageBlock, C_BlockAccess, IDD_BLOCK, IDB_PAGEBAR_BLOCK, 279, 448, kFlagBlockPage, 0, 1)
QM_PAGE(kPageFile, C_FileAccess, IDD_FILE, IDB_PAGEBAR_FILE, 144, 278, kFlagFilePage, 1, 0)
QM_PAGE(kPageAbout, C_AboutPage, IDD_ABOUT, IDB_PAGEBAR_ABOUT, 722, kBarEnd, 0, 4, 4)
QM_PAGE(kPageCheck, C_CheckAccess, IDD_CHECK, IDB_PAGEBAR_CHECK, 449, 593, kFlagCheckPage, 3, 3)
