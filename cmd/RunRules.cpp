#include "cmd/RunRules.h"
#include <cinttypes>
#include "core/Text.h"

C_RunPlan PlanConsoleRun(int64_t sizeMiB, int64_t blockKiB)
{
    C_RunPlan plan;
    if (sizeMiB == 0 || blockKiB == 0)
        return plan;
    if (sizeMiB < 0 || (uint64_t)sizeMiB > (UINT64_MAX >> 20)) {
        plan.exitCode = kExitBadValue;
        plan.error = StringPrintf("Invalid file size %" PRId64 " MB.\n", sizeMiB);
        return plan;
    }
    // One transfer's byte count is 32 bits; a larger block would silently wrap.
    if (blockKiB < 0 || (uint64_t)blockKiB > (UINT32_MAX >> 10)) {
        plan.exitCode = kExitBadValue;
        plan.error = StringPrintf("Invalid block size %" PRId64 " kB (at most %u kB).\n", blockKiB,
                                  (unsigned)(UINT32_MAX >> 10));
        return plan;
    }
    plan.runTest = 1;
    plan.fileSize = (uint64_t)sizeMiB << 20;
    plan.blockSize = (uint32_t)blockKiB << 10;
    return plan;
}

std::string FormatLogResults(const std::string& readText, uint32_t readMiB, const std::string& writeText,
                             uint32_t writeMiB)
{
    return StringPrintf("\tread:\t%s\t%u\twrite:\t%s\t%u%s", readText.c_str(), readMiB, writeText.c_str(),
                        writeMiB, "\r\n");
}
