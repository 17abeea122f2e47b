// A device of known speed, natively: an ext4 volume on a loop device, and this process (with
// every process it starts from then on) in a blkio cgroup that throttles that device, for the
// life of the object. Needs root, loop devices and the blkio cgroup (v1); where one is missing
// the object says why and the test skips.
#pragma once
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include "tests/common/TestFolder.h"

// What a command printed on standard output, trailing newlines and spaces removed.
inline std::string CommandOutput(const std::string& command)
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

// Rates the device is held to; a zero leaves that direction or unit free.
struct C_Throttle {
    uint64_t readBytesPerSecond = 0;
    uint64_t writeBytesPerSecond = 0;
    uint64_t readIops = 0;
    uint64_t writeIops = 0;
    uint64_t imageMiB = 160;
};

class ThrottledVolume {
public:
    explicit ThrottledVolume(const C_Throttle& throttle)
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
        m_loop = CommandOutput("truncate -s " + std::to_string(throttle.imageMiB) + "M " + image +
                               " && losetup -f --show " + image + " 2>/dev/null");
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
            std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev)) + " ";
        static int s_count = 0;
        m_cgroup = std::string(kBlkio) + "/qm_throttled_" + std::to_string(getpid()) + "_" +
                   std::to_string(++s_count);
        if (mkdir(m_cgroup.c_str(), 0755) != 0 ||
            !Limit("read_bps_device", device, throttle.readBytesPerSecond) ||
            !Limit("write_bps_device", device, throttle.writeBytesPerSecond) ||
            !Limit("read_iops_device", device, throttle.readIops) ||
            !Limit("write_iops_device", device, throttle.writeIops) ||
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
    ThrottledVolume(const ThrottledVolume&) = delete;
    ThrottledVolume& operator=(const ThrottledVolume&) = delete;

    bool Ready() const { return m_inside; }
    const std::string& Why() const { return m_why; }
    const std::string& Path() const { return m_mount; }

private:
    static constexpr const char* kBlkio = "/sys/fs/cgroup/blkio";

    static bool WriteText(const std::string& path, const std::string& text)
    {
        std::ofstream out(path);
        out << text << "\n";
        out.flush();
        return (bool)out;
    }
    bool Limit(const char* name, const std::string& device, uint64_t rate) const
    {
        return rate == 0 || WriteText(m_cgroup + "/blkio.throttle." + name, device + std::to_string(rate));
    }

    TestFolder m_folder{"throttled"};
    std::string m_mount, m_loop, m_cgroup, m_why;
    bool m_mounted = false, m_inside = false;
};
