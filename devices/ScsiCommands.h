// SCSI and MMC commands sent through a record's command slot: command blocks, timeouts by
// operation code, the sense-to-error mapping, and the queries built on them (capacity,
// INQUIRY texts). Pure: they only talk to C_Device, so emulated devices exercise them.
#pragma once
#include <cstdint>
#include <string>
#include "devices/Device.h"

enum : uint8_t {
    kScsiRewind = 0x01,
    kScsiRead6 = 0x08,
    kScsiWrite6 = 0x0A,
    kScsiInquiry = 0x12,
    kScsiStartStopUnit = 0x1B,
    kScsiReadCapacity10 = 0x25,
    kScsiRead10 = 0x28,
    kScsiWrite10 = 0x2A,
    kScsiWriteBuffer = 0x3C,
    kScsiReadToc = 0x43,
    kScsiServiceActionIn16 = 0x9E,
    kScsiReadCd = 0xBE,
    kScsiAtaPassThrough16 = 0x85
};

struct C_Cdb {
    uint8_t bytes[16] = {};
    uint32_t length = 0;
};

C_Cdb MakeRead10(uint32_t block, uint32_t count);
C_Cdb MakeWrite10(uint32_t block, uint32_t count);
C_Cdb MakeRead6Fixed(uint32_t count);
C_Cdb MakeWrite6Fixed(uint32_t count);
C_Cdb MakeRewind();
// READ CD of whole 2352-byte sectors (sync, headers, user data, EDC/ECC: byte 9 = 0xF8).
C_Cdb MakeReadCd(uint32_t block, uint32_t count);
C_Cdb MakeReadToc(uint32_t format, uint32_t allocation);
C_Cdb MakeReadCapacity10();
C_Cdb MakeReadCapacity16(uint32_t allocation);
C_Cdb MakeInquiry(uint32_t allocation, int vitalPage, uint32_t page);
// ATA PASS-THROUGH(16) of the SCSI/ATA translation layer, PIO, counted in 512-byte blocks.
C_Cdb MakeAtaPassThrough16(const C_AtaTaskFile& taskFile, int dataIn, uint32_t blocks);
// IDENTIFY (0xEC) or IDENTIFY PACKET (0xA1) through a bridge that translates SCSI to ATA;
// 512 bytes into out.
int SatIdentify(C_Device& device, uint8_t command, uint8_t* out);

// Seconds a command may take, by operation code.
uint32_t ScsiTimeoutSeconds(uint8_t opcode);
// The Win32 error a failed command leaves: unreadable media (sense key 3, or 0x11
// "unrecovered read error") become ERROR_CRC (23), everything else ERROR_IO_DEVICE (1117).
uint32_t ScsiSenseToError(const uint8_t* sense, uint32_t senseLength);

// READ CAPACITY(10), and (16) when the first cannot express the size; fills the record's
// block count, block size and first block. 0 when no usable answer came.
int ScsiQueryCapacity(C_Device& device);
// INQUIRY texts and, unless skipSerialPage, the unit serial number page.
int ScsiQueryTexts(C_Device& device, int skipSerialPage);

// Block transfers with the 10-byte commands at block + the record's partition offset; refused
// (nothing sent) when that address wraps or the command cannot carry it.
int ScsiRead10(C_Device& device, uint64_t block, uint32_t count, void* buffer);
int ScsiWrite10(C_Device& device, uint64_t block, uint32_t count, const void* buffer);
// READ(10) or WRITE(10) of count blocks at the disk address lba, exactly as given.
int ScsiTransfer10(C_Device& device, int write, uint32_t lba, uint32_t count, void* buffer);
