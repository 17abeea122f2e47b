#include "app/pages/file/model/FileRules.h"
#include <cinttypes>
#include "core/Text.h"

namespace {
// Optical media of this many MiB and more are DVDs.
const uint64_t kDvdMinimumMiB = 760;
// KiB per second of a single-speed drive, the unit of the speed factors.
const float kDvdSingleSpeedKiB = 1352.0f, kCdSingleSpeedKiB = 150.0f;
} // namespace

MediumClass MediumFromTotalBytes(uint64_t totalBytes, bool isCdrom)
{
    if (!isCdrom)
        return kMediumNone;
    return totalBytes / 1024 / 1024 >= kDvdMinimumMiB ? kMediumDvd : kMediumCd;
}

std::string VolumeRootOf(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':')
        return std::string(1, path[0]) + ":\\";
    return path;
}

std::string LastComponent(const std::string& path)
{
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

C_WriteTarget WriteTargetFor(const std::string& path, bool isFolder)
{
    C_WriteTarget target;
    const std::string name = LastComponent(path);
    if (name.empty() || isFolder) {
        target.path = path;
        if (target.path.empty() || target.path.back() != '\\')
            target.path += '\\';
        target.path += "_TestFile";
        return target;
    }
    target.path = path;
    if (name[0] != '_') {
        target.ask = true;
        target.oldName = name;
        target.path = path.substr(0, path.size() - name.size()) + "_" + name;
    }
    return target;
}

uint32_t ProposeBlockSize(uint32_t blockSize, uint32_t sectorSize)
{
    if (sectorSize == 0 || blockSize % sectorSize == 0)
        return blockSize;
    const uint64_t proposal = ((uint64_t)blockSize / sectorSize + 1) * sectorSize;
    // A proposal past 32 bits would wrap to a tiny block; keep the largest multiple instead.
    return proposal > UINT32_MAX ? (UINT32_MAX / sectorSize) * sectorSize : (uint32_t)proposal;
}

uint64_t RequestCount(uint64_t size, uint32_t blockSize)
{
    if (blockSize == 0)
        return 0;
    const uint64_t whole = size / blockSize;
    return whole ? whole : 1;
}

std::string FormatFileResult(uint64_t bytesMoved, uint64_t elapsedMicroseconds, MediumClass medium)
{
    if (elapsedMicroseconds <= 10)
        return "[too fast]";
    // KiB per second, the unit of the drive speed factors.
    const float rate = (float)((double)bytesMoved / 1024.0 * 1000.0 * 1000.0 / (double)elapsedMicroseconds);
    std::string text = FormatByteSize((uint64_t)rate * 1024, 0) + "/sec";
    if (medium == kMediumDvd)
        text += StringPrintf(" - %.1fx dvd", rate / kDvdSingleSpeedKiB);
    else if (medium == kMediumCd)
        text += StringPrintf(" - %.1fx cd-rom", rate / kCdSingleSpeedKiB);
    return text;
}

bool ParseDecimal(const std::string& text, uint64_t* value)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return false;
    uint64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const uint64_t digit = (uint64_t)(text[i] - '0');
        v = v > (UINT64_MAX - digit) / 10 ? UINT64_MAX : v * 10 + digit;
    }
    *value = v;
    return true;
}

uint64_t MiBFieldBytes(const std::string& text)
{
    uint64_t mib = 0;
    if (!ParseDecimal(text, &mib))
        return 0;
    return mib > (UINT64_MAX >> 20) ? UINT64_MAX : mib << 20;
}

std::string ListTextOfFile(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot + 4 >= name.size())
        return name.substr(0, dot);
    return name;
}

std::string MsgRenameForWrite(const std::string& name)
{
    return StringPrintf("Only filenames which are starting with an underline are valid on write testes.\n\n"
                        "Should the filename be changed to \xBB_%.100s\xAB?\n",
                        name.c_str());
}

std::string MsgEnterSize() { return "Please enter first desired test file size."; }

std::string MsgFreeSpaceTooSmall(uint64_t freeBytes, uint64_t testSize)
{
    return StringPrintf("DiskSpace %" PRIu64 " MB is smaller than your Testfile %" PRIu64
                        " MB.\n\nDo you really want start the test?",
                        freeBytes / 1024 / 1024, testSize / 1024 / 1024);
}

std::string MsgNoFreeSpace() { return "Can't get free DiskSpace.\n\nDo you really want start the test?"; }

std::string MsgBlockNotSectorMultiple(uint32_t blockSize, uint32_t sectorSize, uint32_t proposal)
{
    return StringPrintf("The block size %u must be a multiple of the sector size of %u bytes.\n\n"
                        "Should the block size set to %u?\n\n",
                        blockSize, sectorSize, proposal);
}

std::string MsgSmallFile(uint64_t size)
{
    return "Your file is only " + FormatByteSize(size, 0) +
           " large.\n\nSince this is pretty small, the results may not be representative.\n\n"
           "Do you really wanna continue?";
}

std::string MsgFileTooSmall()
{
    return "The selected testfile is too small.\n\nIt must be larger than your blocksize.";
}

std::string MsgCannotOpenSave(const std::string& path, uint32_t error, const char* errorText)
{
    return StringPrintf("Can't open file \xBB%s\xAB for writing.\n\nError %u - %s", path.c_str(), error,
                        errorText ? errorText : "");
}

std::string MsgMissingFileTitle(const std::string& path)
{
    return StringPrintf("The test file \xBB%s\xAB doesn't exist.", path.c_str());
}

std::string MsgPathTooLong(const std::string& path)
{
    return StringPrintf("The path \xBB%.100s...\xAB is %u characters long.\n\n"
                        "Test files are limited to %u characters; please choose a shorter path.",
                        path.c_str(), (unsigned)path.size(), (unsigned)kMaxTestPath);
}
