// Standard INQUIRY data as a disk sends it (36 bytes, fields padded with blanks), for the
// tests of the decoders that read it.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

inline std::vector<uint8_t> Inquiry(const char* vendor, const char* product, const char* revision)
{
    std::vector<uint8_t> b(36, ' ');
    b[0] = 5;
    memcpy(&b[8], vendor, strlen(vendor));
    memcpy(&b[16], product, strlen(product));
    memcpy(&b[32], revision, strlen(revision));
    return b;
}
