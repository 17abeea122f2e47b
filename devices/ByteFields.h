// Fields of device answers: big- and little-endian numbers and fixed-width texts.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Big-endian readers of command answers.
uint32_t ReadBe16(const uint8_t* p);
uint32_t ReadBe32(const uint8_t* p);
uint64_t ReadBe64(const uint8_t* p);
void WriteBe16(uint8_t* p, uint32_t v);
void WriteBe32(uint8_t* p, uint32_t v);
void WriteBe64(uint8_t* p, uint64_t v);
// Little-endian readers of the system's own structures.
uint32_t ReadLe16(const uint8_t* p);
uint32_t ReadLe32(const uint8_t* p);

// Text of a fixed-width field: at most width bytes, stopping at a zero byte.
std::string FixedText(const uint8_t* p, size_t width);
std::string TrimRight(const std::string& text);
std::string TrimBoth(const std::string& text);
