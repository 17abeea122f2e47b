#include "core/SpeedMath.h"
#include <algorithm>
#include <cinttypes>
#include <vector>
#include "core/Text.h"
#include "core/engines/Engine.h"

C_RateResult ComputeRate(uint64_t bytes, uint64_t elapsedMicroseconds)
{
    C_RateResult r;
    if (elapsedMicroseconds <= 10) {
        r.tooFast = 1;
        r.text = "[too fast]";
        return r;
    }
    r.bytesPerSecond = (float)((double)bytes * 1000.0 * 1000.0 / (double)elapsedMicroseconds);
    r.mibPerSecond = (uint32_t)(r.bytesPerSecond / 1024.0f / 1024.0f);
    r.text = FormatRate(r.bytesPerSecond);
    return r;
}

void AppendUsbHint(std::string& hint, int speedClass, int direction, float bytesPerSecond)
{
    if (speedClass < kUsbHighSpeed || speedClass > kUsbSuperSpeed)
        return;
    const bool usb3 = speedClass >= kUsb3AtHighSpeed;
    const float threshold =
        direction == 1 ? (usb3 ? 52428800.0f : 15728640.0f) : (usb3 ? 62914560.0f : 20971520.0f);
    if (bytesPerSecond < threshold)
        hint = usb3 ? "This is pretty slow for an USB3 device." : "This is pretty slow for an USB2 device.";
    const char* extra = speedClass == kUsb3OnUsb2        ? "USB3 device on USB2 controller!"
                        : speedClass == kUsb3AtHighSpeed ? "USB3 device on USB3 controller in USB2 speed!"
                                                         : nullptr;
    if (extra) {
        if (!hint.empty())
            hint += " ";
        hint += extra;
    }
}

std::string FormatSeqMessage(MessageStyle style, SeqMessage id, const C_SeqMessageArgs& a)
{
    const bool gui = style == kStyleGui;
    const uint64_t mb = a.fileSize / 1024 / 1024;
    switch (id) {
    case kSeqOpenFailed:
        return gui ? StringPrintf("Can't open test file \xBB%s\xAB.\n\nError %u - %s", a.path, a.error,
                                  a.errorText)
                   : StringPrintf("Can't open test file %s.\nError %u - %s.\n", a.path, a.error, a.errorText);
    case kSeqSeekEndFailed:
        return StringPrintf(gui ? "Can't seek to new file end at %" PRIu64 " MBytes."
                                : "Can't seek to new file end at %" PRIu64 " MBytes.\n",
                            mb);
    case kSeqSetEndFailed:
        return StringPrintf(gui ? "Can't set new file end at %" PRIu64 " MBytes."
                                : "Can't set new file end at %" PRIu64 " MBytes.\n",
                            mb);
    case kSeqSeekStartFailed:
        return "Can't seek to file start.";
    case kSeqWriteFailed:
    case kSeqReadFailed: {
        const char* verb = id == kSeqWriteFailed ? "write" : "read";
        return gui ? StringPrintf(
                         "Can't %s full test file \xBB%s\xAB\n\nWin32Error: %u - %s - BlockSize: 0x%X - "
                         "FilePosition 0x%" PRIX64 " - FileSize 0x%" PRIX64,
                         verb, a.path, a.error, a.errorText, a.blockSize, a.position, a.fileSize)
                   : StringPrintf("Can't %s full test file %s\nWin32Error: %u - %s - BlockSize: 0x%X - "
                                  "FilePosition 0x%" PRIX64 " - FileSize 0x%" PRIX64 ".\n",
                                  verb, a.path, a.error, a.errorText, a.blockSize, a.position, a.fileSize);
    }
    case kSeqFlushFailed:
        return "Can't flush Filebuffers.\n";
    }
    return std::string();
}

uint64_t RandomAccessPosition(uint64_t fileSize, uint32_t r)
{
    const uint64_t blocks = fileSize / 4096;
    if (blocks == 0)
        return 0;
    return ((uint64_t)r * (blocks - 1)) / 32767 * 4096;
}

std::string FormatAccessResult(uint32_t accesses, uint64_t elapsedMicroseconds)
{
    if (accesses == 0 || elapsedMicroseconds == 0)
        return std::string();
    const float rate = (float)((double)accesses * 4096.0 * 1000.0 * 1000.0 / (double)elapsedMicroseconds);
    const double iops = (double)accesses * 1000.0 * 1000.0 / (double)elapsedMicroseconds;
    const double msPerAccess = ((double)elapsedMicroseconds / 1000.0) / (double)accesses;
    return FormatRate(rate) + StringPrintf(", %.1f IOPS, %.2f ms", iops, msPerAccess);
}

std::string FormatAccessResult(const C_EngineResult& result)
{
    if (result.stopped)
        return std::string();
    return FormatAccessResult((uint32_t)result.accesses, result.microseconds);
}

uint32_t ProgressPercent(uint64_t done, uint64_t total)
{
    const uint64_t step = total / 100;
    if (step == 0)
        return 0;
    const uint64_t percent = done / step;
    return percent > 100 ? 100 : (uint32_t)percent;
}

double MedianOf(const double* values, size_t count)
{
    if (!count)
        return 0;
    std::vector<double> part(values, values + count);
    const size_t mid = part.size() / 2;
    std::nth_element(part.begin(), part.begin() + mid, part.end());
    const double upper = part[mid];
    if (part.size() % 2)
        return upper;
    return (upper + *std::max_element(part.begin(), part.begin() + mid)) / 2;
}
