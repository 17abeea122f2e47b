// A static control whose text the object draws: chosen face, size or fitted height,
// colours for normal, hover and disabled, optional frames.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "app/framework/SubClassing.h"

typedef void (*LabelCallback)(LPARAM clickData, void* userData);

class C_TextLabel {
public:
    enum : uint32_t {
        kHoverColour = 0x1,
        kBold = 0x2,
        kUnderline = 0x4,
        kItalic = 0x8,
        kWhiteBackground = 0x20,
        kWrap = 0x40,
        kTransparent = 0x100,
        kFrameLine = 0x200,
        kFrameBump = 0x400,
        kFrameEtched = 0x800,
        kFrameRaised = 0x1000,
        kFrameSunken = 0x2000,
        kFrameDouble = 0x4000,
        kOwnFont = 0x8000,
        kNoAutoTransparent = 0x10000,
        kEllipsis = 0x40000,
        kVerticalCentre = 0x800000,
        kFitText = 0x4000000,
        kSystemTextColour = 0x8000000,
    };
    static const uint32_t kFrames = 0x7E00;

    C_TextLabel() : m_sub(kTagLabel) {}
    ~C_TextLabel() { Detach(); }

    int Attach(HWND control, const char* faces, int size, COLORREF text, COLORREF hover, uint32_t options,
               LPARAM clickData = 0, LabelCallback callback = nullptr, void* userData = nullptr);
    int Attach(HWND control, const char* faces, COLORREF text, COLORREF hover, uint32_t options,
               LPARAM clickData = 0, LabelCallback callback = nullptr, void* userData = nullptr)
    {
        return Attach(control, faces, 0, text, hover, options, clickData, callback, userData);
    }
    void Detach();
    void SetText(const char* text);
    const std::string& GetText() const { return m_strText; }
    const std::string& GetFace() const { return m_strFace; }
    int GetFontHeight() const { return m_nFontHeight; }
    uint32_t GetOptions() const { return m_dwOptions; }

private:
    static int Callback(HWND, UINT, WPARAM, LPARAM, LRESULT*, void*);
    int Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void MakeFont();
    UINT TextFormat() const;
    void Paint(HDC dc);

    C_SubClassing m_sub;
    std::string m_strText, m_strFaces, m_strFace;
    int m_nSize = 0;
    COLORREF m_text = 0, m_hover = 0;
    uint32_t m_dwOptions = 0;
    LPARAM m_clickData = 0;
    LabelCallback m_pfnCallback = nullptr;
    void* m_pUserData = nullptr;
    HFONT m_hFont = nullptr;
    int m_nFontHeight = 0;
    bool m_bHover = false;
};
