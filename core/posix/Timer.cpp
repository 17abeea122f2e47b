// The millisecond clock on the monotonic clock, read in whole milliseconds like the Windows one,
// and the fine clock on the same monotonic clock.
#include <time.h>
#include "core/Timer.h"

uint32_t C_Timer::Now()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)((uint64_t)now.tv_sec * 1000 + (uint64_t)now.tv_nsec / 1000000);
}

uint64_t FineClockNanoseconds()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
}
