// What the QuickAccess display timers show of a running random pass: the engine's events
// kept as figures that the GUI thread reads while the worker runs the engine. The engine
// hands them over from its coordinating thread at each of its 50 ms stop polls, so the access
// threads do nothing extra for the display and the display reads no object of the engine.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include "core/engines/Engine.h"
#include "core/engines/LatencyHistogram.h"

class C_RandomLive : public I_EngineEvents {
public:
    // Before each pass: the display starts from nothing while a write still prepares its
    // file, before the engine's first rate point.
    void Reset()
    {
        m_seconds.store(0);
        m_microseconds.store(0);
        m_accesses.store(0);
    }
    void Progress(uint64_t seconds) override { m_seconds.store((uint32_t)seconds); }
    // The accesses of one group and the time they took, added to what the display shows.
    void RatePoint(uint64_t, uint64_t bytes, uint64_t microseconds) override
    {
        m_microseconds.fetch_add(microseconds);
        m_accesses.fetch_add((uint32_t)(bytes / 4096));
    }

    uint32_t GetSeconds() const { return m_seconds.load(); }
    uint32_t GetAccessCount() const { return m_accesses.load(); }
    // The measuring time the counted accesses took; 0 before the first point.
    uint64_t GetElapsedMicroseconds() const { return m_microseconds.load(); }
    // For the pass's job: the engine fills it with the latency of every counted access once
    // the pass is over, and the result's tooltip reads it then.
    C_LatencyHistogram* Latency() { return m_latency.get(); }

private:
    std::unique_ptr<C_LatencyHistogram> m_latency{new C_LatencyHistogram};
    std::atomic<uint32_t> m_seconds{0};
    std::atomic<uint64_t> m_microseconds{0};
    std::atomic<uint32_t> m_accesses{0};
};
