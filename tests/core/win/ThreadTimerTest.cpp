// C_Thread, C_Event, WaitPumping and C_Timer.
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include "core/Thread.h"
#include "core/Timer.h"

namespace {
struct Gate {
    C_Event release;
    std::atomic<int> started{0};
    C_Thread* self = nullptr;
};

uint32_t WaitForGate(void* data, uintptr_t argument)
{
    Gate* g = (Gate*)data;
    g->started = 1;
    g->release.Wait();
    return (uint32_t)argument;
}

std::atomic<int> g_received{0};
std::atomic<int> g_apcs{0};

LRESULT CALLBACK PumpTestProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_USER + 1) {
        ++g_received;
        return 5;
    }
    return DefWindowProcA(h, m, w, l);
}

// A message-only window of the calling thread that counts WM_USER + 1.
HWND MakePumpWindow()
{
    static const ATOM registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PumpTestProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QmPumpTest";
        return RegisterClassA(&wc);
    }();
    (void)registered;
    return CreateWindowA("QmPumpTest", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

void CALLBACK CountApc(ULONG_PTR) { ++g_apcs; }

struct ApcContext {
    HANDLE thread;
    HANDLE event;
};

DWORD WINAPI QueueApcThenSignal(LPVOID p)
{
    ApcContext* c = (ApcContext*)p;
    Sleep(30);
    QueueUserAPC(CountApc, c->thread, 0);
    Sleep(30);
    SetEvent(c->event);
    return 0;
}

DWORD WINAPI SetEventLater(LPVOID event)
{
    Sleep(50);
    SetEvent((HANDLE)event);
    return 0;
}

uint32_t SpinUntilStopped(void* data, uintptr_t)
{
    Gate* g = (Gate*)data;
    g->started = 1;
    while (!g->self->IsStopRequested())
        Sleep(1);
    return 77;
}
} // namespace

TEST(Thread, StartWhileRunningWaitAndExitCode)
{
    Gate gate;
    ASSERT_EQ(gate.release.Create(1, 0), 1);
    C_Thread t;
    uint32_t code = 0;
    EXPECT_EQ(t.Wait(10), 0); // not running
    EXPECT_EQ(t.RequestStop(), 0);
    ASSERT_EQ(t.Start(WaitForGate, &gate, 42), 1);
    EXPECT_EQ(t.IsRunning(), 1);
    EXPECT_EQ(t.Start(WaitForGate, &gate, 43), 0); // refuses and leaves it alone
    EXPECT_EQ(t.GetExitCode(&code), 0);
    EXPECT_EQ(t.Wait(50), 0); // times out
    // The gate opens while Wait is already waiting (a finished thread would answer 0 at once).
    HANDLE first = CreateThread(nullptr, 0, SetEventLater, gate.release.GetHandle(), 0, nullptr);
    EXPECT_EQ(t.Wait(0), 1);
    WaitForSingleObject(first, INFINITE);
    CloseHandle(first);
    EXPECT_EQ(t.IsRunning(), 0);
    ASSERT_EQ(t.GetExitCode(&code), 1);
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(t.GetUserData(), &gate);
    // It can run again once finished.
    gate.release.Reset();
    ASSERT_EQ(t.Start(WaitForGate, &gate, 5), 1);
    HANDLE opener = CreateThread(nullptr, 0, SetEventLater, gate.release.GetHandle(), 0, nullptr);
    EXPECT_EQ(t.Wait(0), 1);
    WaitForSingleObject(opener, INFINITE);
    CloseHandle(opener);
    ASSERT_EQ(t.GetExitCode(&code), 1);
    EXPECT_EQ(code, 5u);
}

TEST(Thread, StopRequestIsSeenByTheWorker)
{
    Gate gate;
    C_Thread t;
    gate.self = &t;
    ASSERT_EQ(t.Start(SpinUntilStopped, &gate, 0), 1);
    while (!gate.started)
        Sleep(1);
    EXPECT_EQ(t.IsStopRequested(), 0);
    EXPECT_EQ(t.RequestStop(), 1);
    EXPECT_EQ(t.Wait(5000), 1);
    uint32_t code = 0;
    ASSERT_EQ(t.GetExitCode(&code), 1);
    EXPECT_EQ(code, 77u);
    EXPECT_EQ(t.IsStopRequested(), 0); // only while running
}

TEST(Thread, TerminateEndsAStuckWorker)
{
    Gate gate;
    ASSERT_EQ(gate.release.Create(1, 0), 1);
    C_Thread t;
    ASSERT_EQ(t.Start(WaitForGate, &gate, 9), 1);
    while (!gate.started)
        Sleep(1);
    t.Terminate();
    EXPECT_EQ(t.IsRunning(), 0);
    uint32_t code = 1;
    ASSERT_EQ(t.GetExitCode(&code), 1);
    EXPECT_EQ(code, 0u);
}

TEST(Thread, WaitPumpingDispatchesMessagesMeanwhile)
{
    // A window on this thread receives a message sent from the worker while we wait for it.
    HWND window = MakePumpWindow();
    ASSERT_NE(window, nullptr);
    C_Thread t;
    ASSERT_EQ(
        t.Start(
            [](void* w, uintptr_t) -> uint32_t { return (uint32_t)SendMessageA((HWND)w, WM_USER + 1, 0, 0); },
            window, 0),
        1);
    // Without dispatching, the worker's SendMessage would never return.
    EXPECT_EQ(t.Wait(10000), 1);
    uint32_t code = 0;
    ASSERT_EQ(t.GetExitCode(&code), 1);
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(g_received.load(), 1);
    DestroyWindow(window);
}

namespace {
// A window on the thread that waits, a worker that keeps calling it synchronously, and a
// WM_QUIT arriving while the thread waits for the worker: the end of a program whose page
// worker is still busy.
struct QuitScene {
    HWND window = nullptr;
    C_Thread worker;
    std::atomic<int> stop{0};
    std::atomic<int> calls{0};
    int waitResult = -1;
    int quitLeft = 0;
    WPARAM quitCode = 0;
    int secondWait = -1;
};

uint32_t KeepCalling(void* data, uintptr_t)
{
    QuitScene* s = (QuitScene*)data;
    while (!s->stop.load()) {
        SendMessageA(s->window, WM_USER + 1, 0, 0);
        ++s->calls;
    }
    return 0;
}

void PumpFor(DWORD ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(1);
    }
}

DWORD WINAPI QuitWhileWorkerCalls(LPVOID data)
{
    QuitScene* s = (QuitScene*)data;
    s->window = MakePumpWindow();
    if (!s->window || !s->worker.Start(KeepCalling, s, 0))
        return 1;
    while (s->calls.load() < 3)
        PumpFor(5);
    PostQuitMessage(7);
    s->waitResult = s->worker.Wait(0);
    MSG msg;
    s->quitLeft = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? 1 : 0;
    s->quitCode = s->quitLeft ? msg.wParam : 0;
    // The worker's last call is served by the next wait, which then sees it end.
    s->stop = 1;
    s->secondWait = s->worker.Wait(0);
    DestroyWindow(s->window);
    return 0;
}
} // namespace

TEST(Thread, WaitPumpingEndsOnQuitWhileAWorkerKeepsCalling)
{
    // Kept alive past a hung scene: the worker still reads it.
    static QuitScene scene;
    HANDLE gui = CreateThread(nullptr, 0, QuitWhileWorkerCalls, &scene, 0, nullptr);
    ASSERT_NE(gui, nullptr);
    // A wait that blocks without dispatching never ends: give it a generous limit.
    const DWORD r = WaitForSingleObject(gui, 30000);
    if (r != WAIT_OBJECT_0) {
        scene.stop = 1;
        TerminateThread(gui, 2);
    }
    CloseHandle(gui);
    ASSERT_EQ(r, (DWORD)WAIT_OBJECT_0) << "the wait hung after WM_QUIT";
    EXPECT_EQ(scene.waitResult, 0);
    EXPECT_EQ(scene.quitLeft, 1);
    EXPECT_EQ(scene.quitCode, (WPARAM)7);
    EXPECT_EQ(scene.secondWait, 1);
    EXPECT_GE(scene.calls.load(), 3);
}

TEST(Thread, WaitPumpingDispatchesBeforeItLooksAndTakesASecondHandle)
{
    HWND window = MakePumpWindow();
    ASSERT_NE(window, nullptr);
    C_Event first, second;
    ASSERT_EQ(first.Create(1, 0), 1);
    ASSERT_EQ(second.Create(1, 0), 1);
    // A message waits in the queue and the handle is already signalled: the message is
    // still dispatched before the wait returns.
    const int before = g_received.load();
    PostMessageA(window, WM_USER + 1, 0, 0);
    ASSERT_EQ(first.Set(), 1);
    EXPECT_EQ(WaitPumping(first.GetHandle(), 5000), 1);
    EXPECT_EQ(g_received.load(), before + 1);
    // The second handle alone ends the wait.
    ASSERT_EQ(first.Reset(), 1);
    ASSERT_EQ(second.Set(), 1);
    EXPECT_EQ(WaitPumping(first.GetHandle(), 0, second.GetHandle()), 1);
    // Neither signalled: the time runs out.
    ASSERT_EQ(second.Reset(), 1);
    EXPECT_EQ(WaitPumping(first.GetHandle(), 30, second.GetHandle()), 0);
    // A quit already waiting ends the wait at once and stays for the caller.
    PostQuitMessage(3);
    EXPECT_EQ(WaitPumping(first.GetHandle(), 0), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, (WPARAM)3);
    DestroyWindow(window);
}

TEST(Event, AlertableWaitSurvivesApcs)
{
    C_Event e;
    ASSERT_EQ(e.Create(0, 0), 1);
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    ApcContext ctx = {self, e.GetHandle()};
    HANDLE helper = CreateThread(nullptr, 0, QueueApcThenSignal, &ctx, 0, nullptr);
    EXPECT_EQ(e.Wait(5000), 1);
    EXPECT_EQ(g_apcs.load(), 1);
    WaitForSingleObject(helper, INFINITE);
    CloseHandle(helper);
    CloseHandle(self);
    EXPECT_EQ(e.Wait(20), 0); // auto-reset: consumed
    C_Event borrowed;
    borrowed.Attach(e.GetHandle(), 0);
    borrowed.Close(); // not owned: the handle stays valid
    EXPECT_EQ(e.Set(), 1);
}

TEST(Timer, MillisecondStepsAndShortRuns)
{
    C_Timer t;
    EXPECT_EQ(t.GetMicroseconds(), 0u);
    t.Start();
    Sleep(60);
    uint32_t ms = t.Stop();
    EXPECT_GE(ms, 55u);
    EXPECT_EQ(t.GetMilliseconds(), ms);
    EXPECT_EQ(t.GetMicroseconds(), (uint64_t)ms * 1000);
    // Back-to-back readings mostly fall in one tick: elapsed 0.
    int zero = 0;
    for (int i = 0; i < 50; ++i) {
        t.Start();
        t.Stop();
        zero += t.GetMicroseconds() == 0;
        EXPECT_EQ(t.GetMicroseconds() % 1000, 0u);
    }
    EXPECT_GT(zero, 25);
    // Successive clock readings move in steps of one millisecond, not of a coarse tick
    // (a loaded machine may preempt us between readings, so look for the fine steps only).
    uint32_t last = C_Timer::Now(), oneMs = 0;
    DWORD until = GetTickCount() + 300;
    while (GetTickCount() < until) {
        uint32_t now = C_Timer::Now();
        if (now != last) {
            oneMs += (now - last) == 1;
            last = now;
        }
    }
    EXPECT_GE(oneMs, 10u);
}

TEST(Timer, ClockWrapIsOneSmallStep)
{
    EXPECT_EQ(ClockDifference(0xFFFFFFF0u, 0x10u), 0x20u);
    EXPECT_EQ(ClockDifference(100, 250), 150u);
}
