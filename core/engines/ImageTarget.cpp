#include "core/engines/ImageTarget.h"

C_ImageTarget::C_ImageTarget(const std::string& path, uint32_t blockSize, uint32_t openFlags)
    : m_path(path), m_blockSize(blockSize), m_openFlags(openFlags)
{
}

int C_ImageTarget::LengthNow(uint64_t* bytes)
{
    C_File file;
    return file.Open(m_path.c_str(), kOpenRead, 0, kShareReadWrite) && file.GetSize(bytes);
}

int C_ImageTarget::Measure() { return LengthNow(&m_bytes); }

int C_ImageTarget::IsSameDevice()
{
    uint64_t bytes = 0;
    return LengthNow(&bytes) && bytes == m_bytes;
}

int C_ImageTarget::Open()
{
    return m_file.Open(m_path.c_str(), kOpenReadWriteExisting, m_openFlags, kShareReadWrite);
}

int C_ImageTarget::Close() { return m_file.Close(); }

int C_ImageTarget::ReadBlocks(uint64_t block, uint32_t count, void* buffer)
{
    return m_file.ReadAt(block * m_blockSize, count * m_blockSize, buffer);
}

int C_ImageTarget::WriteBlocks(uint64_t block, uint32_t count, const void* buffer)
{
    return m_file.WriteAt(block * m_blockSize, count * m_blockSize, buffer);
}
