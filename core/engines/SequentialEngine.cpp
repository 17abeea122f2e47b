#include "core/engines/SequentialEngine.h"
#include "core/File.h"
#include "core/System.h"
#include "core/Timer.h"

namespace {
// Records a failure with the system's error of the call that just failed.
void Fail(C_EngineResult& result, I_EngineEvents& events, EngineOp op, uint64_t position)
{
    C_EngineFailure failure;
    failure.op = op;
    failure.position = position;
    failure.error = GetLastErrorCode();
    events.Failure(failure);
    // A file end that could not be set leaves the run going: the writes extend the file.
    if (op != kOpSetEnd)
        result.failure = failure;
}

// Sizes a file that is about to be written, so its block writes never have to extend it.
int SizeFile(C_File& file, const C_EngineJob& job, C_EngineResult& result, I_EngineEvents& events)
{
    if (!file.Seek(kSeekBegin, (int64_t)job.size)) {
        Fail(result, events, kOpSeekEnd, 0);
        return 0;
    }
    if (!file.SetEnd())
        Fail(result, events, kOpSetEnd, 0);
    if (!file.Seek(kSeekBegin, 0)) {
        Fail(result, events, kOpSeekStart, 0);
        return 0;
    }
    return 1;
}
} // namespace

C_EngineResult RunSequentialEngine(const C_EngineJob& job, I_EngineEvents& events)
{
    C_EngineResult result;
    const bool write = job.write != 0;
    C_File file;
    if (!file.Open(job.path.c_str(), write ? kOpenWriteCreate : kOpenRead, job.openFlags, kShareReadWrite)) {
        Fail(result, events, kOpOpen, 0);
        return result;
    }
    if (write && job.sizeFirst && !SizeFile(file, job, result, events))
        return result;

    const uint32_t block = job.blockSize;
    I_DataSink* sink = write ? nullptr : job.sink;
    uint64_t done = 0;
    C_Timer timer;
    events.Begin(job.size);
    timer.Start();
    for (;;) {
        if (!(write ? file.Write(block, job.buffer) : file.Read(block, job.buffer))) {
            Fail(result, events, write ? kOpWrite : kOpRead, done);
            break;
        }
        if (sink && !sink->Take(job.buffer, block)) {
            Fail(result, events, kOpSinkWrite, done);
            break;
        }
        done += block;
        ++result.accesses;
        events.Progress(done);
        // At least one block, and never a partial one at the end.
        if (done + block > job.size) {
            result.complete = 1;
            break;
        }
        if (events.IsStopRequested()) {
            result.stopped = 1;
            break;
        }
    }
    if (write && result.complete && !file.Flush()) {
        Fail(result, events, kOpFlush, done);
        result.complete = 0;
    }
    file.Close();
    timer.Stop();
    result.bytes = done;
    result.microseconds = timer.GetMicroseconds();
    FinishRates(result);
    return result;
}
