// errno values as the Win32 numbers the rest of the program decides on and reports. An errno
// with no Win32 counterpart is kept as kErrorFromErrno plus its value, so its text survives.
#pragma once
#include <cstdint>

enum : uint32_t { kErrorFromErrno = 0x20000000u }; // the application bit of Win32 error numbers

uint32_t ErrorFromErrno(int error);
// The errno behind an error number, or 0 when it has none.
int ErrnoFromError(uint32_t code);
// Sets the last error from errno and returns 0, for "return Fail();".
int FailWithErrno();
