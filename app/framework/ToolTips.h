// A tooltip window for some controls of a dialog: each control is a tool of its own, whose
// text can change at any time (an empty text shows no tip). The object owns the window: a
// popup's owner is the dialog's top-level window, which outlives a page, so the page destroys
// its tooltips itself when it goes.
#pragma once
#include <windows.h>

class C_ToolTips {
public:
    C_ToolTips() = default;
    C_ToolTips(const C_ToolTips&) = delete;
    C_ToolTips& operator=(const C_ToolTips&) = delete;
    // Creates the window for owner (a dialog); 0 when it cannot be made.
    int Create(HWND owner);
    ~C_ToolTips() { Destroy(); }
    void Destroy();
    // The control becomes a tool, with no text yet.
    void Add(HWND control);
    void SetText(HWND control, const char* text);
    HWND GetHandle() const { return m_hWnd; }

private:
    HWND m_hOwner = nullptr;
    HWND m_hWnd = nullptr;
};
