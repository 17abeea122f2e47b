// The random access test: 32 threads share one open test file and each moves one 4096-byte
// block at a random 4096-byte boundary, again and again, for six one-second rounds.
// The object is owned by whoever displays its counters (the QuickAccess page); the pass runs
// on that owner's worker thread and touches no window. The owner's worker calls Run with a
// channel whose IsStopRequested answers the worker thread's stop request, and reads
// GetAccessCount and GetSeconds from its display timer. One pass at a time per object.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include "core/Thread.h"

class C_PassChannel;
struct C_AccessRun;

struct C_AccessPassArgs {
    int direction = 0; // 1 = write, else read
    const char* path = "";
    void* buffer = nullptr; // 4096-aligned; only its first 4096 bytes are moved
    uint64_t fileSize = 0;  // in bytes, the size the sequential test left behind
};

class C_AccessTest {
public:
    enum { kThreads = 32, kBlockSize = 4096, kRounds = 6, kRoundMs = 1000 };

    C_AccessTest() = default;
    virtual ~C_AccessTest() = default;
    C_AccessTest(const C_AccessTest&) = delete;
    C_AccessTest& operator=(const C_AccessTest&) = delete;

    // One pass, on the calling (worker) thread. The channel only answers whether the user
    // asked to stop; this pass reports nothing through it. resultText is
    // "12.3 MByte/sec, 3149.6 IOPS, 0.32 ms", or empty when no figure was formed.
    // Returns 1 when nothing failed and nobody stopped the pass.
    int Run(const C_AccessPassArgs& args, C_PassChannel& channel, std::string& resultText);

    // The access thread; userData is the pass's run context, argument the thread's index.
    static uint32_t AccessThread(void* userData, uintptr_t argument);

    // Read by the owner's display timer while a pass runs.
    uint32_t GetAccessCount() const { return m_accessCount.load(std::memory_order_relaxed); }
    uint32_t GetSeconds() const { return m_seconds.load(std::memory_order_relaxed); }
    // The owner clears the seconds before each pass (the access counter is cleared by the pass).
    void ResetSeconds() { m_seconds.store(0); }
    // Win32 error of the first failed operation of the last pass; 0 when none failed.
    uint32_t GetFailureCode() const { return m_failureCode.load(); }
    // Microseconds of the running pass's measuring time so far (0 before it starts); only
    // reads the clock, so a display never disturbs the pass's own reading.
    uint64_t GetElapsedMicroseconds() const;

protected:
    // Starts one access thread; a seam for tests that make thread creation fail.
    virtual int StartAccessThread(C_Thread& thread, C_AccessRun* run, uint32_t index);

private:
    void Join(C_AccessRun& run, uint32_t started);

    std::atomic<uint32_t> m_accessCount{0};
    std::atomic<uint32_t> m_seconds{0};
    std::atomic<uint32_t> m_failureCode{0};
    std::atomic<uint32_t> m_startClock{0};
    std::atomic<uint32_t> m_measuring{0};
    // Members rather than locals of a pass, so the threads' objects outlive every join.
    C_Thread m_threads[kThreads];
};
