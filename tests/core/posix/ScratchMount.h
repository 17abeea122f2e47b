// Small file systems mounted for one test (root and loop devices needed): a full disk, one that
// refuses O_DIRECT, one that takes it but serves it through the cache, one with 4 KiB sectors.
// A test skips when the machine does not allow mounting.
#pragma once
#include <sys/mount.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "tests/common/TestFolder.h"

class ScratchMount {
public:
    enum Kind {
        kRamfs,       // refuses O_DIRECT
        kJournalExt4, // ext4 with data=journal: O_DIRECT accepted and served by the cache
        kSmallExt4,   // 8 MiB ext4: fills up at once
        kFourKExt4    // ext4 on a loop device with 4096-byte logical sectors
    };

    explicit ScratchMount(Kind kind) : m_folder("mount")
    {
        m_point = m_folder.File("point");
        const std::string image = m_folder.File("image");
        std::string script = "mkdir -p '" + m_point + "' && ";
        switch (kind) {
        case kRamfs:
            script += "mount -t ramfs ramfs '" + m_point + "'";
            break;
        case kJournalExt4:
            script += "truncate -s 64M '" + image + "' && mkfs.ext4 -q -F '" + image +
                      "' && mount -o loop,data=journal '" + image + "' '" + m_point + "'";
            break;
        case kSmallExt4:
            script += "truncate -s 8M '" + image + "' && mkfs.ext4 -q -F '" + image + "' && mount -o loop '" +
                      image + "' '" + m_point + "'";
            break;
        case kFourKExt4:
            script += "truncate -s 64M '" + image + "' && dev=$(losetup -f --show -b 4096 '" + image +
                      "') && mkfs.ext4 -q -F $dev && mount $dev '" + m_point + "' && losetup -d $dev";
            break;
        }
        script += " >/dev/null 2>&1";
        m_mounted = geteuid() == 0 && system(script.c_str()) == 0;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            umount2(m_point.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return m_mounted; }
    const std::string& Point() const { return m_point; }

private:
    TestFolder m_folder;
    std::string m_point;
    bool m_mounted = false;
};

#define SKIP_UNLESS_MOUNTED(mount)                                                                           \
    if (!(mount).Mounted())                                                                                  \
    GTEST_SKIP() << "this machine does not let the test mount a file system"
