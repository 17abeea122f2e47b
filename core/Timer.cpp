// The timer's arithmetic on the system's millisecond clock (C_Timer::Now, one per system).
#include "core/Timer.h"

void C_Timer::Start() { m_dwStart.store(Now()); }

uint32_t C_Timer::Stop()
{
    m_ullElapsed = ClockDifference(m_dwStart.load(), Now());
    return (uint32_t)m_ullElapsed;
}

uint64_t C_Timer::Peek() const { return ClockDifference(m_dwStart.load(), Now()); }
