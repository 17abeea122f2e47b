// Position arithmetic of a pass: where a random access lands, and how far a pass has come on
// its progress bar. Pure.
#pragma once
#include <cstdint>

// Random test: the access position for a 15-bit random value r in a file of size bytes.
uint64_t RandomAccessPosition(uint64_t fileSize, uint32_t r);
// Progress bar position (0..100) of a pass: done / (total / 100) in whole numbers, 0 while
// the total is below 100 bytes.
uint32_t ProgressPercent(uint64_t done, uint64_t total);
