// How fast stamped data is made and checked: 1 GiB through one 4 MiB buffer on one thread, as
// a fill and a verify would use it. Prints "figure stamp-fill-bytes-per-sec N" and
// "figure stamp-check-bytes-per-sec N"; the check reports its tally so it cannot be skipped.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/check/CheckStamp.h"

namespace {

constexpr size_t kBufferBytes = 4u << 20;
constexpr uint64_t kTotalBytes = 1ull << 30;
constexpr size_t kSectors = kBufferBytes / kStampSectorBytes;
constexpr uint64_t kRunId = 0x5EED0F5EED0F5EEDull;

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main()
{
    std::vector<uint8_t> buffer(kBufferBytes);
    const uint64_t rounds = kTotalBytes / kBufferBytes;

    auto start = std::chrono::steady_clock::now();
    for (uint64_t r = 0; r < rounds; ++r)
        FillStamped(buffer.data(), kSectors, r * kSectors, kRunId);
    const double fillSeconds = Seconds(start);

    // The check reads back the buffer of the last round, as intact data, at its own position.
    const uint64_t last = (rounds - 1) * kSectors;
    C_StampCounts counts;
    start = std::chrono::steady_clock::now();
    for (uint64_t r = 0; r < rounds; ++r)
        CheckStamped(buffer.data(), kSectors, last, kRunId, &counts);
    const double checkSeconds = Seconds(start);

    if (counts.sectors[kStampIntact] != rounds * kSectors) {
        fprintf(stderr, "check found %" PRIu64 " intact sectors of %" PRIu64 "\n",
                counts.sectors[kStampIntact], rounds * kSectors);
        return 1;
    }
    printf("figure stamp-fill-bytes-per-sec %.0f\n", (double)kTotalBytes / fillSeconds);
    printf("figure stamp-check-bytes-per-sec %.0f\n", (double)kTotalBytes / checkSeconds);
    return 0;
}
