// The volume of a folder on Linux: the mount table names its file system and source, and the
// device tree above the block device tells whether that device is on USB, and how fast.
#include "core/VolumeFacts.h"
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include "core/File.h"
#include "core/UsbSpeed.h"
#include "core/posix/ErrorMap.h"

namespace {
std::string ReadSmallFile(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

std::string ResolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string Parent(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// A USB device's folder in the tree has its bus number and speed; its interfaces have neither.
bool IsUsbDevice(const std::string& folder)
{
    return access((folder + "/busnum").c_str(), F_OK) == 0 && access((folder + "/speed").c_str(), F_OK) == 0;
}

// The speed class of the USB device that holds block device major:minor; -1 when it is on none.
int UsbSpeedClassOfBlockDevice(dev_t device)
{
    char link[64];
    std::snprintf(link, sizeof link, "/sys/dev/block/%u:%u", major(device), minor(device));
    std::string folder = ResolvedPath(link);
    // The first USB device above the disk (or partition) is the disk's own; the last one is
    // the root hub, whose parent is the controller.
    std::string usbDevice, rootHub;
    for (; folder.size() > 12 && folder.compare(0, 12, "/sys/devices") == 0; folder = Parent(folder))
        if (IsUsbDevice(folder)) {
            if (usbDevice.empty())
                usbDevice = folder;
            rootHub = folder;
        }
    if (usbDevice.empty())
        return -1;
    const std::string driver = ResolvedPath(Parent(rootHub) + "/driver");
    const bool xhci = driver.find("xhci") != std::string::npos;
    return SysfsUsbSpeedClass(ReadSmallFile(usbDevice + "/speed").c_str(),
                              ReadSmallFile(usbDevice + "/version").c_str(), xhci);
}
} // namespace

int GetVolumeFacts(const char* folder, C_VolumeFacts* facts)
{
    *facts = C_VolumeFacts();
    struct stat st;
    if (::stat(folder, &st) != 0)
        return FailWithErrno();
    C_MountEntry mount;
    if (FindMount(ReadSmallFile("/proc/self/mountinfo"), major(st.st_dev), minor(st.st_dev),
                  ResolvedPath(folder), &mount)) {
        facts->fileSystem = mount.fileSystem;
        facts->device = mount.source;
    }
    // The block device: the mount's source where it is one (a btrfs folder's own number is not
    // a device's), else the file system's number.
    struct stat source;
    const dev_t block =
        ::stat(facts->device.c_str(), &source) == 0 && S_ISBLK(source.st_mode) ? source.st_rdev : st.st_dev;
    facts->usbSpeedClass = UsbSpeedClassOfBlockDevice(block);
    return 1;
}
