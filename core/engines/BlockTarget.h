// What the block engine needs of a device: raw block transfers, its open, a last look that
// it is still the device the job was made for, and the hold its volumes need for writes.
// The device records implement it with their own operations; an image file does so for the
// native runs and the bench.
#pragma once
#include <cstdint>
#include <string>

class I_BlockTarget {
public:
    virtual ~I_BlockTarget() = default;
    virtual int Open() = 0;
    virtual int Close() = 0;
    // 1 on success, else 0 with the system error left.
    virtual int ReadBlocks(uint64_t block, uint32_t count, void* buffer) = 0;
    virtual int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) = 0;
    // Whether the device behind the target still answers as it did when the job was made;
    // 0 when it cannot be asked.
    virtual int IsSameDevice() = 0;
    // Before a run's first write: 0 when a volume of the device is in use (*busy names it).
    virtual int BeginWrites(std::string* busy) = 0;
    virtual void EndWrites() = 0;
};
