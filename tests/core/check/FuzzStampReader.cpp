// Any bytes read back from a drive: every sector gets exactly one kind, and the kind agrees with
// the data (intact and moved sectors are exactly the stamped data they claim to be). A stamped
// sector with one flipped bit, chosen by the input, is always changed at its own position.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/check/CheckStamp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 18)
        return 0;
    uint64_t runId, position;
    memcpy(&runId, data, 8);
    memcpy(&position, data + 8, 8);
    position &= kStampPositionLimit - 1;
    const uint32_t bit = (data[16] | (uint32_t)data[17] << 8) % (kStampSectorBytes * 8);
    data += 18;
    size -= 18;
    const size_t sectors = size / kStampSectorBytes;
    std::vector<uint8_t> input(data, data + sectors * kStampSectorBytes); // exact size, for the sanitizer

    C_StampCounts counts;
    CheckStamped(input.data(), sectors, position, runId, &counts);
    uint64_t total = 0, firstBad = kNoPosition;
    std::vector<uint8_t> expected(kStampSectorBytes);
    for (size_t n = 0; n < sectors; ++n) {
        const uint8_t* sector = &input[n * kStampSectorBytes];
        uint64_t held = 0;
        const StampKind kind = ClassifySector(sector, position + n, runId, &held);
        if (kind != kStampMoved && held != kNoPosition)
            abort();
        if (kind == kStampIntact || kind == kStampMoved) {
            FillStamped(expected.data(), 1, kind == kStampIntact ? position + n : held, runId);
            if (memcmp(expected.data(), sector, kStampSectorBytes) != 0)
                abort();
        }
        if (kind != kStampIntact && firstBad == kNoPosition)
            firstBad = position + n;
    }
    for (uint64_t k : counts.sectors)
        total += k;
    if (total != sectors || counts.firstBad != firstBad)
        abort();

    FillStamped(expected.data(), 1, position, runId);
    expected[bit / 8] ^= (uint8_t)(1u << (bit % 8));
    if (ClassifySector(expected.data(), position, runId, nullptr) != kStampChanged)
        abort();
    return 0;
}
