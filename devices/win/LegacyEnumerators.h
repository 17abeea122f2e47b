// Devices reached outside the Win32 device paths: drives of the Windows 9x DOS interface
// and units behind an ASPI layer.
#pragma once
#include <cstdint>
#include "devices/DeviceList.h"
#include "devices/DeviceRefresh.h"

void EnumerateDosDrives(C_DeviceList& list);
void EnumerateAspiDevices(C_DeviceList& list);
