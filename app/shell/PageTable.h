// The columns of the page table that need the pages' classes and resources, in the order of
// PageIndex; the rows are in PageTableRows.h.
#pragma once
#include <windows.h>
#include "app/pages/Page.h"
#include "app/shell/PageBar.h"

struct S_PageRow {
    C_Page* (*create)(const S_PageServices& services);
    UINT templateId;
    UINT barBitmap; // the page bar's picture while the page shows
};

extern const S_PageRow kPageTable[kPageNone];
