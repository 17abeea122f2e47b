#include "core/check/CheckVerdict.h"
#include <algorithm>
#include <cinttypes>

#include "core/Rate.h"
#include "core/Text.h"

namespace {

// A fall must last: each side of a split holds at least a twentieth of the pass (and 4 chunks),
// and a side's median is low only when most of it is, so a few slow chunks at the end, where a
// drive may flush, are no cliff.
size_t CliffSideChunks(size_t chunks) { return chunks / 20 > 4 ? chunks / 20 : 4; }

double Rate(const C_ChunkTime& chunk)
{
    const uint64_t us = chunk.microseconds ? chunk.microseconds : 1;
    return (double)chunk.bytes * 1e6 / (double)us;
}

double Median(const std::vector<double>& rates, size_t begin, size_t end)
{
    return MedianOf(rates.data() + begin, end - begin);
}

// The sum of distances of rates[begin, end) from their median, which goes to *median. The split
// of a pass where both sides lie closest to their own medians is where its level changes: the
// biggest fall between medians alone does not place it, since while one side holds mostly the
// lower level its median stays there for every split over a long stretch.
double Spread(const std::vector<double>& rates, size_t begin, size_t end, double* median)
{
    *median = Median(rates, begin, end);
    double sum = 0;
    for (size_t i = begin; i < end; ++i)
        sum += rates[i] > *median ? rates[i] - *median : *median - rates[i];
    return sum;
}

std::vector<double> Rates(const std::vector<C_ChunkTime>& chunks)
{
    std::vector<double> rates;
    rates.reserve(chunks.size());
    for (const C_ChunkTime& c : chunks)
        rates.push_back(Rate(c));
    return rates;
}

// An amount in whole MiB from 1 MiB on, in bytes below, so one bad sector does not show as "0 MiB".
std::string ConsoleAmount(uint64_t bytes)
{
    if (bytes >= (1u << 20))
        return StringPrintf("%" PRIu64 " MiB", bytes >> 20);
    return StringPrintf("%" PRIu64 " bytes", bytes);
}

} // namespace

C_CheckTally TallyFromCounts(const C_StampCounts& counts)
{
    C_CheckTally t;
    t.intactBytes = counts.sectors[kStampIntact] * kStampSectorBytes;
    t.movedBytes = counts.sectors[kStampMoved] * kStampSectorBytes;
    t.lostBytes = counts.sectors[kStampLost] * kStampSectorBytes;
    t.changedBytes = counts.sectors[kStampChanged] * kStampSectorBytes;
    t.checkedBytes = t.intactBytes + t.movedBytes + t.lostBytes + t.changedBytes;
    if (counts.firstBad != kNoPosition)
        t.firstBad = counts.firstBad * kStampSectorBytes;
    return t;
}

uint64_t TrustedCapacity(const C_CheckTally& tally, uint64_t chunkBytes)
{
    if (tally.firstBad >= tally.checkedBytes)
        return tally.checkedBytes;
    return chunkBytes ? tally.firstBad / chunkBytes * chunkBytes : tally.firstBad;
}

C_PassRates SummarisePass(const std::vector<C_ChunkTime>& chunks)
{
    C_PassRates r;
    if (chunks.empty())
        return r;
    const std::vector<double> rates = Rates(chunks);
    r.minimum = *std::min_element(rates.begin(), rates.end());
    r.median = Median(rates, 0, rates.size());
    uint64_t bytes = 0, us = 0;
    for (const C_ChunkTime& c : chunks) {
        bytes += c.bytes;
        us += c.microseconds;
    }
    r.mean = Rate({bytes, us});
    return r;
}

C_Cliff FindCliff(const std::vector<C_ChunkTime>& chunks)
{
    C_Cliff best;
    const std::vector<double> rates = Rates(chunks);
    const size_t side = CliffSideChunks(rates.size());
    uint64_t position = 0;
    double bestSpread = -1;
    for (size_t split = 0; split + side <= rates.size(); ++split) {
        if (split >= side) {
            double before, after;
            const double spread =
                Spread(rates, 0, split, &before) + Spread(rates, split, rates.size(), &after);
            if (after < before && (bestSpread < 0 || spread < bestSpread)) {
                bestSpread = spread;
                best.position = position;
                best.before = before;
                best.after = after;
            }
        }
        position += chunks[split].bytes;
    }
    best.found = bestSpread >= 0 && best.after * 2 <= best.before;
    return best;
}

std::string FormatCliff(const char* direction, const C_Cliff& cliff)
{
    if (!cliff.found)
        return std::string();
    return StringPrintf("%s speed falls from %s to %s after %s", direction,
                        FormatShortRate((float)cliff.before).c_str(),
                        FormatShortRate((float)cliff.after).c_str(), FormatByteSize(cliff.position).c_str());
}

std::string FormatCheckVerdict(const C_CheckTally& tally)
{
    const std::string checked = FormatByteSize(tally.checkedBytes), first = FormatByteSize(tally.firstBad);
    if (tally.firstBad == kNoPosition)
        return "All " + checked + " came back intact.";
    // Moved or lost data means the drive keeps less than it reports. Changed data alone means it
    // keeps its size but not what it is given; then the changed amount is what the user needs,
    // since "Only 31.9 GByte of 31.9 GByte" would say nothing.
    if (!tally.movedBytes && !tally.lostBytes)
        return StringPrintf(
            "%s of %s came back changed; the first changed data lies at %s. This drive alters "
            "the data it stores.",
            FormatByteSize(tally.changedBytes).c_str(), checked.c_str(), first.c_str());
    return StringPrintf(
        "Only %s of %s came back intact; the first lost data lies at %s. This drive is smaller "
        "than it claims.",
        FormatByteSize(tally.intactBytes).c_str(), checked.c_str(), first.c_str());
}

std::string FormatConsoleVerify(const C_CheckTally& tally)
{
    if (tally.firstBad == kNoPosition)
        return "verify: ok, " + ConsoleAmount(tally.intactBytes) + " intact\n";
    std::string kinds;
    const struct {
        const char* name;
        uint64_t bytes;
    } parts[] = {{"moved", tally.movedBytes}, {"lost", tally.lostBytes}, {"changed", tally.changedBytes}};
    for (const auto& p : parts) {
        if (!p.bytes)
            continue;
        kinds += kinds.empty() ? "" : ", ";
        kinds += p.name + (" " + ConsoleAmount(p.bytes));
    }
    return StringPrintf(
        "verify: FAILED, %" PRIu64 " of %" PRIu64 " MiB intact, first bad at %" PRIu64 " MiB (%s)\n",
        tally.intactBytes >> 20, tally.checkedBytes >> 20, tally.firstBad >> 20, kinds.c_str());
}
