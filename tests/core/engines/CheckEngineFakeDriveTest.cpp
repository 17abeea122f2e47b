// The capacity check on drives that lie, natively: a FUSE file system that claims more space than
// it keeps (fake_capacity_fs.py beside this file), mounted for each case. Skipped, saying why,
// where the kernel or the machine offers no FUSE.
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include "core/ErrorCodes.h"
#include "core/engines/CheckEngine.h"
#include "core/engines/EngineTable.h"
#include "tests/common/FakeDrive.h"
#include "tests/common/TestFolder.h"

namespace {
const uint64_t kMiB = 1 << 20;

struct CheckRun {
    C_CheckOutcome outcome;
    C_EngineResult result;
    explicit CheckRun(const FakeDrive& drive)
    {
        C_EngineJob job;
        job.kind = kEngineCheck;
        job.path = drive.Path();
        job.blockSize = 1 << 20;
        job.check = &outcome;
        I_EngineEvents events;
        result = RunEngine(job, events);
        // Whatever the drive did, nothing of the check stays on it.
        EXPECT_FALSE(std::filesystem::exists(drive.Path() + "/QuellmorCheck"));
    }
};
} // namespace

TEST(CheckEngineFakeDrive, AddressesThatWrapShowAsMovedDataAndOnlyTheRealSizeIntact)
{
    FakeDrive drive("wrap", 256 * kMiB, 64 * kMiB);
    MOUNT_OR_SKIP(drive);
    CheckRun run(drive);
    EXPECT_TRUE(run.result.complete);
    EXPECT_EQ(run.result.failure.op, kOpNone);
    const C_CheckTally& tally = run.outcome.tally;
    ASSERT_GT(run.outcome.plan.totalBytes, 200 * kMiB);
    EXPECT_EQ(tally.checkedBytes, run.outcome.plan.totalBytes);
    EXPECT_NEAR(double(tally.intactBytes), double(64 * kMiB), double(run.outcome.plan.chunkBytes));
    EXPECT_EQ(tally.movedBytes, tally.checkedBytes - tally.intactBytes);
    EXPECT_EQ(tally.lostBytes, 0u);
    EXPECT_EQ(tally.changedBytes, 0u);
    // The last lap holds the intact data: the start of the fill was overwritten.
    EXPECT_EQ(tally.firstBad, 0u);
}

TEST(CheckEngineFakeDrive, WritesPastTheRealSizeThatVanishShowAsLostData)
{
    FakeDrive drive("drop", 256 * kMiB, 64 * kMiB);
    MOUNT_OR_SKIP(drive);
    CheckRun run(drive);
    EXPECT_TRUE(run.result.complete);
    const C_CheckTally& tally = run.outcome.tally;
    EXPECT_NEAR(double(tally.intactBytes), double(64 * kMiB), double(run.outcome.plan.chunkBytes));
    EXPECT_EQ(tally.lostBytes, tally.checkedBytes - tally.intactBytes);
    EXPECT_EQ(tally.movedBytes, 0u);
    EXPECT_EQ(tally.firstBad, 64 * kMiB);
    EXPECT_EQ(TrustedCapacity(tally, run.outcome.plan.chunkBytes), 64 * kMiB);
}

TEST(CheckEngineFakeDrive, OneFlippedBitIsOneChangedSectorAtItsPlace)
{
    const uint64_t flip = 37 * kMiB + 5000;
    FakeDrive drive("flip", 96 * kMiB, 96 * kMiB, flip);
    MOUNT_OR_SKIP(drive);
    CheckRun run(drive);
    EXPECT_TRUE(run.result.complete);
    const C_CheckTally& tally = run.outcome.tally;
    EXPECT_EQ(tally.changedBytes, 512u);
    EXPECT_EQ(tally.intactBytes, tally.checkedBytes - 512);
    EXPECT_EQ(tally.firstBad, flip / 512 * 512);
    EXPECT_EQ(tally.movedBytes + tally.lostBytes, 0u);
}

TEST(CheckEngineFakeDrive, AFullDiskBeforeThePlannedEndIsVerifiedNotFailed)
{
    FakeDrive drive("full", 128 * kMiB, 48 * kMiB);
    MOUNT_OR_SKIP(drive);
    CheckRun run(drive);
    EXPECT_TRUE(run.result.complete);
    EXPECT_EQ(run.result.failure.op, kOpNone);
    EXPECT_TRUE(run.outcome.diskFull);
    EXPECT_EQ(run.outcome.writtenBytes, 48 * kMiB);
    EXPECT_EQ(run.outcome.tally.checkedBytes, 48 * kMiB);
    EXPECT_EQ(run.outcome.tally.intactBytes, 48 * kMiB);
    uint64_t chunkBytes = 0;
    for (const C_ChunkTime& chunk : run.outcome.writeChunks)
        chunkBytes += chunk.bytes;
    EXPECT_EQ(chunkBytes, 48 * kMiB);
}

TEST(CheckEngineFakeDrive, AVolumeThatTakesNothingFailsAsFull)
{
    FakeDrive drive("full", 64 * kMiB, 0);
    MOUNT_OR_SKIP(drive);
    CheckRun run(drive);
    EXPECT_FALSE(run.result.complete);
    EXPECT_EQ(run.result.failure.op, kOpFreeSpace);
    EXPECT_EQ(run.result.failure.error, kErrorDiskFull);
    EXPECT_TRUE(run.outcome.diskFull);
    EXPECT_FALSE(run.outcome.reading);
}
