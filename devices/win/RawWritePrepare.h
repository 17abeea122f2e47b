// Before the first write of a raw run, the volumes on the device are locked and dismounted,
// so that no file system keeps working on (or writes back over) the new data. The locks
// are held by handles the run owns until its end: a lock taken on a handle that is closed
// at once is gone before the first write.
#pragma once
#include <string>
#include <vector>

class C_HandleDevice;

class C_VolumeLocks {
public:
    C_VolumeLocks() = default;
    C_VolumeLocks(const C_VolumeLocks&) = delete;
    C_VolumeLocks& operator=(const C_VolumeLocks&) = delete;
    ~C_VolumeLocks() { Release(); }

    // Locks, then dismounts, every volume of the record's letters; the record's own volume
    // through its open handle (a second handle could never take that lock). 0 when a volume
    // cannot be locked: *busy names it ("E:") and nothing stays locked.
    int Take(C_HandleDevice& device, std::string* busy);
    void Release();

private:
    std::vector<void*> m_handles; // opened here; closing one gives its lock back
    void* m_own = nullptr;        // the record's handle, unlocked on release
};
