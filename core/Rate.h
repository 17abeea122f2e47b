// Rates of the speed tests: bytes over time, the result line of a random pass, and the
// median of repeated figures. Pure arithmetic.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct C_EngineResult;

struct C_RateResult {
    int tooFast = 0; // no clock tick passed: "[too fast]"
    float bytesPerSecond = 0;
    uint32_t mibPerSecond = 0;
    std::string text; // "45.3 MByte/sec" or "[too fast]"
};

// Rate of bytes moved in elapsed microseconds (1 ms steps).
C_RateResult ComputeRate(uint64_t bytes, uint64_t elapsedMicroseconds);

// The median of count values (the mean of the middle two for an even count); 0 for none.
double MedianOf(const double* values, size_t count);

// "12.3 MByte/sec, 3149.6 IOPS, 0.32 ms"
std::string FormatAccessResult(uint32_t accesses, uint64_t elapsedMicroseconds);
// The same line for a random engine's result; empty when the run was stopped (its figure
// would not be one of the whole measuring time) or counted nothing. A run that failed in one
// thread still has the figure of the others.
std::string FormatAccessResult(const C_EngineResult& result);
