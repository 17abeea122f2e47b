// The capacity check's figures on a device of known speed, natively: an ext4 volume on a loop
// device that the blkio cgroup throttles, with this test process in the cgroup while the check
// runs. Skipped, saying why, where there is no blkio cgroup or no loop device.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include "core/engines/CheckEngine.h"
#include "core/engines/EngineTable.h"
#include "tests/core/TestFolder.h"

namespace {
const uint64_t kMiB = 1 << 20;
const char kBlkio[] = "/sys/fs/cgroup/blkio";

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path);
    out << text << "\n";
    out.flush();
    return (bool)out;
}

std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (fgets(line, sizeof line, pipe))
            text += line;
        pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A mounted ext4 volume on a loop device, and this process in a cgroup that throttles it, for the
// life of the object.
class ThrottledVolume {
public:
    ThrottledVolume(uint64_t readBytesPerSecond, uint64_t writeBytesPerSecond)
    {
        struct stat st;
        if (geteuid() != 0) {
            m_why = "loop devices and cgroups need root";
            return;
        }
        if (stat(kBlkio, &st) != 0) {
            m_why = "this kernel has no blkio cgroup at /sys/fs/cgroup/blkio";
            return;
        }
        const std::string image = m_folder.File("volume.img");
        m_mount = m_folder.File("mnt");
        m_loop = Output("truncate -s 160M " + image + " && losetup -f --show " + image + " 2>/dev/null");
        if (m_loop.empty() || stat(m_loop.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) {
            m_why = "no loop device could be set up";
            m_loop.clear();
            return;
        }
        if (std::system(("mkfs.ext4 -q -F " + m_loop + " && mkdir -p " + m_mount + " && mount " + m_loop +
                         " " + m_mount)
                            .c_str()) != 0) {
            m_why = "the loop device took no ext4 volume";
            return;
        }
        m_mounted = true;
        const std::string device =
            std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev));
        m_cgroup = std::string(kBlkio) + "/qm_check_" + std::to_string(getpid());
        if (mkdir(m_cgroup.c_str(), 0755) != 0 ||
            !WriteText(m_cgroup + "/blkio.throttle.read_bps_device",
                       device + " " + std::to_string(readBytesPerSecond)) ||
            !WriteText(m_cgroup + "/blkio.throttle.write_bps_device",
                       device + " " + std::to_string(writeBytesPerSecond)) ||
            !WriteText(m_cgroup + "/cgroup.procs", std::to_string(getpid()))) {
            m_why = "the blkio cgroup takes no throttle here";
            return;
        }
        m_inside = true;
    }
    ~ThrottledVolume()
    {
        if (m_inside)
            WriteText(std::string(kBlkio) + "/cgroup.procs", std::to_string(getpid()));
        if (!m_cgroup.empty())
            rmdir(m_cgroup.c_str());
        if (m_mounted)
            std::system(("umount " + m_mount).c_str());
        if (!m_loop.empty())
            std::system(("losetup -d " + m_loop).c_str());
    }
    bool Ready() const { return m_inside; }
    const std::string& Why() const { return m_why; }
    const std::string& Path() const { return m_mount; }

private:
    TestFolder m_folder{"throttled"};
    std::string m_mount, m_loop, m_cgroup, m_why;
    bool m_mounted = false, m_inside = false;
};
} // namespace

TEST(CheckEngineSpeed, WriteAndReadFiguresMatchTheThrottle)
{
    // The throttle lets about a tenth of a second's worth through at once before it holds the rate,
    // so each pass lasts three seconds or more to keep that within a few percent.
    const double readRate = 20.0 * kMiB, writeRate = 16.0 * kMiB;
    ThrottledVolume volume{uint64_t(readRate), uint64_t(writeRate)};
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
