// A drive that lies, natively: a FUSE file system that claims more space than it keeps
// (tests/core/engines/fake_capacity_fs.py, whose path the test's build gives in
// QM_FAKE_FS_SCRIPT), mounted for the life of the object. Where the kernel or the machine offers
// no FUSE, the object says why and the test skips.
#pragma once
#include <sys/statvfs.h>
#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <string>
#include "tests/common/TestFolder.h"

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

#define MOUNT_OR_SKIP(drive)                                                                                 \
    if (!(drive).Mounted())                                                                                  \
    GTEST_SKIP() << (drive).Why()
