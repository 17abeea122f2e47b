// The capacity check's figures on a device of known speed, natively: an ext4 volume on a loop
// device that the blkio cgroup throttles, with this test process in the cgroup while the check
// runs. Skipped, saying why, where there is no blkio cgroup or no loop device.
#include <gtest/gtest.h>
#include "core/engines/CheckEngine.h"
#include "core/engines/EngineTable.h"
#include "tests/common/ThrottledVolume.h"

namespace {
const uint64_t kMiB = 1 << 20;
} // namespace

TEST(CheckEngineSpeed, WriteAndReadFiguresMatchTheThrottle)
{
    // The throttle lets about a tenth of a second's worth through at once before it holds the rate,
    // so each pass lasts three seconds or more to keep that within a few percent.
    const double readRate = 20.0 * kMiB, writeRate = 16.0 * kMiB;
    C_Throttle throttle;
    throttle.readBytesPerSecond = uint64_t(readRate);
    throttle.writeBytesPerSecond = uint64_t(writeRate);
    ThrottledVolume volume{throttle};
    if (!volume.Ready())
        GTEST_SKIP() << volume.Why();
    C_CheckOutcome outcome;
    C_EngineJob job;
    job.kind = kEngineCheck;
    job.path = volume.Path();
    job.size = 64 * kMiB;
    job.blockSize = 1 << 20;
    job.check = &outcome;
    I_EngineEvents events;
    const C_EngineResult result = RunEngine(job, events);
    ASSERT_TRUE(result.complete) << result.failure.op << " " << result.failure.error;
    EXPECT_EQ(outcome.tally.intactBytes, 64 * kMiB);
    const C_PassRates written = SummarisePass(outcome.writeChunks);
    const C_PassRates readBack = SummarisePass(outcome.readChunks);
    EXPECT_NEAR(written.mean, writeRate, writeRate * 0.05) << written.mean / kMiB << " MiB/s written";
    EXPECT_NEAR(readBack.mean, readRate, readRate * 0.05) << readBack.mean / kMiB << " MiB/s read";
}
