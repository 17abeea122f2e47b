#include "app/shell/PageTable.h"
#include "app/pages/about/AboutIds.h"
#include "app/pages/about/AboutPage.h"
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/pages/check/CheckAccess.h"
#include "app/pages/check/CheckIds.h"
#include "app/pages/file/FileAccess.h"
#include "app/pages/file/FileIds.h"
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/Simple.h"
#include "app/res/ArtworkIds.h"

const S_PageRow kPageTable[kPageNone] = {
#define QM_PAGE(index, page, dialog, bar, ...) {&page::Create, dialog, bar},
#include "app/shell/PageTableRows.h"
#undef QM_PAGE
};
