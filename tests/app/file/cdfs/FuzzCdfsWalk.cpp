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

private:
    const uint8_t* m_data;
    size_t m_size;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t start = 0;
    CdfsDataTrackStart(data, uint32_t(size < 2048 ? size : 2048), &start);

    C_FuzzDisc disc(data, size);
    C_CdfsSearch search;
    search.ullMinimum = size ? data[0] : 0;
    CDFSProcessDescriptors(disc, 0, 'F', search);
    // A sector is asked for at most once: the readable ones (0-15 and the input's), and one
    // unreadable sector for each record (at least 34 bytes) or descriptor that names one.
    const uint64_t readable = 16 + (size + kCdfsSectorSize - 1) / kCdfsSectorSize;
    if (search.strPath.size() > kCdfsPathCapacity ||
        search.dwSectorsRead > readable + readable * 2048 / 34 + 100)
        __builtin_trap();
    return 0;
}
