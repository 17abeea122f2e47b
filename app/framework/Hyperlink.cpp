#include "app/framework/Hyperlink.h"
#include <shellapi.h>
#include "app/framework/FontTools.h"
#include "app/framework/OwnPainting.h"

namespace {

std::string RegistryText(const char* keyPath, const char* name)
{
    HKEY key;
    char text[260] = "";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    DWORD size = sizeof(text) - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &size) != ERROR_SUCCESS || type != REG_SZ)
        text[0] = 0;
    RegCloseKey(key);
    text[sizeof(text) - 1] = 0;
    return text;
}

bool RegistryHas(const char* keyPath, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    LONG r = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

const char* kSettingsKey = "Software\\Microsoft\\Internet Explorer\\Settings";
const char* kMainKey = "Software\\Microsoft\\Internet Explorer\\Main";

COLORREF HotLight()
{
    // COLOR_HOTLIGHT is missing on the oldest systems; red marks the hover there.
    return GetSysColorBrush(COLOR_HOTLIGHT) ? GetSysColor(COLOR_HOTLIGHT) : RGB(255, 0, 0);
}

std::string BrowserFace()
{
    const char* intl = "Software\\Microsoft\\Internet Explorer\\International";
    std::string codePage = RegistryText(intl, "Default_CodePage");
    if (!codePage.empty()) {
        std::string face = RegistryText((std::string(intl) + "\\" + codePage).c_str(), "IEPropFontName");
        if (!face.empty())
            return face;
    }
    std::string script = RegistryText(intl, "Default_Script");
    if (!script.empty()) {
        std::string face =
            RegistryText((std::string(intl) + "\\Scripts\\" + script).c_str(), "IEPropFontName");
        if (!face.empty())
            return face;
    }
    return RegistryText("Software\\Microsoft\\Internet Explorer\\Styles", "IEPropFontName");
}

} // namespace

int C_Hyperlink::Attach(HWND control, const char* text, const char* url, UINT cursorId, uint32_t options,
                        LinkCallback callback, void* userData)
{
    if (!control || m_sub.GetWindow())
        return 0;
    m_hInstance = (HINSTANCE)GetWindowLongPtrA(control, GWLP_HINSTANCE);
    m_strText = text ? text : "";
    m_strUrl = url ? url : "";
    m_cursorId = cursorId;
    m_dwOptions = options;
    m_pfnCallback = callback;
    m_pUserData = userData;
    if (GetPropA(control, C_SubClassing::PropertyName(kTagLink).c_str()))
        return 0;
    // The object draws the text; the control keeps none of its own.
    SetWindowTextA(control, "");
    if (!m_sub.Attach(control, Callback, this))
        return 0;
    typedef void*(WINAPI * OpenThemeFn)(HWND, LPCWSTR);
    HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
    OpenThemeFn openTheme = uxtheme ? (OpenThemeFn)GetProcAddress(uxtheme, "OpenThemeData") : nullptr;
    m_hTheme = openTheme ? openTheme(control, L"TOOLBAR") : nullptr;
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_NOTIFY);
    ReadBrowserLook();
    MakeFonts();
    InvalidateRect(control, nullptr, TRUE);
    return 1;
}

void C_Hyperlink::Detach()
{
    HWND window = m_sub.GetWindow();
    m_sub.Detach();
    if (window && IsWindow(window))
        SetWindowTextA(window, m_strText.c_str());
    if (m_hTheme) {
        typedef HRESULT(WINAPI * CloseThemeFn)(void*);
        CloseThemeFn closeTheme =
            (CloseThemeFn)GetProcAddress(GetModuleHandleA("uxtheme.dll"), "CloseThemeData");
        if (closeTheme)
            closeTheme(m_hTheme);
        m_hTheme = nullptr;
    }
    ReleaseFonts();
}

void C_Hyperlink::SetText(const char* text)
{
    m_strText = text ? text : "";
    MakeFonts();
    if (m_sub.GetWindow())
        InvalidateRect(m_sub.GetWindow(), nullptr, TRUE);
}

void C_Hyperlink::ReadBrowserLook()
{
    m_link = RGB(0, 102, 204);
    m_visited = GetSysColor(COLOR_GRAYTEXT);
    m_hover = HotLight();
    std::string hover = RegistryText(kSettingsKey, "Use Anchor Hover Color");
    m_bHoverColour = !RegistryHas(kSettingsKey, "Use Anchor Hover Color") || IsYes(hover.c_str());
    uint8_t r, g, b;
    if (ParseRgbText(RegistryText(kSettingsKey, "Anchor Color").c_str(), &r, &g, &b))
        m_link = RGB(r, g, b);
    if (ParseRgbText(RegistryText(kSettingsKey, "Anchor Color Hover").c_str(), &r, &g, &b))
        m_hover = RGB(r, g, b);
    std::string underline = RegistryText(kMainKey, "Anchor Underline");
    m_underline = ParseUnderlineMode(underline.empty() ? nullptr : underline.c_str());
    if (IsYes(RegistryText(kMainKey, "Use_DlgBox_Colors").c_str())) {
        m_link = GetSysColorBrush(COLOR_HOTLIGHT) ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 102, 204);
        m_hover = GetSysColor(COLOR_HIGHLIGHT);
    }
}

void C_Hyperlink::ReleaseFonts()
{
    if (m_hPlain)
        DeleteObject(m_hPlain);
    if (m_hUnderlined)
        DeleteObject(m_hUnderlined);
    m_hPlain = m_hUnderlined = nullptr;
}

void C_Hyperlink::MakeFonts()
{
    HWND window = m_sub.GetWindow();
    if (!window)
        return;
    ReleaseFonts();
    HFONT own = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    LOGFONTA lf = {};
    GetObjectA(own ? own : GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    if (!(m_dwOptions & kOwnFont)) {
        std::string face;
        if (m_dwOptions & kBrowserFace)
            face = BrowserFace();
        if (face.empty() || !IsFontInstalled(face.c_str()))
            face = FirstInstalledFace({"Segoe UI", "Verdana", "Arial"}, lf.lfFaceName);
        lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
        RECT client;
        GetClientRect(window, &client);
        int start = (m_dwOptions & kFitControlHeight) ? client.bottom : abs(lf.lfHeight);
        lf.lfHeight = -FitFontHeight(window, lf, start ? start : 13, m_strText, DT_SINGLELINE | DT_NOPREFIX,
                                     client.right + 1, client.bottom + 1);
    }
    m_nFontHeight = abs(lf.lfHeight);
    lf.lfUnderline = FALSE;
    m_hPlain = CreateFontIndirectA(&lf);
    lf.lfUnderline = TRUE;
    m_hUnderlined = CreateFontIndirectA(&lf);
}

void C_Hyperlink::Paint(HDC dc)
{
    HWND window = m_sub.GetWindow();
    RECT client;
    GetClientRect(window, &client);
    if (!(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) {
        HBRUSH brush = (HBRUSH)SendMessageA(GetParent(window), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)window);
        FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    }
    bool underline = m_underline == kUnderlineAlways || (m_underline == kUnderlineHover && m_bHover);
    HGDIOBJ old = SelectObject(dc, underline ? m_hUnderlined : m_hPlain);
    COLORREF colour = !IsWindowEnabled(window) ? m_visited : (m_bHover && m_bHoverColour) ? m_hover : m_link;
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    RECT text = client;
    DrawTextA(dc, m_strText.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_CALCRECT);
    text.bottom = client.bottom;
    text.top = client.top;
    DrawTextA(dc, m_strText.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    if (GetFocus() == window)
        DrawFocusRect(dc, &text);
    SelectObject(dc, old);
}

void C_Hyperlink::Event(int event)
{
    HWND window = m_sub.GetWindow();
    if (m_pfnCallback) {
        m_pfnCallback(event, m_pUserData);
        return;
    }
    if (event < kLinkEnter)
        return;
    if (m_dwOptions & kCommandToParent)
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), 0), (LPARAM)window);
    else if (!m_strUrl.empty())
        ShellExecuteA(GetParent(window), "open", m_strUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int C_Hyperlink::Callback(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, void* userData)
{
    return ((C_Hyperlink*)userData)->Handle(message, wParam, lParam, result);
}

int C_Hyperlink::Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    HWND window = m_sub.GetWindow();
    if (HandleOwnPainting(window, message, result, [this](HDC dc) { Paint(dc); }))
        return 1;
    switch (message) {
    case WM_NCHITTEST:
        *result = HTCLIENT;
        return 1;
    case WM_SETTEXT:
        // The text belongs to the object; the control stays empty.
        SetText((const char*)lParam);
        *result = TRUE;
        return 1;
    case WM_GETDLGCODE: {
        MSG* msg = (MSG*)lParam;
        *result = DLGC_WANTCHARS |
                  ((msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) ? DLGC_WANTMESSAGE : 0);
        return 1;
    }
    case WM_SETCURSOR: {
        HCURSOR cursor = m_cursorId ? LoadCursorById(m_hInstance, m_cursorId) : LoadCursor(nullptr, IDC_HAND);
        SetCursor(cursor ? cursor : LoadCursor(nullptr, IDC_ARROW));
        *result = TRUE;
        return 1;
    }
    case WM_MOUSEMOVE:
        BeginHover(window, m_bHover);
        return 0;
    case WM_MOUSELEAVE:
        m_bHover = false;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP)
            SetFocus(window);
        Event(kLinkPress);
        // Swallowed, so the static control adds no click notification of its own.
        *result = 0;
        return 1;
    case WM_LBUTTONUP:
        Event(kLinkRelease);
        *result = 0;
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            Event(kLinkEnter);
            *result = 0;
            return 1;
        }
        if (wParam == VK_SPACE) {
            Event(kLinkSpace);
            *result = 0;
            return 1;
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    default:
        return 0;
    }
}
