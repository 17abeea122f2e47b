#include "app/shell/PageTable.h"
#include "app/about/AboutIds.h"
#include "app/about/AboutPage.h"
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/pages/check/CheckAccess.h"
#include "app/pages/check/CheckIds.h"
#include "app/pages/file/FileAccess.h"
#include "app/pages/file/FileIds.h"
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/Simple.h"
#include "app/settings/Flags.h"
#include "app/shell/MainIds.h"

template <class T>
static C_Page* MakePage()
{
    return new T;
}

const S_PageRow kPageTable[kPageNone] = {
    {MakePage<C_Simple>, IDD_QUICK, IDB_BAR_QUICK, 0},
    {MakePage<C_BlockAccess>, IDD_BLOCK, IDB_BAR_BLOCK, kFlagBlockPage},
    {MakePage<C_FileAccess>, IDD_FILE, IDB_BAR_FILE, kFlagFilePage},
    {MakePage<C_AboutPage>, IDD_ABOUT, IDB_BAR_ABOUT, 0},
    {MakePage<C_CheckAccess>, IDD_CHECK, IDB_BAR_CHECK, kFlagCheckPage},
};

uint32_t PageChoiceBits()
{
    uint32_t bits = 0;
    for (const S_PageRow& row : kPageTable)
        bits |= row.flagBit;
    return bits;
}
