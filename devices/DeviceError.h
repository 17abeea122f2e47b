// The thread's last error as device operations leave it: the Win32 last error on Windows,
// a thread-local value elsewhere, so pure record types can fail the way the system does.
#pragma once
#include <cstdint>

void SetDeviceError(uint32_t code);
uint32_t GetDeviceError();

enum : uint32_t {
    kDevErrorInvalidFunction = 1,
    kDevErrorNotReady = 21,
    kDevErrorCrc = 23,
    kDevErrorWriteProtect = 19,
    kDevErrorInvalidParameter = 87,
    kDevErrorIoDevice = 1117,
    kDevErrorNotSupported = 50
};
