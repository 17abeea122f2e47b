// What O_DIRECT means for an open file: whether the transfers reach the device, and the
// alignment its buffers, sizes and offsets must keep.
#pragma once
#include <cstdint>

struct C_DirectIo {
    int bypass = 0;           // a CacheBypass value
    uint32_t offsetAlign = 0; // sizes and offsets are multiples of it
    uint32_t memAlign = 0;    // buffer addresses are multiples of it
};

// For a file opened with O_DIRECT: statx's direct-I/O alignment where the kernel gives it, else
// the device's logical block size, else 4096.
C_DirectIo QueryDirectIo(int fd);
