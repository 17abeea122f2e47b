#include "app/framework/TextLabel.h"
#include "app/framework/ControlLook.h"
#include "app/framework/FontTools.h"
#include "app/framework/OwnPainting.h"

int C_TextLabel::Attach(HWND control, const char* faces, int size, COLORREF text, COLORREF hover,
                        uint32_t options, LPARAM clickData, LabelCallback callback, void* userData)
{
    if (!control || m_sub.GetWindow() || GetPropA(control, C_SubClassing::PropertyName(kTagLabel).c_str()))
        return 0;
    char current[1024] = "";
    GetWindowTextA(control, current, sizeof(current));
    m_strText = current;
    m_strFaces = faces ? faces : "";
    m_nSize = size;
    m_text = text;
    m_hover = hover;
    m_dwOptions = options;
    if ((GetWindowLongPtrA(control, GWL_EXSTYLE) & WS_EX_TRANSPARENT) && !(options & kNoAutoTransparent))
        m_dwOptions |= kTransparent;
    m_clickData = clickData;
    m_pfnCallback = callback;
    m_pUserData = userData;
    if (!m_sub.Attach(control, Callback, this))
        return 0;
    MakeFont();
    InvalidateRect(control, nullptr, TRUE);
    return 1;
}

void C_TextLabel::Detach()
{
    m_sub.Detach();
    if (m_hFont)
        DeleteObject(m_hFont);
    m_hFont = nullptr;
}

void C_TextLabel::SetText(const char* text)
{
    m_strText = text ? text : "";
    MakeFont();
    if (m_sub.GetWindow())
        InvalidateRect(m_sub.GetWindow(), nullptr, TRUE);
}

UINT C_TextLabel::TextFormat() const
{
    LONG_PTR style = GetWindowLongPtrA(m_sub.GetWindow(), GWL_STYLE);
    UINT format = 0;
    if ((style & SS_TYPEMASK) == SS_CENTER)
        format |= DT_CENTER;
    else if ((style & SS_TYPEMASK) == SS_RIGHT)
        format |= DT_RIGHT;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (m_dwOptions & kWrap) {
        format |= DT_WORDBREAK;
    } else {
        format |= DT_SINGLELINE;
        if ((style & SS_CENTERIMAGE) || (m_dwOptions & kVerticalCentre))
            format |= DT_VCENTER;
    }
    if (m_dwOptions & kEllipsis)
        format |= DT_END_ELLIPSIS;
    return format;
}

void C_TextLabel::MakeFont()
{
    HWND window = m_sub.GetWindow();
    if (!window)
        return;
    if (m_hFont)
        DeleteObject(m_hFont);
    LOGFONTA lf = {};
    HFONT own = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    GetObjectA(own ? own : GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    if (!(m_dwOptions & kOwnFont)) {
        m_strFace = FirstInstalledFace(SplitFaceList(m_strFaces), "Verdana");
        lstrcpynA(lf.lfFaceName, m_strFace.c_str(), LF_FACESIZE);
        lf.lfWeight = (m_dwOptions & kBold) ? 700 : 400;
        lf.lfUnderline = (m_dwOptions & kUnderline) != 0;
        lf.lfItalic = (m_dwOptions & kItalic) != 0;
        lf.lfWidth = 0;
        RECT client;
        GetClientRect(window, &client);
        int inset = (m_dwOptions & kFrames) ? 6 : 0;
        if (m_nSize == 0 || (m_dwOptions & kFitText)) {
            int start = m_nSize > 0 ? m_nSize : client.bottom - inset;
            lf.lfHeight =
                -FitFontHeight(window, lf, start > 3 ? start : 3, m_strText, TextFormat() & ~DT_VCENTER,
                               client.right - inset, client.bottom - inset);
        } else {
            lf.lfHeight = -m_nSize;
        }
    } else {
        m_strFace = lf.lfFaceName;
    }
    m_nFontHeight = abs(lf.lfHeight);
    m_hFont = CreateFontIndirectA(&lf);
}

void C_TextLabel::Paint(HDC dc)
{
    HWND window = m_sub.GetWindow();
    RECT client;
    GetClientRect(window, &client);
    if (!(m_dwOptions & kTransparent)) {
        HBRUSH brush = nullptr;
        if (!(m_dwOptions & kWhiteBackground))
            brush = (HBRUSH)SendMessageA(GetParent(window), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)window);
        FillRect(dc, &client, brush ? brush : (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    RECT text = client;
    if (m_dwOptions & kFrames) {
        InflateRect(&text, -3, -3);
        RECT frame = client;
        if (m_dwOptions & (kFrameLine | kFrameDouble)) {
            HBRUSH line = GetSysColorBrush(COLOR_WINDOWFRAME);
            FrameRect(dc, &frame, line);
            if (m_dwOptions & kFrameDouble) {
                InflateRect(&frame, -2, -2);
                FrameRect(dc, &frame, line);
            }
        } else {
            UINT edge = (m_dwOptions & kFrameBump)     ? EDGE_BUMP
                        : (m_dwOptions & kFrameEtched) ? EDGE_ETCHED
                        : (m_dwOptions & kFrameRaised) ? EDGE_RAISED
                                                       : EDGE_SUNKEN;
            DrawEdge(dc, &frame, edge, BF_RECT);
        }
    }
    HGDIOBJ old = SelectObject(dc, m_hFont);
    SetBkMode(dc, TRANSPARENT);
    if (!IsWindowEnabled(window))
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    else if (m_bHover && (m_dwOptions & kHoverColour))
        SetTextColor(dc, m_hover);
    else if (!(m_dwOptions & kSystemTextColour))
        SetTextColor(dc, m_text);
    else
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    UINT format = TextFormat();
    DrawTextA(dc, m_strText.c_str(), -1, &text, format);
    if (GetFocus() == window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP)) {
        RECT focus = text;
        DrawTextA(dc, m_strText.c_str(), -1, &focus, format | DT_CALCRECT);
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, old);
}

int C_TextLabel::Callback(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, void* userData)
{
    return ((C_TextLabel*)userData)->Handle(message, wParam, lParam, result);
}

int C_TextLabel::Handle(UINT message, WPARAM, LPARAM lParam, LRESULT* result)
{
    HWND window = m_sub.GetWindow();
    if (HandleOwnPainting(window, message, result, [this](HDC dc) { Paint(dc); }))
        return 1;
    switch (message) {
    case WM_SETTEXT:
        // Keep the control's own copy too, so others reading it see the same text.
        m_strText = lParam ? (const char*)lParam : "";
        if (!(m_dwOptions & kOwnFont) && (m_nSize == 0 || (m_dwOptions & kFitText)))
            MakeFont();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SIZE:
        MakeFont();
        return 0;
    case WM_NCHITTEST:
        if (m_pfnCallback || (m_dwOptions & kHoverColour)) {
            *result = HTCLIENT;
            return 1;
        }
        return 0;
    case WM_MOUSEMOVE:
        if (m_dwOptions & kHoverColour)
            BeginHover(window, m_bHover);
        return 0;
    case WM_MOUSELEAVE:
        m_bHover = false;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        if (m_pfnCallback)
            m_pfnCallback(m_clickData, m_pUserData);
        return 0;
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    default:
        return 0;
    }
}
