// The Win32 enumerators of the device list; the refresh sequences built on them are
// declared in devices/DeviceRefresh.h.
#pragma once
#include <cstdint>
#include "devices/DeviceList.h"
#include "devices/DeviceRefresh.h"
#include "devices/DriveLetterInfo.h"

void EnumerateLogicalDrives(C_DeviceList& list);
void EnumeratePhysicalDrives(C_DeviceList& list);
void EnumerateCdRomDevices(C_DeviceList& list);
void EnumerateDriveLetters(C_DeviceList& list);
void EnumerateCdTracks(C_DeviceList& list);

class C_HandleDevice;
// One record, probed as a refresh probes it (the caller owns it); null when its path does
// not open. Without a list a physical drive or CD-ROM record learns no drive letters.
C_HandleDevice* ProbeLogicalDrive(char letter, uint32_t options);
C_HandleDevice* ProbePhysicalDrive(uint32_t number, uint32_t options, C_DeviceList* list);
C_HandleDevice* ProbeCdRomDevice(uint32_t number, uint32_t options, C_DeviceList* list);

// Drive-letter records alone.
void RefreshDriveLetters(C_DeviceList& list);

// The drive-letter record of a letter, or none.
C_Device* FindDriveLetter(C_DeviceList& list, char letter);
