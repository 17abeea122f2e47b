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
#include "tests/common/TestFolder.h"

namespace {
const uint64_t kMiB = 1 << 20;

// One mounted fake drive for the life of the object.
class FakeDrive {
public:
    FakeDrive(const char* mode, uint64_t claim, uint64_t real, int64_t flip = -1)
    {
        if (geteuid() != 0) {
            m_why = "mounting FUSE here needs root";
            return;
        }
        if (access("/dev/fuse", R_OK | W_OK) != 0) {
            m_why = "the kernel offers no /dev/fuse";
            return;
        }
        if (std::system("/usr/bin/python3 -c 'import fusepy' 2>/dev/null") != 0) {
            m_why = "python3-fusepy is not installed (tools/install-deps.sh)";
            return;
        }
        struct statvfs before;
        statvfs(m_mount.Path().c_str(), &before);
        const std::string command = std::string("/usr/bin/python3 ") + QM_FAKE_FS_SCRIPT + " " +
                                    m_mount.Path() + " " + mode + " " + std::to_string(claim) + " " +
                                    std::to_string(real) + " " + std::to_string(flip);
        struct statvfs after;
        if (std::system(command.c_str()) != 0 || statvfs(m_mount.Path().c_str(), &after) != 0 ||
            after.f_fsid == before.f_fsid) {
            m_why = "the FUSE file system could not be mounted: " + command;
            return;
        }
        m_mounted = true;
    }
    ~FakeDrive()
    {
        if (m_mounted)
            std::system(("umount " + m_mount.Path()).c_str());
    }
    bool Mounted() const { return m_mounted; }
    const std::string& Why() const { return m_why; }
    const std::string& Path() const { return m_mount.Path(); }

private:
    TestFolder m_mount{"fakedrive"};
    bool m_mounted = false;
    std::string m_why;
};

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

#define MOUNT_OR_SKIP(drive)                                                                                 \
    if (!(drive).Mounted())                                                                                  \
    GTEST_SKIP() << (drive).Why()

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
