// The fastest-file search over a drive that answers MMC commands: READ TOC picks the last
// data track, READ(10) fetches each sector for the walk. Pure: the drive is a C_Device, so
// the Win32 pass-through and the emulated CD-ROM run the same code. Also the search's
// message texts.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "app/pages/file/cdfs/CdfsWalk.h"
#include "devices/Device.h"

// Start sector of the last data track (CONTROL bit 0x04) of a READ TOC format 0 answer,
// walking from the last track number down to the first; track t's descriptor is the
// (t - first track)-th. 0 when no data track is listed. With end: one past the track's
// last sector, which is where the next descriptor (the next track, or the lead-out after
// the last one) starts; kCdfsNoEnd when the answer holds no such descriptor beyond start.
int CdfsDataTrackStart(const uint8_t* toc, uint32_t size, uint32_t* start, uint64_t* end = nullptr);

// READ TOC (format 0, block addresses, 2048 bytes) and READ(10) of one 2048-byte sector,
// sent as 12-byte command blocks.
int ReadToc(C_Device& device, uint8_t* buffer);
int ReadSector(C_Device& device, uint32_t sector, uint8_t* buffer);

class C_DeviceSectors : public C_SectorSource {
public:
    explicit C_DeviceSectors(C_Device& device) : m_device(device) {}
    int ReadSector(uint32_t sector, uint8_t* buffer) override
    {
        return ::ReadSector(m_device, sector, buffer);
    }

private:
    C_Device& m_device;
};

// TOC, last data track, descriptors and trees. 1 and *path = the found file's full path
// under "%c:\" of the letter; 0 and an empty path when the disc gave none (no answer to
// READ TOC, audio only, no descriptors, nothing large enough) or when stopRequested
// answered true before a sector read. No sector past the data track's end is read.
int CdfsSearchDevice(C_Device& device, char letter, uint64_t minimum, std::string* path,
                     const std::function<bool()>& stopRequested = {});

std::string CdfsNotNtMessage();
std::string CdfsOpenFailedMessage(const char* devicePath);
std::string CdfsNoFileMessage(uint64_t minimum, char letter);
std::string CdfsNotCdMessage(char letter);
// When nothing was found: on a CD or DVD drive the no-file message, elsewhere the not-a-CD one.
std::string CdfsFailureMessage(int cdRomDrive, uint64_t minimum, char letter);
