#include "core/posix/DirectIo.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <cstdio>
#include "core/CacheNote.h"

namespace {
const long kTmpfsMagic = 0x01021994;
const long kRamfsMagic = 0x858458f6;

uint32_t ReadNumberFile(const char* path)
{
    FILE* f = fopen(path, "r");
    if (!f)
        return 0;
    unsigned value = 0;
    if (fscanf(f, "%u", &value) != 1)
        value = 0;
    fclose(f);
    return value;
}

// The logical block size of the device holding the file; a partition's queue is its disk's.
uint32_t LogicalBlockSize(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return 0;
    char path[96];
    snprintf(path, sizeof(path), "/sys/dev/block/%u:%u/queue/logical_block_size", major(st.st_dev),
             minor(st.st_dev));
    uint32_t size = ReadNumberFile(path);
    if (!size) {
        snprintf(path, sizeof(path), "/sys/dev/block/%u:%u/../queue/logical_block_size", major(st.st_dev),
                 minor(st.st_dev));
        size = ReadNumberFile(path);
    }
    return size;
}
} // namespace

C_DirectIo QueryDirectIo(int fd)
{
    C_DirectIo info;
    info.bypass = kBypassDevice;
    struct statfs fs;
    if (fstatfs(fd, &fs) == 0 && ((long)fs.f_type == kTmpfsMagic || (long)fs.f_type == kRamfsMagic))
        info.bypass = kBypassMemory;
#ifdef STATX_DIOALIGN
    struct statx sx;
    if (statx(fd, "", AT_EMPTY_PATH, STATX_DIOALIGN, &sx) == 0 && (sx.stx_mask & STATX_DIOALIGN)) {
        if (sx.stx_dio_offset_align == 0) {
            // The file system takes O_DIRECT but serves it through the cache (ext4 with
            // data=journal, for one).
            if (info.bypass == kBypassDevice)
                info.bypass = kBypassIgnored;
        } else {
            info.offsetAlign = sx.stx_dio_offset_align;
            info.memAlign = sx.stx_dio_mem_align ? sx.stx_dio_mem_align : sx.stx_dio_offset_align;
            return info;
        }
    }
#endif
    const uint32_t block = LogicalBlockSize(fd);
    info.offsetAlign = info.memAlign = block ? block : 4096;
    return info;
}
