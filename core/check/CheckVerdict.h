// What a capacity check found, and the words for it: the tally of the read-back data in bytes,
// the capacity a user can trust, the rates of the write and the read pass per chunk, and the
// cliff where a pass's rate falls to a lower level for good (a drive's cache running out).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/check/CheckStamp.h"

struct C_CheckTally {
    uint64_t checkedBytes = 0; // written and read back
    uint64_t intactBytes = 0;
    uint64_t movedBytes = 0;
    uint64_t lostBytes = 0;
    uint64_t changedBytes = 0;
    uint64_t firstBad = kNoPosition; // byte position in the fill of the first bad sector
};

C_CheckTally TallyFromCounts(const C_StampCounts& counts);

// The intact span from the start of the fill: all of it when nothing was bad, otherwise up to
// the first bad byte, rounded down to a whole chunk (the chunk with the bad sector is not trusted).
uint64_t TrustedCapacity(const C_CheckTally& tally, uint64_t chunkBytes);

// One chunk of a pass: its bytes and the microseconds they took.
struct C_ChunkTime {
    uint64_t bytes = 0;
    uint64_t microseconds = 0;
};

// Rates in bytes per second over a pass's chunks; the mean is the pass's bytes over its time,
// the figure users compare with other tools.
struct C_PassRates {
    double minimum = 0;
    double median = 0;
    double mean = 0;
};
C_PassRates SummarisePass(const std::vector<C_ChunkTime>& chunks);

struct C_Cliff {
    int found = 0;
    uint64_t position = 0; // bytes of the pass before the fall
    double before = 0;     // median rate before and after, bytes per second
    double after = 0;
};
// The split of the chunks into a faster part and a slower one, each lying closest to its own
// median rate, reported only when the rate after is at most half the rate before. Each side
// needs a few chunks, so one slow chunk is no cliff. Quadratic in the chunks (0.4 s for 8000,
// natively): once per pass, not once per chunk.
C_Cliff FindCliff(const std::vector<C_ChunkTime>& chunks);

// "write speed falls from 95 MByte/sec to 12 MByte/sec after 3.1 GByte"; empty without a cliff.
// direction: "write" or "read".
std::string FormatCliff(const char* direction, const C_Cliff& cliff);

// The verdict on the page: "All 14.8 GByte came back intact." or how much did not.
std::string FormatCheckVerdict(const C_CheckTally& tally);
// The console's line after the rates: "verify: ok, 1000 MiB intact\n" or the failure with each
// kind of loss present.
std::string FormatConsoleVerify(const C_CheckTally& tally);
