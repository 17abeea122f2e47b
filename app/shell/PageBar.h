// What the main window decides from its page table alone: which page a click on the page
// bar chooses, which page shows first and in which order the others close. Pure; the rows
// are in PageTableRows.h.
#pragma once
#include <cstdint>
#include <vector>

// One index a row of the page table, in its order; kPageNone means no page and counts them.
enum PageIndex : int {
#define QM_PAGE(index, ...) index,
#include "app/shell/PageTableRows.h"
#undef QM_PAGE
    kPageNone
};

// The columns of a row that need no window.
struct S_PageBarRow {
    int barFrom, barTo; // click area, bar pixels from the bar's left edge, both ends included
    uint32_t flagBit;   // the flag word's bit that shows the page first; 0 for none
    int closeRank;      // lower closes earlier when another page opens
    int endCloseRank;   // the same when the main window closes
};
extern const S_PageBarRow kPageBarRows[kPageNone];

// x in bitmap pixels from the bar's left edge; -1 where no page's click area lies.
int PageFromBarX(int x);
// The page shown first, from the flag word.
int FirstPageFromFlags(unsigned flags);
// Every flag bit that chooses a page.
uint32_t PageChoiceBits();
// The pages to close, in order, before the page is shown; kPageNone: the main window closes.
std::vector<int> CloseOrder(int shown);
