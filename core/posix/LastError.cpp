// The last error of the POSIX library: a per-thread word like Win32's, holding Win32 numbers
// (see ErrorMap) so that callers decide and report the same way on both systems.
#include "core/ErrorCodes.h"

static thread_local uint32_t t_lastError = 0;

uint32_t GetLastErrorCode() { return t_lastError; }
void SetLastErrorCode(uint32_t code) { t_lastError = code; }
