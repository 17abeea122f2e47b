#include "app/shell/PageBar.h"
#include <algorithm>
#include <climits>
#include "app/settings/Flags.h"

namespace {
const int kBarEnd = INT_MAX;
} // namespace

const S_PageBarRow kPageBarRows[kPageNone] = {
#define QM_PAGE(index, page, dialog, bar, from, to, flagBit, closeRank, endCloseRank)                        \
    {from, to, flagBit, closeRank, endCloseRank},
#include "app/shell/PageTableRows.h"
#undef QM_PAGE
};

namespace {
constexpr uint32_t kTableChoiceBits = 0u
#define QM_PAGE(index, page, dialog, bar, from, to, flagBit, ...) | uint32_t(flagBit)
#include "app/shell/PageTableRows.h"
#undef QM_PAGE
    ;
// The bit that shows a page first is one the settings store, so the page shows first again at
// the next start; a row with a new bit needs it in the flag word's page choice too.
static_assert(kTableChoiceBits == kFlagPageChoiceMask, "the page table's flag bits are the page choice bits");
} // namespace

int PageFromBarX(int x)
{
    for (int i = 0; i < kPageNone; ++i)
        if (x >= kPageBarRows[i].barFrom && x <= kPageBarRows[i].barTo)
            return i;
    return -1;
}

int FirstPageFromFlags(unsigned flags)
{
    for (int i = 0; i < kPageNone; ++i)
        if (flags & kPageBarRows[i].flagBit)
            return i;
    return 0;
}

uint32_t PageChoiceBits() { return kTableChoiceBits; }

std::vector<int> CloseOrder(int shown)
{
    const bool ending = shown == kPageNone;
    std::vector<int> order;
    for (int i = 0; i < kPageNone; ++i)
        if (i != shown)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [ending](int a, int b) {
        const S_PageBarRow &ra = kPageBarRows[a], &rb = kPageBarRows[b];
        return ending ? ra.endCloseRank < rb.endCloseRank : ra.closeRank < rb.closeRank;
    });
    return order;
}
