#include "devices/DeviceError.h"

#ifdef _WIN32
// kernel32 exports; declared here so this file stays free of the Windows headers.
extern "C" __declspec(dllimport) void __stdcall SetLastError(unsigned long code);
extern "C" __declspec(dllimport) unsigned long __stdcall GetLastError();
void SetDeviceError(uint32_t code) { SetLastError(code); }
uint32_t GetDeviceError() { return uint32_t(GetLastError()); }
#else
static thread_local uint32_t t_error = 0;
void SetDeviceError(uint32_t code) { t_error = code; }
uint32_t GetDeviceError() { return t_error; }
#endif
