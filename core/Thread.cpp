// The parts of C_Thread that are the same on every system: the stop request and the wait for
// the end.
#include "core/Thread.h"

int C_Thread::RequestStop()
{
    if (!(m_flags.load() & kRunning))
        return 0;
    m_flags |= kStopRequested;
    return 1;
}

int C_Thread::IsStopRequested() const
{
    uint32_t f = m_flags.load();
    return (f & kRunning) && (f & kStopRequested) ? 1 : 0;
}

int C_Thread::Wait(uint32_t timeoutMs)
{
    if (!(m_flags.load() & kRunning))
        return 0;
    return WaitPumping(m_finished.GetHandle(), timeoutMs);
}
