// Any bytes: the decoder either refuses them or produces a picture whose colours never
// exceed its alpha, without touching memory outside input and output.
#include <cstdlib>
#include <vector>

#include "app/splash/PspDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> input(data, data + size); // exact size, for the sanitizer
    PspLayout layout;
    if (!ParsePsp(input.data(), input.size(), &layout))
        return 0;
    if (uint64_t(layout.width) * layout.height > (uint64_t(1) << 22))
        return 0;
    std::vector<uint8_t> bits(size_t(layout.width) * layout.height * 4);
    if (!DecodePsp(input.data(), input.size(), layout, bits.data(), bits.size()))
        std::abort();
    for (size_t k = 0; k < bits.size(); k += 4)
        if (bits[k] > bits[k + 3] || bits[k + 1] > bits[k + 3] || bits[k + 2] > bits[k + 3])
            std::abort();
    return 0;
}
