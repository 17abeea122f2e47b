// Request blocks of the ASPI for Win32 programming interface (byte-packed, as published),
// shared by the ASPI records and the test layer the project builds.
#pragma once
#include <cstdint>

enum : uint8_t { kAspiHaInquiry = 0, kAspiExecScsi = 2, kAspiAbort = 3, kAspiGetDiskInfo = 6 };
enum : uint8_t { kAspiPending = 0, kAspiComplete = 1, kAspiError = 4 };
enum : uint8_t { kAspiDirIn = 0x08, kAspiDirOut = 0x10 };

#pragma pack(push, 1)
struct C_AspiHaInquiry {
    uint8_t cmd, status, adapter, flags;
    uint32_t reserved;
    uint8_t adapterCount;
    uint8_t scsiId;
    char managerId[16];
    char adapterId[16];
    uint8_t unique[16]; // bytes 3: targets, 4..7: largest transfer in bytes
    uint16_t reserved1;
};
struct C_AspiExecScsi {
    uint8_t cmd, status, adapter, flags;
    uint32_t reserved;
    uint8_t target, lun;
    uint16_t reserved1;
    uint32_t bufferLength;
    uint8_t* buffer;
    uint8_t senseLength;
    uint8_t cdbLength;
    uint8_t adapterStatus;
    uint8_t targetStatus;
    void* postProc;
    void* reserved2;
    uint8_t reserved3[16];
    uint8_t cdb[16];
    uint8_t sense[16 + 2];
};
struct C_AspiDiskInfo {
    uint8_t cmd, status, adapter, flags;
    uint32_t reserved;
    uint8_t target, lun;
    uint8_t driveFlags;
    uint8_t int13Drive; // drive number: 0 = A:
    uint8_t heads, sectors;
    uint8_t reserved1[10];
};
struct C_AspiAbort {
    uint8_t cmd, status, adapter, flags;
    uint32_t reserved;
    void* request;
};
#pragma pack(pop)

typedef uint32_t(__cdecl* AspiSendCommand)(void* request);
typedef uint32_t(__cdecl* AspiSupportInfo)();
typedef uint32_t(__cdecl* AspiDllVersion)();
