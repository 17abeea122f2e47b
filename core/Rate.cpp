#include "core/Rate.h"
#include <algorithm>
#include <vector>
#include "core/Text.h"
#include "core/engines/Engine.h"

C_RateResult ComputeRate(uint64_t bytes, uint64_t elapsedMicroseconds)
{
    C_RateResult r;
    if (elapsedMicroseconds <= 10) {
        r.tooFast = 1;
        r.text = "[too fast]";
        return r;
    }
    r.bytesPerSecond = (float)((double)bytes * 1000.0 * 1000.0 / (double)elapsedMicroseconds);
    r.mibPerSecond = (uint32_t)(r.bytesPerSecond / 1024.0f / 1024.0f);
    r.text = FormatRate(r.bytesPerSecond);
    return r;
}

std::string FormatAccessResult(uint32_t accesses, uint64_t elapsedMicroseconds)
{
    if (accesses == 0 || elapsedMicroseconds == 0)
        return std::string();
    const float rate = (float)((double)accesses * 4096.0 * 1000.0 * 1000.0 / (double)elapsedMicroseconds);
    const double iops = (double)accesses * 1000.0 * 1000.0 / (double)elapsedMicroseconds;
    const double msPerAccess = ((double)elapsedMicroseconds / 1000.0) / (double)accesses;
    return FormatRate(rate) + StringPrintf(", %.1f IOPS, %.2f ms", iops, msPerAccess);
}

std::string FormatAccessResult(const C_EngineResult& result)
{
    if (result.stopped)
        return std::string();
    return FormatAccessResult((uint32_t)result.accesses, result.microseconds);
}

double MedianOf(const double* values, size_t count)
{
    if (!count)
        return 0;
    std::vector<double> part(values, values + count);
    const size_t mid = part.size() / 2;
    std::nth_element(part.begin(), part.begin() + mid, part.end());
    const double upper = part[mid];
    if (part.size() % 2)
        return upper;
    return (upper + *std::max_element(part.begin(), part.begin() + mid)) / 2;
}
