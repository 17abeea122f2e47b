// Random numbers: the per-thread 15-bit generator behind every random position, and
// buffer filling from the system's cryptographic generator.
#pragma once
#include <cstdint>

void Rand15Seed(uint32_t seed);
uint32_t Rand15(); // 0..32767

// Maps random bytes onto a text alphabet (1, 2 or other non-zero); alphabet 0 leaves them.
void MapToAlphabet(uint8_t* buffer, uint32_t length, int alphabet);
// Fills length bytes with random bytes (alphabet 0) or random text (1, 2, others).
int FillRandom(void* buffer, uint32_t length, int alphabet);
