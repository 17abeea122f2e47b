#include "core/engines/BlockEngine.h"
#include <cstring>
#include "core/AlignedBuffer.h"
#include "core/ErrorCodes.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/Timer.h"

int ReadBlocksRetryingCrc(I_BlockTarget& target, uint32_t blockSize, uint64_t position, uint32_t blocks,
                          uint8_t* buffer)
{
    if (target.ReadBlocks(position, blocks, buffer))
        return 1;
    if (GetLastErrorCode() != kErrorCrc)
        return 0;
    for (uint32_t i = 0; i < blocks; ++i) {
        uint8_t* at = buffer + uint64_t(i) * blockSize;
        if (target.ReadBlocks(position + i, 1, at))
            continue;
        const uint32_t error = GetLastErrorCode();
        if (error != kErrorCrc && error != kErrorIoDevice)
            return 0;
        memset(at, 0, blockSize);
    }
    return 1;
}

namespace {
// Owns the target's open for the length of the run.
class C_TargetOpen {
public:
    explicit C_TargetOpen(I_BlockTarget& t) : m_target(t), m_open(t.Open()) {}
    ~C_TargetOpen()
    {
        if (m_open)
            m_target.Close();
    }

private:
    I_BlockTarget& m_target;
    int m_open;
};

// Holds the device's volumes for the run's writes until the run ends, on every path.
class C_WriteHold {
public:
    explicit C_WriteHold(I_BlockTarget& t) : m_target(t) {}
    ~C_WriteHold()
    {
        if (m_held)
            m_target.EndWrites();
    }
    int Take(std::string* busy) { return m_held = m_target.BeginWrites(busy); }

private:
    I_BlockTarget& m_target;
    int m_held = 0;
};

} // namespace

C_EngineResult RunBlockEngine(const C_EngineJob& job, I_EngineEvents& events)
{
    C_EngineResult result;
    auto fail = [&](EngineOp op, uint64_t position, uint32_t error,
                    const std::string& detail = "") -> C_EngineResult& {
        return EndRunWithFailure(result, events, op, position, error, detail);
    };
    Rand15Seed(C_Timer::Now());
    I_BlockTarget& target = *job.target;
    const C_BlockValues& v = job.values;
    const bool linear = job.pattern == kPatternLinear;
    const uint64_t loops = BlockLoopCount(job.pattern, v);

    // Refused before anything moves: a buffer of 4 GiB or more would wrap its 32-bit size.
    const uint32_t bytes = BufferBytes(v.blocks, job.blockSize);
    if (bytes == 0)
        return fail(kOpBufferSize, 0, 0);
    if (!RangeAddressable(v, job.blockSize))
        return fail(kOpRange, v.end, 0);
    // The list may be older than what is plugged in now: a write goes only to the very
    // device the user chose, so it is asked again before anything is written.
    if (job.write && !target.IsSameDevice())
        return fail(kOpChanged, 0, 0);
    C_AlignedBuffer memory;
    if (!memory.Allocate(bytes))
        return fail(kOpAllocate, 0, kErrorNotEnoughMemory);
    uint8_t* buffer = static_cast<uint8_t*>(memory.Get());
    // A write without a data file writes this buffer: zeros, never leftovers of the process.
    memset(buffer, 0, bytes);

    // A linear run's data file: where a read's blocks are copied, or the one buffer every
    // write repeats.
    C_File data;
    const std::string& file = job.sourceFile;
    const bool withFile = linear && job.dataFile;
    const bool saving = withFile && !job.write;
    if (saving && !data.Open(file.c_str(), kOpenWriteCreate, kOpenSequentialScan, 0))
        return fail(kOpSinkOpen, 0, GetLastErrorCode(), file);
    if (withFile && job.write) {
        if (!data.Open(file.c_str(), kOpenRead, kOpenSequentialScan, kShareReadWrite))
            return fail(kOpSourceOpen, 0, GetLastErrorCode(), file);
        if (!data.Read(bytes, buffer))
            return fail(kOpSourceRead, 0, GetLastErrorCode(), file);
        data.Close();
    }

    C_TargetOpen open(target);
    // Taken once, outside the timed accesses, on handles the run holds to its end.
    C_WriteHold hold(target);
    std::string busy;
    if (job.write && !hold.Take(&busy))
        return fail(kOpVolumeInUse, 0, GetLastErrorCode(), busy);

    events.Begin(loops);
    C_Timer run, timer;
    run.Start();
    uint64_t position = v.start, count = 0;
    uint32_t group = 1;
    while (count < loops && !events.IsStopRequested()) {
        if (group == 1)
            timer.Start();
        const int ok =
            job.write ? target.WriteBlocks(position, uint32_t(v.blocks), buffer)
                      : ReadBlocksRetryingCrc(target, job.blockSize, position, uint32_t(v.blocks), buffer);
        if (!ok) {
            fail(job.write ? kOpWrite : kOpRead, position, GetLastErrorCode());
            break;
        }
        ++result.accesses;
        if (group == v.calcEvery) {
            timer.Stop();
            if (job.ratePoints)
                events.RatePoint(count + 1, uint64_t(bytes) * v.calcEvery, timer.GetMicroseconds());
            group = 1;
        } else {
            ++group;
        }
        if (saving && !data.Write(bytes, buffer)) {
            fail(kOpSinkWrite, position, GetLastErrorCode(), file);
            break;
        }
        if (linear && job.checkData)
            events.AccessData(buffer, bytes);
        position = NextBlockPosition(job.pattern, v, position, Rand15());
        events.Progress(++count);
    }
    run.Stop();
    result.stopped = result.failure.op == kOpNone && count < loops;
    result.complete = result.failure.op == kOpNone && count == loops;
    result.bytes = result.accesses * bytes;
    result.microseconds = run.GetMicroseconds();
    FinishRates(result);
    return result;
}
