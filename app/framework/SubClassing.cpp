#include "app/framework/SubClassing.h"
#include <cstdio>

std::string C_SubClassing::PropertyName(uint32_t tag)
{
    char name[48];
    snprintf(name, sizeof(name), "_C_SubClassing_Property_%08X", (unsigned)tag);
    return name;
}

LRESULT C_SubClassing::Dispatch(uint32_t tag, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    C_SubClassing* self = (C_SubClassing*)GetPropA(window, PropertyName(tag).c_str());
    if (!self)
        return 0;
    LRESULT result = 0;
    if (self->m_pfnCallback &&
        self->m_pfnCallback(window, message, wParam, lParam, &result, self->m_pUserData))
        return result;
    return self->CallPrevious(message, wParam, lParam);
}

// One procedure per kind: two kinds stacked on one window chain through each other, and
// each must find its own object.
template <uint32_t Tag>
static LRESULT CALLBACK KindProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return C_SubClassing::Dispatch(Tag, window, message, wParam, lParam);
}

static WNDPROC ProcForTag(uint32_t tag)
{
    switch (tag) {
    case kTagEdit:
        return KindProc<kTagEdit>;
    case kTagLink:
        return KindProc<kTagLink>;
    case kTagLabel:
        return KindProc<kTagLabel>;
    case kTagList:
        return KindProc<kTagList>;
    case kTagListEdit:
        return KindProc<kTagListEdit>;
    case kTagImage:
        return KindProc<kTagImage>;
    case kTagUpdate:
        return KindProc<kTagUpdate>;
    case kTagDeviceNotify:
        return KindProc<kTagDeviceNotify>;
    case kTagLayered:
        return KindProc<kTagLayered>;
    case kTagDivider:
        return KindProc<kTagDivider>;
    case kTagTree:
        return KindProc<kTagTree>;
    case kTagSysLink:
        return KindProc<kTagSysLink>;
    default:
        return nullptr;
    }
}

int C_SubClassing::Attach(HWND window, SubClassCallback callback, void* userData)
{
    WNDPROC proc = ProcForTag(m_dwTag);
    std::string property = PropertyName(m_dwTag);
    if (!window || !proc || m_hWnd || GetPropA(window, property.c_str()))
        return 0;
    m_hWnd = window;
    m_pfnCallback = callback;
    m_pUserData = userData;
    if (!SetPropA(window, property.c_str(), (HANDLE)this)) {
        m_hWnd = nullptr;
        return 0;
    }
    m_pfnPrevious = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)proc);
    return 1;
}

int C_SubClassing::Detach()
{
    if (!m_hWnd)
        return 0;
    if (IsWindow(m_hWnd)) {
        if (m_pfnPrevious)
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnPrevious);
        RemovePropA(m_hWnd, PropertyName(m_dwTag).c_str());
    }
    m_pfnPrevious = nullptr;
    m_hWnd = nullptr;
    return 1;
}

LRESULT C_SubClassing::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pfnPrevious)
        return 0;
    HWND window = m_hWnd;
    // The window is going away: undo the subclass on the way so no call reaches a dead object.
    if (message == WM_NCDESTROY) {
        WNDPROC previous = m_pfnPrevious;
        Detach();
        return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    return CallWindowProcA(m_pfnPrevious, window, message, wParam, lParam);
}
