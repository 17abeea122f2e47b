// What the programs ask of the device layer: fill the shared list the way a page needs it,
// and open a device path for commands. The Win32 back end (win/) implements it; callers
// never include that back end.
#pragma once
#include <cstdint>
#include <memory>
#include "devices/DeviceList.h"

// Stores the callback, owner and options with the drive letter of the Windows folder.
void RegisterDevices(C_DeviceList& list, DeviceCallback callback, void* owner, uint32_t options);
// Logical drives, physical drives, CD-ROM devices, Windows 9x drives, ASPI devices, tracks.
void RefreshForBlockAccess(C_DeviceList& list);
// Identity records (unless the system has no device-setup interface), then drive letters.
void RefreshForQuickAccess(C_DeviceList& list);
// Unloads the ASPI layer once no record uses it (after the list was cleared).
void ReleaseAspiLayer();

// A record of no list that opens its strPath (for example "\\.\E:") with its dwAccess when
// Open is called, and sends commands through that handle.
std::unique_ptr<C_Device> NewDevicePathRecord();
