#include "core/RandomAccessPass.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/SequentialPass.h"
#include "core/SpeedMath.h"
#include "core/System.h"
#include "core/Timer.h"

// Everything the access threads share during one pass.
struct C_AccessRun {
    int write = 0;
    void* buffer = nullptr;
    uint64_t fileSize = 0;
    C_File file;
    C_Event start;                         // manual reset: releases every thread at once
    C_Event ready[C_AccessTest::kThreads]; // auto reset: "parked" and "finished"
    std::atomic<uint32_t> stop{0};
    std::atomic<uint32_t> status{1};
    std::atomic<uint32_t>* accessCount = nullptr;
    std::atomic<uint32_t>* failureCode = nullptr;

    void Fail(uint32_t error)
    {
        status.store(0);
        uint32_t none = 0;
        failureCode->compare_exchange_strong(none, error ? error : kErrorInvalidFunction);
    }
};

// How often the coordinator looks at the stop request inside a one-second round, so that a
// stop takes effect well within a second.
static const uint32_t kStopPollMs = 50;

// Gives the file its full length and puts its last block on the medium before any timing, so
// that no timed write has to extend the file.
static int PrepareWriteFile(C_File& file, uint64_t size, const void* buffer)
{
    const uint64_t blocks = size / C_AccessTest::kBlockSize;
    if (blocks == 0) {
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    if (!file.Seek(kSeekBegin, (int64_t)size))
        return 0;
    file.SetEnd(); // a refusal shows in the write of the last block below
    if (!file.Seek(kSeekBegin, (int64_t)((blocks - 1) * C_AccessTest::kBlockSize)))
        return 0;
    return file.Write(C_AccessTest::kBlockSize, buffer) && file.Flush();
}

int C_AccessTest::StartAccessThread(C_Thread& thread, C_AccessRun* run, uint32_t index)
{
    return thread.Start(&C_AccessTest::AccessThread, run, index);
}

uint32_t C_AccessTest::AccessThread(void* userData, uintptr_t argument)
{
    C_AccessRun& run = *(C_AccessRun*)userData;
    const uint32_t index = (uint32_t)argument;
    // Distinct seeds, so the threads do not walk the same positions in step.
    Rand15Seed(GetCalendarSeconds() + index);
    run.ready[index].Set();
    if (!run.start.Wait(0)) {
        run.Fail(GetLastErrorCode());
        run.ready[index].Set();
        return 0;
    }
    while (!run.stop.load()) {
        const uint64_t position = RandomAccessPosition(run.fileSize, Rand15());
        const int ok = run.write ? run.file.WriteAt(position, kBlockSize, run.buffer)
                                 : run.file.ReadAt(position, kBlockSize, run.buffer);
        if (!ok) {
            run.Fail(GetLastErrorCode());
            break;
        }
        // An access that ends after the measuring time does not belong to it.
        if (run.stop.load())
            break;
        AtomicIncrement(*run.accessCount);
    }
    run.ready[index].Set();
    return 0;
}

void C_AccessTest::Join(C_AccessRun& run, uint32_t started)
{
    // Threads still parked on the start event must see the stop flag once released.
    run.stop.store(1);
    if (started)
        run.start.Set();
    for (uint32_t i = 0; i < started; ++i)
        m_threads[i].Wait(0);
}

int C_AccessTest::Run(const C_AccessPassArgs& args, C_PassChannel& channel, std::string& resultText)
{
    resultText.clear();
    m_accessCount.store(0);
    m_failureCode.store(0);
    m_measuring.store(0);

    C_AccessRun run;
    run.write = args.direction == 1;
    run.buffer = args.buffer;
    run.fileSize = args.fileSize;
    run.accessCount = &m_accessCount;
    run.failureCode = &m_failureCode;

    uint32_t started = 0;
    if (!run.start.Create(1, 0)) {
        run.Fail(GetLastErrorCode());
    } else if (!run.file.Open(args.path, run.write ? kOpenWriteCreate : kOpenRead, kOpenNoBuffering,
                              kShareReadWrite)) {
        run.Fail(GetLastErrorCode());
    } else if (run.write && !PrepareWriteFile(run.file, args.fileSize, args.buffer)) {
        run.Fail(GetLastErrorCode());
    } else {
        for (; started < kThreads; ++started) {
            if (!run.ready[started].Create(0, 0) || !StartAccessThread(m_threads[started], &run, started)) {
                // Without all 32 threads the figure would not be a QD32 one; the started ones
                // are released and joined below.
                run.Fail(GetLastErrorCode());
                break;
            }
        }
    }

    if (started == kThreads) {
        for (uint32_t i = 0; i < kThreads; ++i)
            run.ready[i].Wait(0);

        C_Timer timer;
        timer.Start();
        m_startClock.store(C_Timer::Now());
        m_measuring.store(1);
        run.start.Set();
        int stopped = 0;
        for (uint32_t round = 0; round < kRounds && !stopped; ++round) {
            const uint64_t roundEnd = (uint64_t)(round + 1) * kRoundMs;
            for (;;) {
                if (channel.IsStopRequested()) {
                    stopped = 1;
                    break;
                }
                const uint64_t now = timer.Peek();
                if (now >= roundEnd)
                    break;
                SleepMs((uint32_t)(roundEnd - now < kStopPollMs ? roundEnd - now : kStopPollMs));
            }
            if (!stopped)
                m_seconds.fetch_add(1);
        }
        run.stop.store(1);
        timer.Stop();
        m_measuring.store(0);
        const uint32_t count = m_accessCount.load();
        if (stopped || channel.IsStopRequested())
            run.status.store(0);
        else if (count)
            resultText = FormatAccessResult(count, timer.GetMicroseconds());
    }

    Join(run, started);
    run.file.Close();
    if (!run.write)
        DeleteFileForce(args.path);
    return (int)run.status.load();
}

uint64_t C_AccessTest::GetElapsedMicroseconds() const
{
    if (!m_measuring.load())
        return 0;
    return ClockDifference(m_startClock.load(), C_Timer::Now()) * 1000;
}
