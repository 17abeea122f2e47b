// Arbitrary bytes as a disc for the walk: the input is the disc from sector 16 on (the
// seeds are real images cut there), and also a table of contents.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include "app/pages/file/cdfs/CdfsDrive.h"

namespace {
class C_FuzzDisc : public C_SectorSource {
public:
    C_FuzzDisc(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    int ReadSector(uint32_t sector, uint8_t* buffer) override
    {
        if (sector >= end)
            __builtin_trap(); // the walk was told where the disc ends
        if (sector < 16) {
            memset(buffer, 0, kCdfsSectorSize);
            return 1;
        }
        const uint64_t at = uint64_t(sector - 16) * kCdfsSectorSize;
        if (at >= m_size)
            return 0;
        const size_t n = m_size - at < kCdfsSectorSize ? size_t(m_size - at) : kCdfsSectorSize;
        memcpy(buffer, m_data + at, n);
        memset(buffer + n, 0, kCdfsSectorSize - n);
        return 1;
    }

    uint64_t end = kCdfsNoEnd;

private:
    const uint8_t* m_data;
    size_t m_size;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t start = 0;
    CdfsDataTrackStart(data, uint32_t(size < 2048 ? size : 2048), &start);

    // The disc ends after the input: no sector beyond it is asked for, each directory
    // sector is read once and the first sector of a directory at most once more.
    C_FuzzDisc disc(data, size);
    const uint64_t readable = 16 + (size + kCdfsSectorSize - 1) / kCdfsSectorSize;
    disc.end = readable;
    C_CdfsSearch search;
    search.ullMinimum = size ? data[0] : 0;
    search.ullDiscEnd = readable;
    CDFSProcessDescriptors(disc, 0, 'F', search);
    if (search.strPath.size() > kCdfsPathCapacity || search.dwSectorsRead > 2 * readable)
        __builtin_trap();
    return 0;
}
