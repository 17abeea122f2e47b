// The main window's pages, one row each, in the order of PageIndex.
#pragma once
#include <windows.h>
#include <cstdint>
#include "app/pages/Page.h"
#include "app/shell/PageBar.h"

struct S_PageRow {
    C_Page* (*create)();
    UINT templateId;
    UINT barBitmap;   // the page bar's picture while the page shows
    uint32_t flagBit; // the flag word's page choice while the page shows (0 for none)
};

extern const S_PageRow kPageTable[kPageNone];
// Every flag bit that chooses a page.
uint32_t PageChoiceBits();
