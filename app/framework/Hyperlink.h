// A static control turned into a link: drawn by the object in the browser's link colours,
// with the hand cursor, and activated by click, Enter or Space.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "app/framework/ControlLook.h"
#include "app/framework/SubClassing.h"

enum LinkEvent { kLinkPress = 1, kLinkEnter = 2, kLinkSpace = 3, kLinkRelease = 4 };
typedef void (*LinkCallback)(int event, void* userData);

class C_Hyperlink {
public:
    enum : uint32_t {
        kOwnFont = 0x2,
        kFitControlHeight = 0x20,
        kBrowserFace = 0x200,
        kCommandToParent = 0x800,
    };

    C_Hyperlink() : m_sub(kTagLink) {}
    ~C_Hyperlink() { Detach(); }

    int Attach(HWND control, const char* text, const char* url, UINT cursorId, uint32_t options,
               LinkCallback callback = nullptr, void* userData = nullptr);
    void Detach();
    void SetText(const char* text);
    const std::string& GetText() const { return m_strText; }
    COLORREF GetLinkColour() const { return m_link; }
    COLORREF GetHoverColour() const { return m_hover; }
    UnderlineMode GetUnderlineMode() const { return m_underline; }
    // The font's height after fitting, in pixels.
    int GetFontHeight() const { return m_nFontHeight; }

private:
    static int Callback(HWND, UINT, WPARAM, LPARAM, LRESULT*, void*);
    int Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void ReadBrowserLook();
    void MakeFonts();
    void ReleaseFonts();
    void Paint(HDC dc);
    void Event(int event);

    C_SubClassing m_sub;
    HINSTANCE m_hInstance = nullptr;
    std::string m_strText, m_strUrl;
    UINT m_cursorId = 0;
    uint32_t m_dwOptions = 0;
    LinkCallback m_pfnCallback = nullptr;
    void* m_pUserData = nullptr;
    COLORREF m_link = RGB(0, 102, 204), m_visited = 0, m_hover = 0;
    bool m_bHoverColour = true;
    UnderlineMode m_underline = kUnderlineAlways;
    HFONT m_hPlain = nullptr, m_hUnderlined = nullptr;
    int m_nFontHeight = 0;
    bool m_bHover = false;
    void* m_hTheme = nullptr;
};
