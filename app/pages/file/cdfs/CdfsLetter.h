// The fastest-file search on a drive letter, as the FileAccess worker runs it: the letter's
// device opened for SCSI pass-through, the disc walked, the device closed, and on failure
// the message to show. Win32 glue; the header needs no Win32 types.
#pragma once
#include <cstdint>
#include <string>
#include "devices/Device.h"

// One command through IOCTL_SCSI_PASS_THROUGH_DIRECT on an open device handle, with the
// search's request block (target 1, 5-second time-out, 24 bytes of sense room). 1 when the
// call succeeded and the SCSI status is 0.
int ScsiPassThrough(void* device, uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t transferLength,
                    void* buffer);

// 1 and *path = the full path of the farthest-out file of at least `minimum` bytes; else 0
// with *message set. `device`, when given, is searched instead of the letter's own device
// (tests hand in an emulated drive); the drive type that picks the message is the letter's.
int CdfsSearchLetter(char letter, uint64_t minimum, std::string* path, std::string* message,
                     C_Device* device = nullptr);
