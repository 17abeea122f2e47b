// The millisecond clock on Windows: the multimedia clock; the fine clock: the performance counter.
#include <windows.h>
#include <mmsystem.h>
#include "core/Timer.h"

uint32_t C_Timer::Now()
{
    // Ask once for the clock's finest step so that readings move in 1 ms steps.
    static const bool fine = (timeBeginPeriod(1) == TIMERR_NOERROR);
    (void)fine;
    return timeGetTime();
}

uint64_t FineClockNanoseconds()
{
    // The counter's rate is fixed at boot; read it once.
    static const uint64_t frequency = [] {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? (uint64_t)f.QuadPart : 1000u;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const uint64_t ticks = (uint64_t)counter.QuadPart;
    // Whole seconds and the rest apart, so the product cannot overflow.
    return ticks / frequency * 1000000000u + ticks % frequency * 1000000000u / frequency;
}
