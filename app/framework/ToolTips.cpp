#include "app/framework/ToolTips.h"
#include <commctrl.h>

int C_ToolTips::Create(HWND owner)
{
    Destroy();
    m_hOwner = owner;
    m_hWnd = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE), nullptr);
    return m_hWnd != nullptr;
}

void C_ToolTips::Destroy()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

namespace {
TTTOOLINFOA ToolOf(HWND owner, HWND control, const char* text)
{
    TTTOOLINFOA tool = {};
    // The size every version of the common controls takes.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = (UINT_PTR)control;
    tool.lpszText = (char*)text;
    return tool;
}
} // namespace

void C_ToolTips::Add(HWND control)
{
    if (!m_hWnd || !control)
        return;
    // A static control passes the mouse through to its dialog unless it notifies, and the
    // tooltip would never see the pointer over it.
    char className[16] = "";
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0)
        SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_NOTIFY);
    TTTOOLINFOA tool = ToolOf(m_hOwner, control, "");
    SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, (LPARAM)&tool);
}

void C_ToolTips::SetText(HWND control, const char* text)
{
    if (!m_hWnd)
        return;
    TTTOOLINFOA tool = ToolOf(m_hOwner, control, text);
    SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, (LPARAM)&tool);
}
