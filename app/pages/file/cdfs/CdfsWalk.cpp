#include "app/pages/file/cdfs/CdfsWalk.h"
#include <cstring>
#include <iterator>
#include <vector>

namespace {
uint32_t Le32(const uint8_t* p)
{
    return p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Directory record fields (offsets in the record).
enum : uint32_t {
    kRecLength = 0,
    kRecStart = 2,
    kRecDataLength = 10,
    kRecFlags = 25,
    kRecNameLength = 32,
    kRecName = 33,
};
const uint8_t kFlagDirectory = 0x02;

// Volume descriptor fields.
enum : uint32_t { kVdType = 0, kVdId = 1, kVdEscape = 88, kVdRoot = 156 };
const uint32_t kDescriptorFirst = 16, kDescriptorCount = 100;

void RemoveSuffix(std::string& name, const char* suffix)
{
    const size_t n = strlen(suffix);
    if (name.size() >= n && name.compare(name.size() - n, n, suffix) == 0)
        name.erase(name.size() - n);
}

// A directory's first sector opens with the record of the directory itself (identifier
// 0x00, its own sector as location); no later sector of a directory does.
bool OpensDirectory(const uint8_t* sector, uint32_t at)
{
    return sector[kRecLength] != 0 && sector[kRecNameLength] == 1 && sector[kRecName] == 0 &&
           Le32(sector + kRecStart) == at;
}

// Every sector of the search goes through here: the stop request is asked first, and a
// stopped search reads nothing more.
int ReadOrStop(C_SectorSource& source, uint32_t sector, uint8_t* buffer, C_CdfsSearch& search)
{
    if (search.bStopped || (search.stopRequested && search.stopRequested())) {
        search.bStopped = 1;
        return 0;
    }
    return source.ReadSector(sector, buffer);
}

// One past the last sector of an extent; a partly used last sector still counts.
uint64_t ExtentEnd(uint32_t start, uint32_t length)
{
    return uint64_t(start) + (uint64_t(length) + kCdfsSectorSize - 1) / kCdfsSectorSize;
}
} // namespace

int C_SectorRuns::Has(uint32_t sector) const
{
    auto next = m_runs.upper_bound(sector);
    return next != m_runs.begin() && sector < std::prev(next)->second;
}

int C_SectorRuns::Take(uint32_t sector)
{
    // The run starting after the sector, and the one before it that may hold or touch it.
    auto next = m_runs.upper_bound(sector);
    if (next != m_runs.begin()) {
        auto before = std::prev(next);
        if (sector < before->second)
            return 0;
        if (sector == before->second) {
            before->second = uint64_t(sector) + 1;
            if (next != m_runs.end() && next->first == before->second) {
                before->second = next->second;
                m_runs.erase(next);
            }
            return 1;
        }
    }
    if (next != m_runs.end() && next->first == uint64_t(sector) + 1) {
        const uint64_t last = next->second;
        m_runs.erase(next);
        m_runs.emplace(sector, last);
        return 1;
    }
    m_runs.emplace(sector, uint64_t(sector) + 1);
    return 1;
}

int CdfsRecordName(const uint8_t* identifier, uint32_t length, int joliet, std::string* name)
{
    name->clear();
    if (joliet) {
        for (uint32_t i = 1; i < length; i += 2)
            name->push_back(char(identifier[i]));
    } else {
        name->assign(reinterpret_cast<const char*>(identifier), length);
    }
    RemoveSuffix(*name, ".;1");
    RemoveSuffix(*name, ";1");
    if (name->empty())
        return 0;
    for (unsigned char c : *name)
        if (c < 0x20 || c == '\\' || c == '/')
            return 0;
    return 1;
}

int CDFSProcessDirectory(C_SectorSource& source, uint32_t first, uint64_t end, int joliet,
                         const std::string& directoryPath, C_CdfsSearch& search, uint32_t depth)
{
    std::vector<uint8_t> sector(kCdfsSectorSize);
    std::string name;
    if (end > search.ullDiscEnd)
        end = search.ullDiscEnd;
    for (uint64_t s = first; s < end && s < kCdfsNoEnd; ++s) {
        // Past its first sector, a directory that runs into the first sector of another
        // leaves that sector to the other's own walk, which reads it once more (a sector
        // known to open a directory is not read again by a third).
        const int own = s == first;
        if (search.visited.Has(uint32_t(s)) || (!own && search.heads.Has(uint32_t(s))))
            break;
        const int read = ReadOrStop(source, uint32_t(s), sector.data(), search);
        if (search.bStopped)
            return 0;
        ++search.dwSectorsRead;
        if (read && !own && OpensDirectory(sector.data(), uint32_t(s))) {
            search.heads.Take(uint32_t(s));
            break;
        }
        // A sector that could not be read is not asked for again either.
        search.visited.Take(uint32_t(s));
        if (!read)
            return 0;
        uint32_t offset = 0;
        while (offset + kRecName < kCdfsSectorSize) {
            const uint8_t* rec = sector.data() + offset;
            const uint32_t nameLength = rec[kRecNameLength];
            if (nameLength == 0)
                break;
            uint32_t length = rec[kRecLength];
            if (length == 0)
                length = (kRecName + nameLength + 1) & ~1u;
            // A record that cannot hold its own name, or that runs past the sector, is
            // damage: nothing after it in this sector can be trusted.
            if (length < kRecName + nameLength || offset + length > kCdfsSectorSize)
                break;
            offset += length;
            const uint8_t* id = rec + kRecName;
            if (nameLength == 1 && (id[0] == 0 || id[0] == 1))
                continue;
            if (!CdfsRecordName(id, nameLength, joliet, &name))
                continue;
            const uint32_t start = Le32(rec + kRecStart);
            const uint32_t dataLength = Le32(rec + kRecDataLength);
            if (rec[kRecFlags] & kFlagDirectory) {
                const std::string below = directoryPath + name + "\\";
                // No file name fits below a folder path of the full capacity.
                if (below.size() < kCdfsPathCapacity && depth + 1 < kCdfsMaxDepth)
                    CDFSProcessDirectory(source, start, ExtentEnd(start, dataLength), joliet, below, search,
                                         depth + 1);
                if (search.bStopped)
                    return 0;
                continue;
            }
            if (dataLength >= search.ullMinimum && start >= search.dwBestStart &&
                directoryPath.size() + name.size() <= kCdfsPathCapacity) {
                search.dwBestStart = start;
                search.strPath = directoryPath + name;
            }
        }
    }
    return 1;
}

void CDFSProcessDescriptors(C_SectorSource& source, uint32_t start, char letter, C_CdfsSearch& search)
{
    search.dwBestStart = 0;
    const std::string root = std::string(1, letter) + ":\\";
    std::vector<uint8_t> vd(kCdfsSectorSize);
    for (uint32_t i = kDescriptorFirst; i < kDescriptorFirst + kDescriptorCount; ++i) {
        if (uint64_t(start) + i >= search.ullDiscEnd || uint64_t(start) + i >= kCdfsNoEnd ||
            !ReadOrStop(source, start + i, vd.data(), search))
            break;
        if (memcmp(vd.data() + kVdId, "CD001", 5) != 0)
            continue;
        const uint8_t type = vd[kVdType];
        if (type == 255)
            break;
        int joliet = 0;
        if (type == 2) {
            if (vd[kVdEscape] != 0x25 || vd[kVdEscape + 1] != 0x2F)
                continue;
            const uint8_t level = vd[kVdEscape + 2];
            joliet = level == 0x40 || level == 0x43 || level == 0x45;
        } else if (type != 1) {
            continue;
        }
        const uint8_t* rootRecord = vd.data() + kVdRoot;
        const uint32_t first = Le32(rootRecord + kRecStart);
        CDFSProcessDirectory(source, first, ExtentEnd(first, Le32(rootRecord + kRecDataLength)), joliet, root,
                             search);
        if (search.bStopped)
            break;
    }
}
