// C_Thread, C_Event and the message-dispatching wait.
#include <windows.h>
#include "core/Thread.h"

int C_Event::Create(int manualReset, int initialState, const char* name)
{
    Close();
    m_hEvent = CreateEventA(nullptr, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE, name);
    m_bOwn = m_hEvent != nullptr;
    return m_hEvent != nullptr;
}

void C_Event::Attach(void* handle, int own)
{
    Close();
    m_hEvent = handle;
    m_bOwn = own;
}

int C_Event::Set() { return m_hEvent && SetEvent(m_hEvent) ? 1 : 0; }
int C_Event::Reset() { return m_hEvent && ResetEvent(m_hEvent) ? 1 : 0; }

int C_Event::Wait(uint32_t timeoutMs)
{
    if (!m_hEvent)
        return 0;
    HANDLE h = m_hEvent;
    for (;;) {
        DWORD r = WaitForMultipleObjectsEx(1, &h, FALSE, timeoutMs ? timeoutMs : INFINITE, TRUE);
        if (r == WAIT_IO_COMPLETION)
            continue;
        return r == WAIT_OBJECT_0;
    }
}

void C_Event::Close()
{
    if (m_hEvent && m_bOwn)
        CloseHandle(m_hEvent);
    m_hEvent = nullptr;
    m_bOwn = 0;
}

int WaitPumping(void* handle, uint32_t timeoutMs, void* second)
{
    // The tick count wraps after 49 days; a 64-bit sum of its steps does not.
    DWORD last = GetTickCount();
    uint64_t now = 0;
    const uint64_t deadline = timeoutMs ? timeoutMs : 0;
    HANDLE handles[2] = {handle, second};
    const DWORD count = second ? 2 : 1;
    for (;;) {
        const DWORD tick = GetTickCount();
        now += (DWORD)(tick - last);
        last = tick;
        if (timeoutMs && now >= deadline)
            return 0;
        // Dispatch first: a worker may be inside a synchronous call to one of our windows.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The program is ending: leave the quit for the caller's own loop and stop
                // waiting, since nothing would dispatch that worker's calls any more.
                PostQuitMessage((int)msg.wParam);
                return 0;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD r = MsgWaitForMultipleObjects(
            count, handles, FALSE, timeoutMs ? (DWORD)(deadline - now) : INFINITE, QS_ALLINPUT);
        if (r < WAIT_OBJECT_0 + count)
            return 1;
        if (r != WAIT_OBJECT_0 + count)
            return 0; // timeout or failure
    }
}

void SleepMs(uint32_t ms) { Sleep(ms); }

struct C_ThreadEntry {
    static unsigned long __stdcall Run(void* self);
};

unsigned long __stdcall C_ThreadEntry::Run(void* self)
{
    C_Thread* t = (C_Thread*)self;
    uint32_t code = t->m_pfnFunction(t->m_pUserData, t->m_argument);
    HANDLE h = t->m_hThread.exchange(nullptr);
    t->m_dwExitCode = code;
    // Signal through a handle of our own: once the running bit is clear the owner may reuse or
    // destroy the object, so clearing it is the last thing this thread does to the object.
    HANDLE finished = nullptr;
    DuplicateHandle(GetCurrentProcess(), t->m_finished.GetHandle(), GetCurrentProcess(), &finished, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    t->m_flags &= ~(uint32_t)C_Thread::kRunning;
    if (finished) {
        SetEvent(finished);
        CloseHandle(finished);
    }
    if (h)
        CloseHandle(h);
    return code;
}

int C_Thread::Start(ThreadFunction function, void* userData, uintptr_t argument)
{
    if (m_flags.load() & kRunning)
        return 0;
    // The finished event of a previous run is closed here; wait for that thread's last steps.
    m_flags = (m_flags.load() | kRunning) & ~(uint32_t)kStopRequested;
    m_pfnFunction = function;
    m_pUserData = userData;
    m_argument = argument;
    if (!m_finished.Create(1, 0)) {
        m_flags &= ~(uint32_t)kRunning;
        return 0;
    }
    DWORD id = 0;
    // Suspended, so the handle is stored before the thread can look for it.
    HANDLE h =
        CreateThread(nullptr, 0, (LPTHREAD_START_ROUTINE)C_ThreadEntry::Run, this, CREATE_SUSPENDED, &id);
    if (!h) {
        m_flags &= ~(uint32_t)kRunning;
        return 0;
    }
    m_dwThreadId = id;
    m_hThread = h;
    ResumeThread(h);
    return 1;
}

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
        HANDLE h = m_hThread.exchange(nullptr);
        if (h) {
            TerminateThread(h, 0);
            CloseHandle(h);
        }
    }
    m_dwExitCode = 0;
    m_finished.Close();
}
