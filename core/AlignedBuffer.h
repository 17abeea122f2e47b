// The engines' data buffer: one block on the first 4096-byte boundary strictly above the
// allocation's start, so transfers that bypass the cache find it sector-aligned.
#pragma once
#include <cstdint>
#include <cstdlib>

class C_AlignedBuffer {
public:
    C_AlignedBuffer() = default;
    ~C_AlignedBuffer() { free(m_pRaw); }
    C_AlignedBuffer(const C_AlignedBuffer&) = delete;
    C_AlignedBuffer& operator=(const C_AlignedBuffer&) = delete;

    // Returns 0 when the memory is not there (or the size does not fit the address space).
    int Allocate(uint32_t blockSize)
    {
        free(m_pRaw);
        m_pRaw = nullptr;
        m_pData = nullptr;
        const size_t total = (size_t)blockSize + 4096;
        if (total < blockSize)
            return 0;
        m_pRaw = (char*)malloc(total);
        if (!m_pRaw)
            return 0;
        m_pData = (void*)(((uintptr_t)m_pRaw + 4096) & ~(uintptr_t)4095);
        return 1;
    }
    void* Get() const { return m_pData; }

private:
    char* m_pRaw = nullptr;
    void* m_pData = nullptr;
};
