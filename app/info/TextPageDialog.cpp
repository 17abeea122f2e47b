#include "app/info/TextPageDialog.h"

#include <string>
#include <vector>

#include "app/info/HtmlDialogText.h"
#include "app/info/HtmlText.h"
#include "app/info/InfoIds.h"
#include "app/info/TextPageTemplate.h"

namespace {

const COLORREF kAccent = RGB(0x00, 0x99, 0xFF);
const COLORREF kBodyText = RGB(0x60, 0x60, 0x60);

struct Page {
    std::string caption;
    std::string heading;
    std::string body; // "\r\n" line ends
    int width = 0;    // pixels from the options, 0: the template's size
    int height = 0;
    HFONT headingFont = nullptr;
};

std::string LoadHtml(HMODULE module, const char* page)
{
    HRSRC found = FindResourceA(module, page, MAKEINTRESOURCEA(23) /* RT_HTML */);
    if (!found)
        return std::string();
    HGLOBAL loaded = LoadResource(module, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data)
        return std::string();
    return std::string(data, SizeofResource(module, found));
}

void Layout(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    RECT units = {10, 8, 14, 20}; // margin, top, button width base, heading height
    MapDialogRect(dialog, &units);
    const int margin = units.left, top = units.top;
    RECT button = {0, 0, 50, 14};
    MapDialogRect(dialog, &button);
    const int bw = button.right, bh = button.bottom;
    const int headingHeight = units.bottom;
    const int w = client.right - 2 * margin;
    MoveWindow(GetDlgItem(dialog, IDC_TEXT_PAGE_HEADING), margin, top, w, headingHeight, TRUE);
    const int bodyTop = top + headingHeight + top / 2;
    const int buttonTop = client.bottom - margin - bh;
    MoveWindow(GetDlgItem(dialog, IDC_TEXT_PAGE_BODY), margin, bodyTop, w, buttonTop - margin - bodyTop,
               TRUE);
    MoveWindow(GetDlgItem(dialog, IDOK), client.right - margin - bw, buttonTop, bw, bh, TRUE);
}

void ApplySize(HWND dialog, const Page& page)
{
    RECT rect;
    GetWindowRect(dialog, &rect);
    int w = page.width ? page.width : rect.right - rect.left;
    int h = page.height ? page.height : rect.bottom - rect.top;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (w > work.right - work.left)
        w = work.right - work.left;
    if (h > work.bottom - work.top)
        h = work.bottom - work.top;
    // Centred on a visible owner; the information page can come up while the main window
    // is still being built and hidden, and then the screen is the better reference.
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT around = work;
    if (owner && IsWindowVisible(owner))
        GetWindowRect(owner, &around);
    int x = around.left + ((around.right - around.left) - w) / 2;
    int y = around.top + ((around.bottom - around.top) - h) / 2;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    SetWindowPos(dialog, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Init(HWND dialog, Page* page)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    SetWindowTextA(dialog, page->caption.c_str());
    HWND heading = GetDlgItem(dialog, IDC_TEXT_PAGE_HEADING);
    LOGFONTA face = {};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (GetObjectA(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : GetStockObject(DEFAULT_GUI_FONT),
                   sizeof face, &face)) {
        face.lfHeight = face.lfHeight < 0 ? face.lfHeight * 2 : -20;
        face.lfWeight = FW_BOLD;
        page->headingFont = CreateFontIndirectA(&face);
        if (page->headingFont)
            SendMessageA(heading, WM_SETFONT, reinterpret_cast<WPARAM>(page->headingFont), FALSE);
    }
    SetWindowTextA(heading, page->heading.c_str());
    HWND body = GetDlgItem(dialog, IDC_TEXT_PAGE_BODY);
    // One tab stop wide enough for the longest key column ("-l test_file").
    const int tabStop = 64;
    SendMessageA(body, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    SetWindowTextA(body, page->body.c_str());
    ApplySize(dialog, *page);
    Layout(dialog);
}

INT_PTR CALLBACK TextPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Page* page = reinterpret_cast<Page*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        Init(dialog, reinterpret_cast<Page*>(lParam));
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_SIZE:
        Layout(dialog);
        return TRUE;
    case WM_GETMINMAXINFO: {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = 260;
        info->ptMinTrackSize.y = 200;
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        // The page look: accent heading, grey text on white.
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool isHeading = reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_TEXT_PAGE_HEADING);
        SetTextColor(dc, isHeading ? kAccent : kBodyText);
        SetBkColor(dc, isHeading ? GetSysColor(COLOR_BTNFACE) : RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(isHeading ? GetSysColorBrush(COLOR_BTNFACE)
                                                   : GetStockObject(WHITE_BRUSH));
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        if (page && page->headingFont) {
            DeleteObject(page->headingFont);
            page->headingFont = nullptr;
        }
        break;
    }
    return FALSE;
}

} // namespace

INT_PTR ShowTextPage(HWND owner, HMODULE module, const char* page, const char* argument, const char* options)
{
    if (!module)
        module = GetModuleHandleA(nullptr);
    const std::string html = LoadHtml(module, page);
    if (html.empty())
        return -1;
    Page shown;
    shown.caption = TitleFromArgument(argument);
    HtmlTextOptions convert;
    convert.replaceId = "title";
    convert.replacement = shown.caption;
    const std::string text = HtmlToText(html, convert);
    const size_t lineEnd = text.find('\n');
    shown.heading = text.substr(0, lineEnd);
    if (lineEnd != std::string::npos) {
        const size_t bodyStart = text.find_first_not_of('\n', lineEnd);
        if (bodyStart != std::string::npos)
            shown.body = ToWindowsLineEnds(text.substr(bodyStart));
    }
    const std::string features = options ? options : "";
    shown.width = HtmlDialogFeaturePixels(features, "dialogWidth");
    shown.height = HtmlDialogFeaturePixels(features, "dialogHeight");
    INT_PTR result;
    if (FindResourceA(module, MAKEINTRESOURCEA(IDD_TEXT_PAGE), MAKEINTRESOURCEA(5) /* RT_DIALOG */)) {
        result = DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_TEXT_PAGE), owner, TextPageProc,
                                 reinterpret_cast<LPARAM>(&shown));
    } else {
        const std::vector<WORD> dialog = BuildTextPageTemplate();
        result = DialogBoxIndirectParamA(module, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                                         TextPageProc, reinterpret_cast<LPARAM>(&shown));
    }
    if (shown.headingFont)
        DeleteObject(shown.headingFont);
    return result;
}
