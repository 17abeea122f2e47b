// C_Thread and C_Event on POSIX threads. An event's handle is a reference-counted state, so a
// finishing thread can still set its owner's event after the owner let go of it (as a
// duplicated Win32 handle would).
#include <pthread.h>
#include <time.h>
#include <atomic>
#include <cerrno>
#include "core/ErrorCodes.h"
#include "core/Thread.h"
#include "core/posix/ErrorMap.h"

namespace {
struct C_EventState {
    pthread_mutex_t mutex;
    pthread_cond_t signalled;
    int manualReset;
    int state;
    std::atomic<int> references{1};
};

C_EventState* NewEventState(int manualReset, int initialState)
{
    C_EventState* e = new C_EventState;
    pthread_mutex_init(&e->mutex, nullptr);
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&e->signalled, &attributes);
    pthread_condattr_destroy(&attributes);
    e->manualReset = manualReset;
    e->state = initialState;
    return e;
}

void Release(C_EventState* e)
{
    if (e && --e->references == 0) {
        pthread_cond_destroy(&e->signalled);
        pthread_mutex_destroy(&e->mutex);
        delete e;
    }
}

void SetState(C_EventState* e)
{
    pthread_mutex_lock(&e->mutex);
    e->state = 1;
    if (e->manualReset)
        pthread_cond_broadcast(&e->signalled);
    else
        pthread_cond_signal(&e->signalled);
    pthread_mutex_unlock(&e->mutex);
}

void UnlockMutex(void* mutex) { pthread_mutex_unlock((pthread_mutex_t*)mutex); }

// 0 = no limit. 1 when signalled (an auto-reset event is cleared again), 0 on timeout.
int WaitState(C_EventState* e, uint32_t timeoutMs)
{
    int signalled = 0;
    struct timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += timeoutMs / 1000;
    deadline.tv_nsec += (long)(timeoutMs % 1000) * 1000000;
    if (deadline.tv_nsec >= 1000000000) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000;
    }
    pthread_mutex_lock(&e->mutex);
    // A thread cancelled by Terminate while it waits takes the lock back before it goes; the
    // handler hands it on, or every later Set and Wait of this event would hang.
    pthread_cleanup_push(UnlockMutex, &e->mutex);
    int r = 0;
    while (!e->state && r != ETIMEDOUT)
        r = timeoutMs ? pthread_cond_timedwait(&e->signalled, &e->mutex, &deadline)
                      : pthread_cond_wait(&e->signalled, &e->mutex);
    signalled = e->state;
    if (signalled && !e->manualReset)
        e->state = 0;
    pthread_cleanup_pop(1);
    return signalled;
}
} // namespace

int C_Event::Create(int manualReset, int initialState, const char* name)
{
    Close();
    if (name) {
        // Named events are shared between processes on Windows; nothing here needs them.
        SetLastErrorCode(kErrorNotSupported);
        return 0;
    }
    m_hEvent = NewEventState(manualReset, initialState);
    m_bOwn = 1;
    return 1;
}

void C_Event::Attach(void* handle, int own)
{
    Close();
    m_hEvent = handle;
    m_bOwn = own;
}

int C_Event::Set()
{
    if (!m_hEvent)
        return 0;
    SetState((C_EventState*)m_hEvent);
    return 1;
}

int C_Event::Reset()
{
    if (!m_hEvent)
        return 0;
    C_EventState* e = (C_EventState*)m_hEvent;
    pthread_mutex_lock(&e->mutex);
    e->state = 0;
    pthread_mutex_unlock(&e->mutex);
    return 1;
}

int C_Event::Wait(uint32_t timeoutMs) { return m_hEvent ? WaitState((C_EventState*)m_hEvent, timeoutMs) : 0; }

void C_Event::Close()
{
    if (m_hEvent && m_bOwn)
        Release((C_EventState*)m_hEvent);
    m_hEvent = nullptr;
    m_bOwn = 0;
}

// No window messages to dispatch on POSIX: the wait is a plain one. With a second event the
// two are looked at in turn, a millisecond apart (no caller on POSIX waits on two).
int WaitPumping(void* handle, uint32_t timeoutMs, void* second)
{
    if (!handle)
        return 0;
    if (!second)
        return WaitState((C_EventState*)handle, timeoutMs);
    for (uint32_t waited = 0;; ++waited) {
        if (WaitState((C_EventState*)handle, 1) || WaitState((C_EventState*)second, 1))
            return 1;
        if (timeoutMs && waited >= timeoutMs / 2)
            return 0;
    }
}

void SleepMs(uint32_t ms)
{
    struct timespec rest = {(time_t)(ms / 1000), (long)(ms % 1000) * 1000000};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

struct C_ThreadEntry {
    static void* Run(void* self);
};

static_assert(sizeof(pthread_t) <= sizeof(void*), "a thread id is kept in the handle word");

void* C_ThreadEntry::Run(void* self)
{
    C_Thread* t = (C_Thread*)self;
    uint32_t code = t->m_pfnFunction(t->m_pUserData, t->m_argument);
    t->m_hThread.exchange(nullptr);
    t->m_dwExitCode = code;
    // Once the running bit is clear the owner may reuse or destroy the object, so the finished
    // event is held by a reference of this thread's own.
    C_EventState* finished = (C_EventState*)t->m_finished.GetHandle();
    ++finished->references;
    t->m_flags &= ~(uint32_t)C_Thread::kRunning;
    SetState(finished);
    Release(finished);
    return nullptr;
}

int C_Thread::Start(ThreadFunction function, void* userData, uintptr_t argument)
{
    if (m_flags.load() & kRunning)
        return 0;
    m_flags = (m_flags.load() | kRunning) & ~(uint32_t)kStopRequested;
    m_pfnFunction = function;
    m_pUserData = userData;
    m_argument = argument;
    if (!m_finished.Create(1, 0)) {
        m_flags &= ~(uint32_t)kRunning;
        return 0;
    }
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t id;
    // The thread may end before its id is stored here. Then the id is dropped, or stored for a
    // thread no longer running, which Terminate never touches.
    m_hThread = nullptr;
    const int r = pthread_create(&id, &attributes, &C_ThreadEntry::Run, this);
    pthread_attr_destroy(&attributes);
    if (r != 0) {
        m_flags &= ~(uint32_t)kRunning;
        SetLastErrorCode(ErrorFromErrno(r));
        return 0;
    }
    void* expected = nullptr;
    // A thread that already ended has left nothing to store.
    if (m_flags.load() & kRunning)
        m_hThread.compare_exchange_strong(expected, (void*)id);
    m_dwThreadId = (uint32_t)(uintptr_t)id;
    return 1;
}

// Detached POSIX threads leave no exit code with the system, so both ways read the stored one.
int C_Thread::GetExitCode(uint32_t* code)
{
    if (m_flags.load() & kRunning)
        return 0;
    *code = m_dwExitCode;
    return 1;
}

void C_Thread::Terminate()
{
    if (m_flags.load() & kRunning) {
        m_flags &= ~(uint32_t)kRunning;
        void* id = m_hThread.exchange(nullptr);
        if (id)
            pthread_cancel((pthread_t)id);
    }
    m_dwExitCode = 0;
    m_finished.Close();
}
