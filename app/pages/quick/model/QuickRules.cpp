#include "app/pages/quick/model/QuickRules.h"
#include "core/Text.h"

uint64_t QuickFileSizeBytes(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    const uint64_t limit = UINT64_MAX >> 20;
    uint64_t mib = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        const uint64_t digit = (uint64_t)(text[i] - '0');
        if (mib > (limit - digit) / 10)
            return 0;
        mib = mib * 10 + digit;
    }
    return digits ? mib << 20 : 0;
}

std::string FormatLatencyTip(const C_LatencyPercentiles& latency)
{
    if (!latency.count)
        return std::string();
    // Milliseconds, as the result's own mean access time.
    return StringPrintf("Latency p50 %.2f ms, p90 %.2f ms, p99 %.2f ms, p99.9 %.2f ms, max %.2f ms",
                        latency.p50 / 1e6, latency.p90 / 1e6, latency.p99 / 1e6, latency.p999 / 1e6,
                        latency.maximum / 1e6);
}

C_QuickRunPlan MakeQuickRunPlan(const std::string& sizeText, int block64k, int skipRandom,
                                const std::vector<C_DriveEntry>& entries, const std::vector<int>& chosen)
{
    C_QuickRunPlan plan;
    plan.fileSize = QuickFileSizeBytes(sizeText);
    plan.blockSize = block64k ? 0x10000u : 0x100000u;
    plan.skipRandom = skipRandom ? 1 : 0;
    for (int index : chosen)
        if (index >= 0 && (size_t)index < entries.size())
            plan.drives.push_back(C_QuickPlannedDrive{entries[(size_t)index], -1});
    return plan;
}

std::string FormatDriveLogLine(const std::string& driveText, const std::string& seqRead,
                               const std::string& randomRead, const std::string& seqWrite,
                               const std::string& randomWrite)
{
    return driveText + "\tread:\t" + seqRead + "\t" + randomRead + "\twrite:\t" + seqWrite + "\t" +
           randomWrite + "\r\n";
}

uint32_t RandomProgress(uint32_t seconds)
{
    const uint32_t position = seconds * 100 / 6;
    return position > 100 ? 100 : position;
}

std::string LiveSequentialText(uint64_t bytesDone, uint64_t elapsedMicroseconds)
{
    if (elapsedMicroseconds <= 10)
        return std::string();
    return FormatRate((float)((double)bytesDone * 1000.0 * 1000.0 / (double)elapsedMicroseconds));
}

std::string LiveRandomText(uint32_t accesses, uint64_t elapsedMicroseconds)
{
    if (!accesses || !elapsedMicroseconds)
        return "...";
    return FormatRate((float)((double)accesses * 4096.0 * 1000.0 * 1000.0 / (double)elapsedMicroseconds)) +
           " ";
}
