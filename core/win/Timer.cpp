// The millisecond clock on Windows: the multimedia clock.
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
