// The mount table and the device tree's USB speed, as the console reads them for its reports.
#include <gtest/gtest.h>
#include "core/UsbHint.h"
#include "core/UsbSpeed.h"
#include "core/VolumeFacts.h"

namespace {
// As the kernel writes it, with the same file system mounted twice and one over another.
const char kTable[] =
    "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard\n"
    "24 23 0:22 / /dev/shm rw,relatime - tmpfs tmpfs rw,size=24683736k\n"
    "29 24 0:26 / /dev/shm rw,relatime - tmpfs shm rw,size=1024k\n"
    "41 26 8:17 / /media/usb\\040stick rw,nosuid shared:12 master:3 - vfat /dev/sdb1 rw,fmask=0022\n"
    "42 26 8:17 /photos /home/me/photos rw - vfat /dev/sdb1 rw\n"
    "43 26 0:45 / /home/me/photosets rw - btrfs /dev/sdc rw\n";
} // namespace

TEST(MountTable, LinesWithAndWithoutOptionalFieldsAndEscapes)
{
    C_MountEntry e;
    ASSERT_EQ(
        ParseMountInfoLine("41 26 8:17 /a\\134b /media/usb\\040stick rw,nosuid shared:12 master:3 - vfat "
                           "/dev/disk\\011x rw,fmask=0022",
                           &e),
        1);
    EXPECT_EQ(e.major, 8u);
    EXPECT_EQ(e.minor, 17u);
    EXPECT_EQ(e.root, "/a\\b");
    EXPECT_EQ(e.mountPoint, "/media/usb stick");
    EXPECT_EQ(e.fileSystem, "vfat");
    EXPECT_EQ(e.source, "/dev/disk\tx");
    ASSERT_EQ(ParseMountInfoLine("24 23 0:22 / /dev/shm rw,relatime - tmpfs tmpfs rw\n", &e), 1);
    EXPECT_EQ(e.major, 0u);
    EXPECT_EQ(e.minor, 22u);
    EXPECT_EQ(e.fileSystem, "tmpfs");
    EXPECT_EQ(e.source, "tmpfs");
    // An escape cut short stays as it stands.
    ASSERT_EQ(ParseMountInfoLine("1 1 1:2 / /a\\04 rw - ext4 /dev/x rw", &e), 1);
    EXPECT_EQ(e.mountPoint, "/a\\04");

    const C_MountEntry untouched = e;
    for (const char* bad : {"", "24 23 0:22 / /dev/shm rw,relatime", "24 23 0:22 / /dev/shm rw - tmpfs",
                            "24 23 022 / /dev/shm rw - tmpfs tmpfs rw", "24 23 :22 / /x rw - tmpfs tmpfs rw",
                            "24 23 0:x / /x rw - tmpfs tmpfs rw", "24 23 0: / /x rw - tmpfs tmpfs rw"}) {
        EXPECT_EQ(ParseMountInfoLine(bad, &e), 0) << bad;
        EXPECT_EQ(e.mountPoint, untouched.mountPoint) << bad;
    }
}

TEST(MountTable, TheFoldersMountByNumberElseByPath)
{
    C_MountEntry e;
    // Mounted over: the later mount of /dev/shm is the one a folder there is on.
    ASSERT_EQ(FindMount(kTable, 0, 26, "/dev/shm/x", &e), 1);
    EXPECT_EQ(e.source, "shm");
    ASSERT_EQ(FindMount(kTable, 0, 22, "/dev/shm/x", &e), 1);
    EXPECT_EQ(e.source, "tmpfs");
    // Mounted twice: the number decides, whatever the path.
    ASSERT_EQ(FindMount(kTable, 8, 17, "/somewhere/else", &e), 1);
    EXPECT_EQ(e.fileSystem, "vfat");
    EXPECT_EQ(e.source, "/dev/sdb1");
    // A number not in the table (a btrfs subvolume): the longest mount point that leads the path,
    // in whole names.
    ASSERT_EQ(FindMount(kTable, 0, 99, "/home/me/photosets/2024", &e), 1);
    EXPECT_EQ(e.fileSystem, "btrfs");
    ASSERT_EQ(FindMount(kTable, 0, 99, "/home/me/photos", &e), 1);
    EXPECT_EQ(e.mountPoint, "/home/me/photos");
    ASSERT_EQ(FindMount(kTable, 0, 99, "/home/me/photo", &e), 1);
    EXPECT_EQ(e.mountPoint, "/");
    EXPECT_EQ(FindMount("", 0, 99, "/home", &e), 0);
    EXPECT_EQ(FindMount(kTable, 0, 99, "relative/path", &e), 0);
}

TEST(UsbSpeed, FromTheDeviceTree)
{
    const struct {
        const char* speed;
        const char* version;
        int xhci;
        int speedClass;
    } cases[] = {
        {"5000\n", " 3.20\n", 1, kUsbSuperSpeed},
        {"10000\n", " 3.10\n", 1, kUsbSuperSpeed},
        {"480\n", " 2.00\n", 1, kUsbHighSpeed},
        {"480\n", " 2.00\n", 0, kUsbHighSpeed},
        // A USB 3 device says 2.10 when it runs at USB 2 speed.
        {"480\n", " 2.10\n", 1, kUsb3AtHighSpeed},
        {"480\n", " 2.10\n", 0, kUsb3OnUsb2},
        {"12\n", " 1.10\n", 0, 1},
        {"1.5\n", " 1.10\n", 0, 0},
        {"480", "", 0, kUsbHighSpeed},
        {"480", "2.1", 0, kUsbHighSpeed}, // not a version: no USB 3 hint
        {"", " 2.00", 0, -1},
        {"fast", " 2.00", 0, -1},
        {"0", " 2.00", 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SysfsUsbSpeedClass(c.speed, c.version, c.xhci), c.speedClass)
            << c.speed << " " << c.version << " " << c.xhci;
}
