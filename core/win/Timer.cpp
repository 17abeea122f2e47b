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

void C_Timer::Start() { m_dwStart.store(Now()); }

uint32_t C_Timer::Stop()
{
    m_ullElapsed = ClockDifference(m_dwStart.load(), Now());
    return (uint32_t)m_ullElapsed;
}

uint64_t C_Timer::Peek() const { return ClockDifference(m_dwStart.load(), Now()); }
