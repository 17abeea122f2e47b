// Queries that fill a device record from the system: drive type, bus and ATA identity,
// location key, labels, free space, partition, transfer limit, vendor texts, geometry.
// Each leaves the record's defaults when its query fails.
#pragma once
#include <cstdint>
#include <string>
#include "devices/Device.h"
#include "devices/StorageDescriptor.h"

class C_DeviceList;
class C_HandleDevice;

// dwType from GetDriveTypeA of the first letter; physical picks the disk variant. Optical
// drives also get 2048-byte blocks starting at block 16.
void ApplyDriveType(C_Device& device, int physical);
// Type for a GetDriveTypeA value; 0 for unknown or no root.
uint32_t TypeFromDriveType(uint32_t driveType, int physical);
// ATA IDENTIFY through the pass-through methods, then the bus from the storage descriptor.
void ProbeIdentity(C_HandleDevice& device);
void ProbeLocation(C_HandleDevice& device);
int ProbeLabels(C_Device& device, uint32_t options);
int ProbeFreeSpace(C_Device& device, uint32_t options);
void ProbePartition(C_HandleDevice& device);
void ProbeTransferLimit(C_HandleDevice& device);
// Vendor, product, revision and serial: from IDENTIFY when obtained, else INQUIRY and the
// serial page, else the storage descriptor.
void ProbeTexts(C_HandleDevice& device);
// IDENTIFY through the SMART request alone, for the serial (skipped when already known).
void ProbeSmartIdentify(C_HandleDevice& device);
int ProbeGeometry(C_HandleDevice& device);
// The size of what the open handle reaches, in blocks of 512 bytes: the last resort for a
// drive letter that answers no capacity query (an image file behind a letter, a device
// that refuses the queries). 0 when the handle tells no size either.
int ProbeHandleSize(C_HandleDevice& device);
int QueryStorageDescriptor(C_HandleDevice& device, C_StorageDescriptor* descriptor);
// Letters of the logical drives whose location key matches; ignorePartition compares
// device type and number only.
void FindLettersByLocation(C_DeviceList& list, C_Device& device, int ignorePartition);
// Letters the mount manager links to a device name ("\\Device\\HarddiskVolume1").
int QueryMountPointLetters(const std::u16string& deviceName, std::string* letters);
// Letters the mount manager links to the volume the record opens; 0 when it does not say.
int ProbeMountPointLetters(C_HandleDevice& device);
// Location key of any path (opened without data access); all ones when unknown.
uint32_t QueryLocationOfPath(const char* path);
