#include "app/pages/file/cdfs/CdfsDrive.h"
#include <vector>
#include "core/Text.h"
#include "devices/ScsiCommands.h"
#include "devices/ByteFields.h"

namespace {
// Both commands travel in 12-byte blocks; the bytes past the 10-byte form stay 0.
const uint32_t kCdbLength = 12;
const uint32_t kTocDescriptors = 4, kTocDescriptorSize = 8;
const uint8_t kControlData = 0x04;

int Send(C_Device& device, const C_Cdb& cdb, uint8_t* buffer)
{
    uint8_t sense[24] = {};
    return device.ScsiCommand(kCdbLength, cdb.bytes, 1, kCdfsSectorSize, buffer, sense);
}
} // namespace

int CdfsDataTrackStart(const uint8_t* toc, uint32_t size, uint32_t* start, uint64_t* end)
{
    if (size < kTocDescriptors)
        return 0;
    // The answer's own length field bounds what the drive filled in.
    const uint32_t filled = 2 + ReadBe16(toc);
    const uint32_t available = filled < size ? filled : size;
    const int first = toc[2], last = toc[3];
    for (int t = last; t >= first; --t) {
        const uint32_t at = kTocDescriptors + kTocDescriptorSize * uint32_t(t - first);
        if (at + kTocDescriptorSize > available)
            continue;
        if (toc[at + 1] & kControlData) {
            *start = ReadBe32(toc + at + 4);
            if (end) {
                const uint32_t next = at + kTocDescriptorSize;
                const uint32_t after = next + kTocDescriptorSize <= available ? ReadBe32(toc + next + 4) : 0;
                *end = after > *start ? after : kCdfsNoEnd;
            }
            return 1;
        }
    }
    return 0;
}

int ReadToc(C_Device& device, uint8_t* buffer)
{
    return Send(device, MakeReadToc(0, kCdfsSectorSize), buffer);
}

int ReadSector(C_Device& device, uint32_t sector, uint8_t* buffer)
{
    return Send(device, MakeRead10(sector, 1), buffer);
}

int CdfsSearchDevice(C_Device& device, char letter, uint64_t minimum, std::string* path,
                     const std::function<bool()>& stopRequested)
{
    path->clear();
    std::vector<uint8_t> toc(kCdfsSectorSize);
    uint32_t start = 0;
    C_CdfsSearch search;
    if (!ReadToc(device, toc.data()) ||
        !CdfsDataTrackStart(toc.data(), kCdfsSectorSize, &start, &search.ullDiscEnd))
        return 0;
    C_DeviceSectors sectors(device);
    search.ullMinimum = minimum;
    search.stopRequested = stopRequested;
    CDFSProcessDescriptors(sectors, start, letter, search);
    if (search.bStopped)
        return 0;
    *path = search.strPath;
    return !path->empty();
}

std::string CdfsNotNtMessage()
{
    return "Fastest File Search only available on real operating systems. A.k.a Windows NT/2000/XP...";
}

std::string CdfsOpenFailedMessage(const char* devicePath)
{
    return StringPrintf("Fastest File Search failed.\n\nUnable to open device %s", devicePath);
}

std::string CdfsNoFileMessage(uint64_t minimum, char letter)
{
    return StringPrintf(
        "Fastest File Search failed.\n\nCan't find any file with %s or larger on drive %c:\\.",
        FormatByteSize(minimum).c_str(), letter);
}

std::string CdfsNotCdMessage(char letter)
{
    return StringPrintf(
        "Fastest File Search failed on drive %c:\\.\n\nThis function is only working on CD-ROM drives.",
        letter);
}

std::string CdfsFailureMessage(int cdRomDrive, uint64_t minimum, char letter)
{
    return cdRomDrive ? CdfsNoFileMessage(minimum, letter) : CdfsNotCdMessage(letter);
}
