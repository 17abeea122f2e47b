// The walk over a disc's ISO 9660 volume descriptors and directory trees (primary and
// Joliet) that finds the file lying farthest out: the highest start sector among the files
// at least as large as a minimum. Pure: sectors come from a C_SectorSource, so the same
// walk runs over a drive, an emulated drive, an image file or a fuzzer's bytes.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>

const uint32_t kCdfsSectorSize = 2048;
// Characters a found path may have: the test file path holds 259 and a terminator.
const size_t kCdfsPathCapacity = 259;
// Directory levels the walk descends at most (a 259-character path has fewer levels).
const uint32_t kCdfsMaxDepth = 130;
// One past the highest sector a 32-bit address names: the end of a disc whose size is unknown.
const uint64_t kCdfsNoEnd = 0x100000000ull;

class C_SectorSource {
public:
    virtual ~C_SectorSource() = default;
    // One 2048-byte sector of the disc; 1 or 0.
    virtual int ReadSector(uint32_t sector, uint8_t* buffer) = 0;
};

// Sectors already taken, kept as runs of consecutive sectors: a walk reads directories
// sector after sector, so a disc's worth of sectors costs a few runs, not a node each.
class C_SectorRuns {
public:
    int Has(uint32_t sector) const;
    // 1 when the sector is new (it is added), 0 when it was taken before.
    int Take(uint32_t sector);

private:
    std::map<uint32_t, uint64_t> m_runs; // first sector -> one past the last
};

// State of one search, shared by every tree of the disc.
struct C_CdfsSearch {
    // Files smaller than this are not candidates. 64-bit: a request of 4 GiB or more is kept
    // whole, and no ISO 9660 extent (32-bit length) reaches it.
    uint64_t ullMinimum = 0;
    uint32_t dwBestStart = 0;
    // Full path of the best file so far ("X:\DIR\NAME"); empty while none qualified.
    std::string strPath;
    // Directory sectors walked so far, in any tree: a damaged disc whose directory points
    // back at an ancestor, overlaps another or repeats a descriptor is not walked twice, so
    // a search reads each directory sector of the disc at most once, and the first sector
    // of a directory that another one's extent ran into at most twice (heads).
    C_SectorRuns visited, heads;
    uint32_t dwSectorsRead = 0;
    // One past the disc's last sector: nothing at or beyond it is asked for, so a record
    // that names a sector off the disc, or a length near 4 GiB, costs no reads there.
    uint64_t ullDiscEnd = kCdfsNoEnd;
    // Asked before every sector read; true ends the whole search at once (bStopped is then
    // 1 and the best path so far is left as it was).
    std::function<bool()> stopRequested;
    int bStopped = 0;
};

// A directory record's identifier as a name: Joliet keeps the low byte of each UCS-2
// character (an odd final byte is dropped); a final ".;1", then a final ";1", is removed.
// 0 when the name cannot be part of a path (empty, a control character or a separator).
int CdfsRecordName(const uint8_t* identifier, uint32_t length, int joliet, std::string* name);

// Walks one directory extent [first, end) and, depth first, every directory below it.
// directoryPath ends with "\". The extent ends early at the disc's end, at a sector walked
// before, and at a sector after its first that opens with a directory's own record (the
// start of another directory, which its own record walks). 0 when a sector read failed or
// the search was stopped, else 1.
int CDFSProcessDirectory(C_SectorSource& source, uint32_t first, uint64_t end, int joliet,
                         const std::string& directoryPath, C_CdfsSearch& search, uint32_t depth = 0);

// Reads the volume descriptors from start + 16 (at most 100 sectors, up to the terminator)
// and walks the primary tree and a Joliet tree under "%c:\" with the drive letter. The
// best start sector begins at 0 and is shared by the trees, so a tie goes to the later
// tree: a disc with both names the Joliet form.
void CDFSProcessDescriptors(C_SectorSource& source, uint32_t start, char letter, C_CdfsSearch& search);
