#include "app/shell/PageBar.h"
#include "app/settings/Flags.h"

int PageFromBarX(int x)
{
    if (x < 0)
        return -1;
    if (x <= 143)
        return kPageQuick;
    if (x <= 278)
        return kPageFile;
    if (x <= 448)
        return kPageBlock;
    if (x <= 593)
        return kPageCheck;
    if (x <= 721)
        return -1;
    return kPageAbout;
}

int FirstPageFromFlags(unsigned flags)
{
    if (flags & kFlagBlockPage)
        return kPageBlock;
    if (flags & kFlagFilePage)
        return kPageFile;
    if (flags & kFlagCheckPage)
        return kPageCheck;
    return kPageQuick;
}
