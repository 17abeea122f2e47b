// Elapsed-time timer on the multimedia clock (1 ms steps).
#pragma once
#include <atomic>
#include <cstdint>

class C_Timer {
public:
    void Start();
    uint32_t Stop(); // elapsed ms, low 32 bits
    uint64_t GetMilliseconds() const { return m_ullElapsed; }
    uint64_t GetMicroseconds() const { return m_ullElapsed * 1000; }
    // Milliseconds since Start without stopping (live displays).
    uint64_t Peek() const;
    static uint32_t Now();

private:
    // Written by the thread that times, read by a live display on another one.
    std::atomic<uint32_t> m_dwStart{0};
    uint64_t m_ullElapsed = 0;
};

#ifdef QM_TEST_HOOKS
// Test seam: while a hook is set, C_Timer objects read its milliseconds instead of the
// system's clock, so a test can give a pass an exact elapsed time. C_Timer::Now stays the
// system's.
typedef uint32_t (*C_ClockHook)(void* context);
void SetClockHook(C_ClockHook hook, void* context);
#endif

// A monotonic clock in nanoseconds from an arbitrary origin, with microsecond steps or finer
// (the performance counter on Windows, the monotonic clock elsewhere): for timing single
// accesses, where the millisecond clock is far too coarse. Cheap enough to read twice per access.
uint64_t FineClockNanoseconds();

// Difference of two 32-bit clock readings; correct across one wrap of the clock.
inline uint64_t ClockDifference(uint32_t start, uint32_t now) { return (uint32_t)(now - start); }
