// Worker thread wrapper and event wrapper of the class library.
#pragma once
#include <atomic>
#include <cstdint>

class C_Event {
public:
    C_Event() = default;
    ~C_Event() { Close(); }
    C_Event(const C_Event&) = delete;
    C_Event& operator=(const C_Event&) = delete;

    int Create(int manualReset, int initialState, const char* name = nullptr);
    void Attach(void* handle, int own);
    int Set();
    int Reset();
    // Alertable wait (repeated after an I/O completion callback); 0 = INFINITE.
    // Returns 1 when signalled, 0 on timeout or failure.
    int Wait(uint32_t timeoutMs = 0);
    void Close();
    void* GetHandle() const { return m_hEvent; }

private:
    int m_bOwn = 0;
    void* m_hEvent = nullptr;
};

typedef uint32_t (*ThreadFunction)(void* userData, uintptr_t argument);

class C_Thread {
public:
    enum { kRunning = 1, kStopRequested = 2 };
    C_Thread() = default;
    ~C_Thread() { Terminate(); }
    C_Thread(const C_Thread&) = delete;
    C_Thread& operator=(const C_Thread&) = delete;

    int Start(ThreadFunction function, void* userData, uintptr_t argument);
    int RequestStop();
    int IsStopRequested() const;
    int IsRunning() const { return (m_flags.load() & kRunning) != 0; }
    // Waits for the end of the thread, dispatching the calling thread's window messages
    // meanwhile; 0 = INFINITE. 1 when it ended; 0 on timeout, when not running, or when
    // the program is quitting (WaitPumping).
    int Wait(uint32_t timeoutMs = 0);
    int GetExitCode(uint32_t* code);
    void Terminate();
    void* GetUserData() const { return m_pUserData; }

private:
    // The system's thread entry, defined by each implementation of the library.
    friend struct C_ThreadEntry;

    ThreadFunction m_pfnFunction = nullptr;
    uintptr_t m_argument = 0;
    uint32_t m_dwExitCode = 0;
    std::atomic<uint32_t> m_flags{0};
    uint32_t m_dwThreadId = 0;
    void* m_pUserData = nullptr;
    C_Event m_finished;
    std::atomic<void*> m_hThread{nullptr};
};

// Waits for a handle (or the optional second one) while dispatching the calling thread's
// messages; 0 = INFINITE. Returns 1 when one was signalled; 0 on timeout, on failure, or
// when a WM_QUIT arrives (it is posted again for the caller's loop).
int WaitPumping(void* handle, uint32_t timeoutMs, void* second = nullptr);
// Milliseconds to sleep the calling thread.
void SleepMs(uint32_t ms);
// 32-bit counter increment visible to every thread at once.
inline uint32_t AtomicIncrement(std::atomic<uint32_t>& value) { return ++value; }
