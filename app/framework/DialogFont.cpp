#include "app/framework/DialogFont.h"
#include <string>
#include "app/framework/TemplateFont.h"

static int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *(bool*)found = true;
    return 0;
}

static bool FaceExists(const std::u16string& face, void*)
{
    if (face.empty() || face.size() >= LF_FACESIZE)
        return false;
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    face.copy((char16_t*)lf.lfFaceName, face.size());
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &lf, FoundFace, (LPARAM)&found, 0);
    ReleaseDC(nullptr, dc);
    return found;
}

bool SubstituteTemplateFontInMemory(const uint8_t* data, size_t size, bool preferShellDlg2,
                                    std::vector<uint8_t>& out)
{
    TemplateFont current;
    if (!ReadTemplateFont(data, size, &current) || !IsReplaceableTemplateFace(current.face))
        return false;
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return false;
    SystemFontFacts facts;
    facts.messageFace = (const char16_t*)metrics.lfMessageFont.lfFaceName;
    facts.messageHeight = metrics.lfMessageFont.lfHeight;
    HDC dc = GetDC(nullptr);
    facts.logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    facts.faceExists = FaceExists;
    std::u16string face;
    uint16_t points = 0;
    if (!ChooseTemplateFont(current.face, facts, preferShellDlg2, &face, &points))
        return false;
    return RewriteTemplateFont(data, size, points, face, out);
}

bool SubstituteDialogFont(HINSTANCE instance, UINT templateId, bool preferShellDlg2,
                          std::vector<uint8_t>& out)
{
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(templateId), (LPCSTR)RT_DIALOG);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(instance, found);
    const uint8_t* data = loaded ? (const uint8_t*)LockResource(loaded) : nullptr;
    if (!data)
        return false;
    return SubstituteTemplateFontInMemory(data, SizeofResource(instance, found), preferShellDlg2, out);
}
