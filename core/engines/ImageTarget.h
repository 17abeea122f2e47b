// A block target on a file: an image, or a block device the system shows as a file (a loop
// device). Natively it stands for the devices the Windows lists give; the bench uses it too.
#pragma once
#include <string>
#include "core/File.h"
#include "core/engines/BlockTarget.h"

class C_ImageTarget : public I_BlockTarget {
public:
    // openFlags as C_File takes them (kOpenNoBuffering, ...).
    C_ImageTarget(const std::string& path, uint32_t blockSize, uint32_t openFlags = 0);

    // Notes the file's length now; IsSameDevice compares later lengths with it. 0 when the
    // file cannot be opened.
    int Measure();
    uint64_t MeasuredBytes() const { return m_bytes; }

    int Open() override;
    int Close() override;
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override;
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override;
    int IsSameDevice() override;
    int BeginWrites(std::string*) override { return 1; }
    void EndWrites() override {}

private:
    int LengthNow(uint64_t* bytes);

    std::string m_path;
    uint32_t m_blockSize;
    uint32_t m_openFlags;
    uint64_t m_bytes = 0;
    C_File m_file;
};
