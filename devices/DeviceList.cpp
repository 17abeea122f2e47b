#include "devices/DeviceList.h"
#include <vector>

C_DeviceList& C_DeviceList::Instance()
{
    static C_DeviceList list;
    return list;
}

void C_DeviceList::Register(DeviceCallback callback, void* owner, uint32_t options, char windowsLetter)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    m_pfnCallback = callback;
    m_pOwner = owner;
    m_dwOptions = options;
    m_dwEnumeratedKinds = 0;
    m_cWindowsLetter = windowsLetter;
    m_strSystemIdentity.clear();
}

void C_DeviceList::MarkAll()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    for (C_Device* d = m_pFirst; d; d = d->pNext)
        d->dwCaps |= kCapStale;
}

void C_DeviceList::BeginKind(uint32_t kind)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    m_dwEnumeratedKinds |= kind;
}

void C_DeviceList::Notify(uint32_t event, C_Device* device)
{
    if (m_pfnCallback)
        m_pfnCallback(event, device, 0, m_pOwner);
}

int C_DeviceList::Add(C_Device* device)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    if (m_cWindowsLetter && device->HasLetter(m_cWindowsLetter))
        m_strSystemIdentity = DeviceIdentityText(*device);
    C_Device* last = nullptr;
    for (C_Device* d = m_pFirst; d; d = d->pNext) {
        // Several records may share number and kind while a changed one waits for the
        // sweep; only an equal one counts as the same device.
        if (d->dwNumber == device->dwNumber && d->dwKind == device->dwKind && DevicesEqual(*d, *device)) {
            d->dwCaps &= ~kCapStale;
            d->TakeOver(*device);
            return 0;
        }
        last = d;
    }
    device->dwCaps &= ~kCapStale;
    device->pNext = nullptr;
    device->pList = this;
    if (last)
        last->pNext = device;
    else
        m_pFirst = device;
    Notify(kDeviceAdded, device);
    return 1;
}

C_Device* C_DeviceList::Find(uint32_t number, uint32_t kind)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    // A fresh record is preferred to a stale one of the same number.
    C_Device* stale = nullptr;
    for (C_Device* d = m_pFirst; d; d = d->pNext) {
        if (d->dwNumber == number && d->dwKind == kind) {
            if (!d->IsStale())
                return d;
            if (!stale)
                stale = d;
        }
    }
    return stale;
}

int C_DeviceList::ForEach(DeviceVisitor visitor, void* context, int includeStale)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    for (C_Device* d = m_pFirst; d;) {
        C_Device* next = d->pNext;
        if ((includeStale || !d->IsStale()) && !visitor(d, context))
            return 0;
        d = next;
    }
    return 1;
}

void C_DeviceList::Sweep()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    std::vector<C_Device*> doomed;
    for (C_Device* d = m_pFirst; d; d = d->pNext)
        if (d->IsStale() && (d->dwKind & m_dwEnumeratedKinds))
            doomed.push_back(d);
    // A record that reads through another (a CD track through its drive) must not outlive
    // it, whatever kinds this refresh enumerated.
    for (size_t i = 0; i < doomed.size(); ++i)
        for (C_Device* d = m_pFirst; d; d = d->pNext)
            if (d->pParent == doomed[i]) {
                bool listed = false;
                for (C_Device* x : doomed)
                    listed = listed || x == d;
                if (!listed)
                    doomed.push_back(d);
            }
    for (C_Device* victim : doomed) {
        C_Device** link = &m_pFirst;
        while (*link && *link != victim)
            link = &(*link)->pNext;
        if (*link)
            *link = victim->pNext;
        Notify(kDeviceRemoved, victim);
    }
    for (size_t i = doomed.size(); i-- > 0;)
        delete doomed[i];
}

void C_DeviceList::Clear()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    C_Device* d = m_pFirst;
    m_pFirst = nullptr;
    while (d) {
        C_Device* next = d->pNext;
        delete d;
        d = next;
    }
}

void C_DeviceList::Refresh(C_DeviceEnumerator* const* steps, size_t count)
{
    const bool outer = (m_dwOptions & kOptOuterLock) != 0;
    if (outer)
        m_outerLock.lock();
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_dwEnumeratedKinds = 0;
    }
    MarkAll();
    for (size_t i = 0; i < count; ++i)
        steps[i]->Enumerate(*this);
    Sweep();
    if (outer)
        m_outerLock.unlock();
}

std::string C_DeviceList::GetSystemIdentity()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    return m_strSystemIdentity;
}

size_t C_DeviceList::GetCount()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    size_t n = 0;
    for (C_Device* d = m_pFirst; d; d = d->pNext)
        ++n;
    return n;
}
