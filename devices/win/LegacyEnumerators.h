// Devices reached outside the Win32 device paths: drives of the Windows 9x DOS interface
// and units behind an ASPI layer.
#pragma once
#include <cstdint>
#include "devices/DeviceList.h"

void EnumerateDosDrives(C_DeviceList& list);
void EnumerateAspiDevices(C_DeviceList& list);
// Unloads the ASPI layer once no record uses it (after the list was cleared).
void ReleaseAspiLayer();
