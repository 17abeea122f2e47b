// Takes over the window procedure of an existing control. Each kind (a four-character tag)
// marks its window with its own property, so a window carries at most one of each kind.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

#define QM_TAG(a, b, c, d)                                                                                   \
    (((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d))

enum : uint32_t {
    kTagEdit = QM_TAG('e', 'd', 'i', 't'),
    kTagLink = QM_TAG('l', 'i', 'n', 'k'),
    kTagLabel = QM_TAG('s', 't', 'a', 'x'),
    kTagList = QM_TAG('l', 'i', 's', '1'),
    kTagListEdit = QM_TAG('l', 'i', 's', '2'),
    kTagImage = QM_TAG('b', 'i', 't', 'x'),
    kTagUpdate = QM_TAG('a', 'u', 'u', 'p'),
    kTagDeviceNotify = QM_TAG('d', 'e', 'n', 'o'),
    kTagLayered = QM_TAG('b', 'i', 'm', 'u'),
    kTagDivider = QM_TAG('d', 'i', 'v', 'i'),
    kTagTree = QM_TAG('t', 'r', 'e', 'e'),
    kTagSysLink = QM_TAG('s', 'y', 's', 'l'),
};

// Returns 1 when it handled the message, with the procedure's result in *result.
typedef int (*SubClassCallback)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                                void* userData);

class C_SubClassing {
public:
    explicit C_SubClassing(uint32_t tag) : m_dwTag(tag) {}
    ~C_SubClassing() { Detach(); }
    C_SubClassing(const C_SubClassing&) = delete;
    C_SubClassing& operator=(const C_SubClassing&) = delete;

    // 0 when the window already carries this kind (or the tag has no procedure).
    int Attach(HWND window, SubClassCallback callback, void* userData);
    int Detach();
    // The control's own handling of a message.
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    HWND GetWindow() const { return m_hWnd; }

    static std::string PropertyName(uint32_t tag);
    static LRESULT Dispatch(uint32_t tag, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    uint32_t m_dwTag;
    HWND m_hWnd = nullptr;
    WNDPROC m_pfnPrevious = nullptr;
    SubClassCallback m_pfnCallback = nullptr;
    void* m_pUserData = nullptr;
};
