// The error numbers the class library and the device code leave for their callers, and the
// calling thread's last error. The numbers are Win32's on every system, so decisions and
// messages read the same everywhere; the POSIX library maps errno onto them.
#pragma once
#include <cstdint>

// The calling thread's last error, and setting it (for seams and record types that fail the
// way the system does).
uint32_t GetLastErrorCode();
void SetLastErrorCode(uint32_t code);

enum : uint32_t {
    kErrorSuccess = 0,
    kErrorInvalidFunction = 1,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorTooManyOpenFiles = 4,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorWriteProtect = 19,
    kErrorNotReady = 21,
    kErrorCrc = 23,
    kErrorWriteFault = 29,
    kErrorReadFault = 30,
    kErrorSharingViolation = 32,
    kErrorHandleEof = 38,
    kErrorHandleDiskFull = 39,
    kErrorNotSupported = 50,
    kErrorFileExists = 80,
    kErrorInvalidParameter = 87,
    kErrorBrokenPipe = 109,
    kErrorDiskFull = 112,
    kErrorInvalidName = 123,
    kErrorDirNotEmpty = 145,
    kErrorBusy = 170,
    kErrorAlreadyExists = 183,
    kErrorFilenameTooLong = 206,
    kErrorArithmeticOverflow = 534,
    kErrorOperationAborted = 995,
    kErrorIoDevice = 1117,
    kErrorNoSystemResources = 1450
};
