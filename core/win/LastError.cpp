// The last error is the thread's Win32 last error, so library calls and system calls share it.
#include <windows.h>
#include "core/ErrorCodes.h"

uint32_t GetLastErrorCode() { return GetLastError(); }
void SetLastErrorCode(uint32_t code) { SetLastError(code); }
