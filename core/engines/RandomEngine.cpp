#include "core/engines/RandomEngine.h"
#include <atomic>
#include <memory>
#include "core/ErrorCodes.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/PassPosition.h"
#include "core/System.h"
#include "core/Timer.h"
#include "core/engines/LatencyHistogram.h"

namespace {
const uint32_t kAccessBytes = 4096;
// How often the coordinating thread looks at the stop request (and hands the display a rate
// point) inside a round, so that a stop takes effect well within a second.
const uint32_t kStopPollMs = 50;

#ifdef QM_TEST_HOOKS
C_AccessThreadStartHook g_startHook = nullptr;
void* g_startContext = nullptr;
#endif

// Everything the access threads share during one run. It outlives every thread: the threads
// are joined before it goes.
struct C_RandomRun {
    explicit C_RandomRun(const C_EngineJob& job)
        : write(job.write), buffer(job.buffer), size(job.size), ready(new C_Event[job.threads]),
          threads(new C_Thread[job.threads]),
          latencies(job.latency ? new C_LatencyHistogram[job.threads] : nullptr)
    {
    }

    const int write;
    void* const buffer;
    const uint64_t size;
    C_File file;
    C_Event start;                    // manual reset: releases every thread at once
    std::unique_ptr<C_Event[]> ready; // auto reset: "parked" and "finished"
    std::unique_ptr<C_Thread[]> threads;
    // One per thread, made here before any timing: a histogram is too large for a thread's
    // stack, and the timed loop must not allocate. Null when the accesses go untimed.
    std::unique_ptr<C_LatencyHistogram[]> latencies;
    std::atomic<uint32_t> stop{0};
    std::atomic<uint32_t> accesses{0};
    std::atomic<uint32_t> left{0}; // threads that have left their access loop for good
    std::atomic<uint32_t> failed{0};
    C_EngineFailure failure; // written once, by whoever set failed first; read after the joins

    void Fail(EngineOp op, uint64_t position, uint32_t error)
    {
        uint32_t none = 0;
        if (!failed.compare_exchange_strong(none, 1))
            return;
        failure.op = op;
        failure.position = position;
        failure.error = error ? error : kErrorInvalidFunction;
    }
};

uint32_t AccessThread(void* userData, uintptr_t argument)
{
    C_RandomRun& run = *(C_RandomRun*)userData;
    const uint32_t index = (uint32_t)argument;
    // Distinct seeds, so the threads do not walk the same positions in step.
    Rand15Seed(GetCalendarSeconds() + index);
    run.ready[index].Set();
    if (!run.start.Wait(0)) {
        run.Fail(kOpStartThread, 0, GetLastErrorCode());
        AtomicIncrement(run.left);
        run.ready[index].Set();
        return 0;
    }
    C_LatencyHistogram* const latency = run.latencies ? &run.latencies[index] : nullptr;
    while (!run.stop.load()) {
        const uint64_t position = RandomAccessPosition(run.size, Rand15());
        const uint64_t begin = latency ? FineClockNanoseconds() : 0;
        const int ok = run.write ? run.file.WriteAt(position, kAccessBytes, run.buffer)
                                 : run.file.ReadAt(position, kAccessBytes, run.buffer);
        if (!ok) {
            run.Fail(run.write ? kOpWrite : kOpRead, position, GetLastErrorCode());
            break;
        }
        // An access that ends after the measuring time does not belong to it.
        if (run.stop.load())
            break;
        if (latency)
            latency->Add(FineClockNanoseconds() - begin);
        AtomicIncrement(run.accesses);
    }
    AtomicIncrement(run.left);
    run.ready[index].Set();
    return 0;
}

int StartAccessThread(C_RandomRun& run, uint32_t index)
{
#ifdef QM_TEST_HOOKS
    if (g_startHook)
        return g_startHook(run.threads[index], &AccessThread, &run, index, g_startContext);
#endif
    return run.threads[index].Start(&AccessThread, &run, index);
}

// Gives the file its full length and puts its last block on the medium before any timing, so
// that no timed write has to extend the file.
int PrepareWriteFile(C_RandomRun& run)
{
    const uint64_t blocks = run.size / kAccessBytes;
    if (blocks == 0) {
        run.Fail(kOpSeekEnd, run.size, kErrorInvalidParameter);
        return 0;
    }
    if (!run.file.Seek(kSeekBegin, (int64_t)run.size)) {
        run.Fail(kOpSeekEnd, run.size, GetLastErrorCode());
        return 0;
    }
    run.file.SetEnd(); // a refusal shows in the write of the last block below
    const uint64_t last = (blocks - 1) * kAccessBytes;
    if (!run.file.Seek(kSeekBegin, (int64_t)last)) {
        run.Fail(kOpSeekEnd, last, GetLastErrorCode());
        return 0;
    }
    if (!run.file.Write(kAccessBytes, run.buffer)) {
        run.Fail(kOpWrite, last, GetLastErrorCode());
        return 0;
    }
    if (!run.file.Flush()) {
        run.Fail(kOpFlush, last, GetLastErrorCode());
        return 0;
    }
    return 1;
}

// Opens (and for a write prepares) the file and starts the threads, which park until the
// timing starts. Returns how many started; all of them unless something failed.
uint32_t StartRun(C_RandomRun& run, const C_EngineJob& job)
{
    if (!job.threads) {
        run.Fail(kOpStartThread, 0, kErrorInvalidParameter);
        return 0;
    }
    if (!run.start.Create(1, 0)) {
        run.Fail(kOpStartThread, 0, GetLastErrorCode());
        return 0;
    }
    const int mode = !job.write ? kOpenRead : job.keepFile ? kOpenWriteExisting : kOpenWriteCreate;
    if (!run.file.Open(job.path.c_str(), mode, kOpenNoBuffering, kShareReadWrite)) {
        run.Fail(kOpOpen, 0, GetLastErrorCode());
        return 0;
    }
    if (job.write && !PrepareWriteFile(run))
        return 0;
    uint32_t started = 0;
    for (; started < job.threads; ++started) {
        if (!run.ready[started].Create(0, 0) || !StartAccessThread(run, started)) {
            // Without all threads the figure would not be one of this queue depth; the
            // started ones are released and joined by the caller.
            run.Fail(kOpStartThread, 0, GetLastErrorCode());
            break;
        }
    }
    return started;
}

// The timed rounds, with every thread parked and ready.
void Measure(C_RandomRun& run, const C_EngineJob& job, I_EngineEvents& events, C_EngineResult& result)
{
    for (uint32_t i = 0; i < job.threads; ++i)
        run.ready[i].Wait(0);

    events.Begin(job.rounds);
    C_Timer timer;
    timer.Start();
    run.start.Set();
    uint32_t rounds = 0;
    uint32_t shownAccesses = 0;
    uint64_t shownMs = 0;
    int stopped = 0;
    while (rounds < job.rounds && !stopped) {
        const uint64_t roundEnd = (uint64_t)(rounds + 1) * job.roundMs;
        for (;;) {
            if (events.IsStopRequested()) {
                stopped = 1;
                break;
            }
            const uint64_t now = timer.Peek();
            const uint32_t accesses = run.accesses.load(std::memory_order_relaxed);
            events.RatePoint(rounds, uint64_t(accesses - shownAccesses) * kAccessBytes,
                             (now - shownMs) * 1000);
            shownAccesses = accesses;
            shownMs = now;
            if (now >= roundEnd)
                break;
            SleepMs((uint32_t)(roundEnd - now < kStopPollMs ? roundEnd - now : kStopPollMs));
        }
        if (!stopped)
            events.Progress(++rounds);
    }
    run.stop.store(1);
    timer.Stop();
    // An access that passed its stop check before the flag was set ended in the measuring time,
    // but its thread may count it (and time it) only now: the count is read once every thread
    // has left its loop, so the result and the latencies hold the same accesses.
    while (run.left.load() < job.threads)
        SleepMs(1);
    const uint32_t accesses = run.accesses.load();
    result.accesses = accesses;
    result.bytes = uint64_t(accesses) * kAccessBytes;
    result.microseconds = timer.GetMicroseconds();
    // The rest since the last point, so the points add up to the result.
    events.RatePoint(rounds, uint64_t(accesses - shownAccesses) * kAccessBytes,
                     result.microseconds - shownMs * 1000);
    result.stopped = stopped || events.IsStopRequested();
}

void Join(C_RandomRun& run, uint32_t started)
{
    // Threads still parked on the start event must see the stop flag once released.
    run.stop.store(1);
    if (started)
        run.start.Set();
    for (uint32_t i = 0; i < started; ++i)
        run.threads[i].Wait(0);
}
} // namespace

C_EngineResult RunRandomEngine(const C_EngineJob& job, I_EngineEvents& events)
{
    C_EngineResult result;
    C_RandomRun run(job);
    const uint32_t started = StartRun(run, job);
    if (started == job.threads && !run.failed.load())
        Measure(run, job, events, result);
    Join(run, started);
    if (job.latency) {
        job.latency->Clear();
        for (uint32_t i = 0; i < started; ++i)
            job.latency->Merge(run.latencies[i]);
    }
    run.file.Close();
    if (!job.write)
        DeleteFileForce(job.path.c_str());
    if (run.failed.load()) {
        result.failure = run.failure;
        events.Failure(result.failure);
    }
    result.complete = !run.failed.load() && !result.stopped;
    FinishRates(result);
    return result;
}

#ifdef QM_TEST_HOOKS
void SetAccessThreadStartHook(C_AccessThreadStartHook hook, void* context)
{
    g_startHook = hook;
    g_startContext = context;
}
#endif
