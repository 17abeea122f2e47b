// The volume of a folder on Windows: its file system from the volume information, and the
// device the volume lies on as the object manager names it ("\Device\HarddiskVolume3"). The
// USB speed needs the hub walk of the device list, which the class library does not do.
#include "core/VolumeFacts.h"
#include <windows.h>
#include <cstring>
#include <string>
#include "core/File.h"

int GetVolumeFacts(const char* folder, C_VolumeFacts* facts)
{
    *facts = C_VolumeFacts();
    if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES)
        return 0;
    char root[MAX_PATH + 1];
    if (!GetVolumePathNameA(folder, root, sizeof root))
        return 0;
    char fileSystem[MAX_PATH + 1];
    if (GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem))
        facts->fileSystem = fileSystem;
    // The device behind "\\?\Volume{...}\" is asked for as "Volume{...}", a drive's as "C:".
    char volume[MAX_PATH + 1];
    std::string name = root;
    if (GetVolumeNameForVolumeMountPointA(root, volume, sizeof volume) && strncmp(volume, "\\\\?\\", 4) == 0)
        name = volume + 4;
    if (!name.empty() && name.back() == '\\')
        name.pop_back();
    char device[MAX_PATH + 1];
    if (QueryDosDeviceA(name.c_str(), device, sizeof device))
        facts->device = device;
    return 1;
}
