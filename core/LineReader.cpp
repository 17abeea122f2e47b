#include "core/LineReader.h"

void C_LineReader::Reset()
{
    m_cursor = 0;
    m_fill = 0;
}

int C_LineReader::ReadLine(std::string& text, int wide, int quote, Source source, void* context)
{
    text.clear();
    if (m_buffer.empty())
        m_buffer.resize(kBufferSize);
    const uint32_t unit = wide ? 2 : 1;
    int inQuotes = 0;
    for (;;) {
        if (m_cursor == 0) {
            uint32_t got = 0;
            if (!source(context, m_buffer.data(), kBufferSize, &got))
                return 0;
            if (got > kBufferSize)
                got = kBufferSize;
            m_fill = got - (got % unit); // an odd trailing byte cannot form a wide unit
            if (m_fill == 0)
                return text.empty() ? 0 : 1;
        }
        int c = m_buffer[m_cursor];
        if (wide)
            c |= m_buffer[m_cursor + 1] << 8;
        m_cursor += unit;
        if (m_cursor >= m_fill)
            m_cursor = 0;

        if (quote >= 0 && c == quote)
            inQuotes = !inQuotes;
        if (c == '\n' && !inQuotes)
            return 1;
        if (c == '\r' && !inQuotes)
            continue;
        text += (char)(c & 0xFF);
        if (wide)
            text += (char)(c >> 8);
    }
}
