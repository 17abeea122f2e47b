#include "core/PassPosition.h"

uint64_t RandomAccessPosition(uint64_t fileSize, uint32_t r)
{
    const uint64_t blocks = fileSize / 4096;
    if (blocks == 0)
        return 0;
    return ((uint64_t)r * (blocks - 1)) / 32767 * 4096;
}

uint32_t ProgressPercent(uint64_t done, uint64_t total)
{
    const uint64_t step = total / 100;
    if (step == 0)
        return 0;
    const uint64_t percent = done / step;
    return percent > 100 ? 100 : (uint32_t)percent;
}
