#include "core/SequentialPass.h"
#include "core/File.h"
#include "core/System.h"
#include "core/Timer.h"

static void ReportFailure(const C_SeqPassArgs& args, C_PassChannel& channel, SeqMessage id, uint64_t position)
{
    C_SeqMessageArgs m;
    m.path = args.path;
    m.error = GetLastErrorCode();
    const std::string errorText = ErrorText(m.error);
    m.errorText = errorText.c_str();
    m.blockSize = args.blockSize;
    m.position = position;
    m.fileSize = args.fileSize;
    channel.Report(FormatSeqMessage(args.style, id, m));
}

int RunSequentialPass(const C_SeqPassArgs& args, std::atomic<uint64_t>& bytesDone, C_PassChannel& channel,
                      C_SeqPassResult& result, C_Timer* callerTimer)
{
    C_Timer localTimer;
    C_Timer& timer = callerTimer ? *callerTimer : localTimer;
    const bool write = args.direction == 1;
    result.mibPerSecond = 0;
    result.bytesPerSecond = 0;
    result.text.clear();

    C_File file;
    int complete = 0;
    if (!file.Open(args.path, write ? kOpenWriteCreate : kOpenRead, kOpenNoBuffering | kOpenSequentialScan,
                   kShareReadWrite)) {
        ReportFailure(args, channel, kSeqOpenFailed, 0);
        return 0;
    }
    if (write) {
        // Size the file first, so block writes never have to extend it.
        if (!file.Seek(kSeekBegin, (int64_t)args.fileSize)) {
            ReportFailure(args, channel, kSeqSeekEndFailed, 0);
            return 0;
        }
        if (!file.SetEnd())
            ReportFailure(args, channel, kSeqSetEndFailed, 0);
        if (!file.Seek(kSeekBegin, 0)) {
            ReportFailure(args, channel, kSeqSeekStartFailed, 0);
            return 0;
        }
    }

    const uint64_t block = args.blockSize;
    const uint64_t size = args.fileSize;
    uint64_t done = 0;
    bytesDone.store(0);
    timer.Start();
    for (;;) {
        if (!(write ? file.Write(args.blockSize, args.buffer) : file.Read(args.blockSize, args.buffer))) {
            ReportFailure(args, channel, write ? kSeqWriteFailed : kSeqReadFailed, done);
            break;
        }
        done += block;
        bytesDone.store(done, std::memory_order_relaxed);
        if (done + block > size) {
            complete = 1;
            break;
        }
        if (args.checkStop && channel.IsStopRequested())
            break;
    }
    if (write && complete && !file.Flush()) {
        channel.Report(FormatSeqMessage(args.style, kSeqFlushFailed, C_SeqMessageArgs()));
        complete = 0;
    }
    file.Close();
    if (!complete)
        return 0;

    timer.Stop();
    // The rate comes from the bytes actually moved: a file size that is not a whole number of
    // blocks is not covered completely.
    C_RateResult rate = ComputeRate(done, timer.GetMicroseconds());
    result.text = rate.text;
    if (!rate.tooFast) {
        result.bytesPerSecond = rate.bytesPerSecond;
        result.mibPerSecond = rate.mibPerSecond;
        if (args.usbSpeedClass >= 0)
            AppendUsbHint(result.hint, args.usbSpeedClass, args.direction, rate.bytesPerSecond);
    }
    return 1;
}
