// SCSI commands to a CD or DVD drive through IOCTL_SCSI_PASS_THROUGH_DIRECT, as the
// fastest-file search sends them. Win32 glue; the header needs no Win32 types.
#pragma once
#include <cstdint>
#include "devices/Device.h"

// One command on an open device handle, with the search's request block (target 1,
// 5-second time-out, 24 bytes of sense room). 1 when the call succeeded and the SCSI status
// is 0.
int ScsiPassThrough(void* device, uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t transferLength,
                    void* buffer);

// An open drive handle (not owned) as a command-answering device for the pure search.
class C_PassThroughDrive : public C_Device {
public:
    explicit C_PassThroughDrive(void* handle) { hDevice = handle; }
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t*) override
    {
        return ScsiPassThrough(hDevice, cdbLength, cdb, dataIn, byteCount, buffer);
    }
};
