// Which page a click on the page bar chooses.
#pragma once

enum PageIndex {
    kPageQuick = 0,
    kPageBlock = 1,
    kPageFile = 2,
    kPageAbout = 3,
    kPageCheck = 4,
    kPageNone = 5
};

// x in bitmap pixels from the bar's left edge; -1 for the dead zone between the page
// names and the About area.
int PageFromBarX(int x);
// The page shown first, from the flag word.
int FirstPageFromFlags(unsigned flags);
