#include "app/framework/FontTools.h"

static int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *(bool*)found = true;
    return 0;
}

bool IsFontInstalled(const char* face)
{
    if (!face || !*face || strlen(face) >= LF_FACESIZE)
        return false;
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &lf, FoundFace, (LPARAM)&found, 0);
    ReleaseDC(nullptr, dc);
    return found;
}

std::string FirstInstalledFace(const std::vector<std::string>& faces, const char* fallback)
{
    for (const std::string& face : faces)
        if (IsFontInstalled(face.c_str()))
            return face;
    return fallback;
}

int FitFontHeight(HWND window, LOGFONTA base, int startHeight, const std::string& text, UINT format,
                  int width, int height)
{
    HDC dc = GetDC(window);
    int size = startHeight;
    for (; size > 3; --size) {
        base.lfHeight = -size;
        HFONT font = CreateFontIndirectA(&base);
        HGDIOBJ old = SelectObject(dc, font);
        RECT r = {0, 0, width, height};
        DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT);
        SelectObject(dc, old);
        DeleteObject(font);
        if (r.right - r.left < width && r.bottom - r.top < height)
            break;
    }
    ReleaseDC(window, dc);
    return size < 3 ? 3 : size;
}
