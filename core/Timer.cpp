// The timer's arithmetic on the system's millisecond clock (C_Timer::Now, one per system),
// and the test seam that replaces its readings.
#include "core/Timer.h"

#ifdef QM_TEST_HOOKS
static C_ClockHook g_pfnClockHook = nullptr;
static void* g_pClockContext = nullptr;

void SetClockHook(C_ClockHook hook, void* context)
{
    g_pClockContext = context;
    g_pfnClockHook = hook;
}
#endif

static uint32_t Reading()
{
#ifdef QM_TEST_HOOKS
    if (g_pfnClockHook)
        return g_pfnClockHook(g_pClockContext);
#endif
    return C_Timer::Now();
}

void C_Timer::Start() { m_dwStart.store(Reading()); }

uint32_t C_Timer::Stop()
{
    m_ullElapsed = ClockDifference(m_dwStart.load(), Reading());
    return (uint32_t)m_ullElapsed;
}

uint64_t C_Timer::Peek() const { return ClockDifference(m_dwStart.load(), Reading()); }
