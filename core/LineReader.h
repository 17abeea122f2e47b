// The line splitter behind C_File::ReadLine: a 4096-byte window over a byte source.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class C_LineReader {
public:
    enum { kBufferSize = 4096 };
    // Fills up to size bytes; returns 0 on a failed read, else 1 with *got set (0 = end).
    typedef int (*Source)(void* context, uint8_t* buffer, uint32_t size, uint32_t* got);

    // Reads one line into text. Wide: 16-bit little-endian units, each appended as two bytes.
    // quote: the unit that toggles the inside-quotes state, or -1 for none.
    // Returns 1 for a line (possibly empty, when ended by LF), 0 at end of input with nothing
    // read or on a failed read.
    int ReadLine(std::string& text, int wide, int quote, Source source, void* context);
    void Reset();

private:
    std::vector<uint8_t> m_buffer;
    uint32_t m_cursor = 0;
    uint32_t m_fill = 0;
};
