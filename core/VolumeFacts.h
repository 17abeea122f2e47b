// What is known of the volume that holds a folder, for the reports: its file system, the device
// it lies on and, where the system tells it cheaply, the USB speed of that device. The parsers
// of the Linux mount table are here too, apart from the calls that read it.
#pragma once
#include <cstdint>
#include <string>

struct C_VolumeFacts {
    std::string fileSystem; // "NTFS", "ext4", "tmpfs"; empty when unknown
    std::string device;     // "\Device\HarddiskVolume3", "/dev/sdb1"; empty when unknown
    int usbSpeedClass = -1; // kUsbHighSpeed, ...; -1 when not on USB or not known
};

// One line of /proc/self/mountinfo.
struct C_MountEntry {
    uint32_t major = 0, minor = 0; // of the mounted file system (a folder's st_dev)
    std::string root;              // the folder of the file system that is mounted
    std::string mountPoint;
    std::string fileSystem;
    std::string source; // "/dev/sdb1", "tmpfs", "server:/export"
};
// 0 when the line is not one of the table's.
int ParseMountInfoLine(const std::string& line, C_MountEntry* entry);
// The mount of the file system major:minor; of several (bind mounts, a mount over another),
// the last. Where no line has that number (a folder inside a btrfs subvolume), the mount whose
// point is the longest leading part of the folder's absolute, resolved path. 0 when none.
int FindMount(const std::string& mountInfo, uint32_t major, uint32_t minor, const std::string& path,
              C_MountEntry* entry);
