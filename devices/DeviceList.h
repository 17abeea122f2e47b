// The process-wide list of device records, refreshed on a page's thread. The list owns its
// records; a page registers a callback that hears every addition (event 0) and removal
// (event 1), called inside the list lock on the refreshing thread.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include "devices/Device.h"

enum : uint32_t { kDeviceAdded = 0, kDeviceRemoved = 1 };

typedef void (*DeviceCallback)(uint32_t event, C_Device* device, uintptr_t zero, void* owner);
typedef int (*DeviceVisitor)(C_Device* device, void* context);

// One step of a refresh: adds the records of one kind.
class C_DeviceEnumerator {
public:
    virtual ~C_DeviceEnumerator() = default;
    virtual void Enumerate(C_DeviceList& list) = 0;
};

class C_DeviceList {
public:
    C_DeviceList() = default;
    ~C_DeviceList() { Clear(); }
    C_DeviceList(const C_DeviceList&) = delete;
    C_DeviceList& operator=(const C_DeviceList&) = delete;

    static C_DeviceList& Instance();

    // windowsLetter: drive letter of the Windows folder (0 when unknown); the system
    // identity text is set from the record that holds it.
    void Register(DeviceCallback callback, void* owner, uint32_t options, char windowsLetter);
    void MarkAll();
    // An enumerator announces its kind before it adds records, so the sweep knows which
    // stale records it may remove.
    void BeginKind(uint32_t kind);
    // 1 when inserted (the list owns it); 0 when an equal record exists (the caller keeps
    // and deletes its record).
    int Add(C_Device* device);
    C_Device* Find(uint32_t number, uint32_t kind);
    // Calls visitor until it returns 0; 1 when every call returned non-zero.
    int ForEach(DeviceVisitor visitor, void* context, int includeStale);
    void Sweep();
    void Clear();
    // Clear enumerated kinds, mark all, run the steps, sweep (under the outer lock with
    // option 0x4).
    void Refresh(C_DeviceEnumerator* const* steps, size_t count);

    uint32_t GetOptions() const { return m_dwOptions; }
    uint32_t GetEnumeratedKinds() const { return m_dwEnumeratedKinds; }
    char GetWindowsLetter() const { return m_cWindowsLetter; }
    std::string GetSystemIdentity();
    size_t GetCount();

private:
    void Notify(uint32_t event, C_Device* device);

    std::recursive_mutex m_lock;
    std::recursive_mutex m_outerLock;
    C_Device* m_pFirst = nullptr;
    DeviceCallback m_pfnCallback = nullptr;
    void* m_pOwner = nullptr;
    uint32_t m_dwOptions = 0;
    uint32_t m_dwEnumeratedKinds = 0;
    char m_cWindowsLetter = 0;
    std::string m_strSystemIdentity;
};
