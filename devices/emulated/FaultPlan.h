// Failures injected on chosen blocks of an emulated device: a transfer that touches such
// a block fails with its Win32 error (ERROR_CRC, ERROR_IO_DEVICE, ERROR_INVALID_PARAMETER...).
#pragma once
#include <cstdint>
#include <map>

class C_FaultPlan {
public:
    void Inject(uint64_t block, uint32_t error) { m_faults[block] = error; }
    void Remove(uint64_t block) { m_faults.erase(block); }
    void Clear() { m_faults.clear(); }
    // The error of the first faulty block in [block, block + count), 0 when none.
    uint32_t Check(uint64_t block, uint64_t count) const
    {
        auto it = m_faults.lower_bound(block);
        return it != m_faults.end() && it->first < block + count ? it->second : 0;
    }
    // Number of transfers that hit a fault so far.
    uint32_t hits = 0;

private:
    std::map<uint64_t, uint32_t> m_faults;
};
