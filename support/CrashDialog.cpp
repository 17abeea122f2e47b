// The problem-report dialog, built from a template in memory: the reporter has no dialog
// resource of its own, and the programs that link it keep theirs.
#include "support/CrashWin.h"
#include <commctrl.h>
#include <shellapi.h>
#include "support/ReportForm.h"

namespace {

enum { kIdIcon = 100, kIdHeading, kIdMessage, kIdPrompt, kIdDescription, kIdMailPrompt, kIdMail, kIdFiles };
const int kDescriptionLimit = 2048;

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? (size_t)n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// A dialog template grows word by word; items start on a DWORD boundary.
class TemplateWriter {
public:
    void Word(WORD w) { m_words.push_back(w); }
    void Dword(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const std::wstring& text)
    {
        for (wchar_t c : text)
            Word((WORD)c);
        Word(0);
    }
    void Align()
    {
        if (m_words.size() % 2)
            Word(0);
    }
    void Header(DWORD style, WORD count, short cx, short cy, const std::wstring& caption)
    {
        Dword(style);
        Dword(0);
        Word(count);
        Word(0);
        Word(0);
        Word((WORD)cx);
        Word((WORD)cy);
        Word(0); // no menu
        Word(0); // the standard dialog class
        Text(caption);
        Word(8);
        Text(L"MS Sans Serif");
    }
    // atom: 0x80 button, 0x81 edit, 0x82 static; otherwise className names the class.
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* className,
              const std::wstring& text)
    {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word((WORD)x);
        Word((WORD)y);
        Word((WORD)cx);
        Word((WORD)cy);
        Word(id);
        if (className) {
            Text(className);
        } else {
            Word(0xFFFF);
            Word(atom);
        }
        Text(text);
        Word(0);
    }
    const DLGTEMPLATE* Get() const { return (const DLGTEMPLATE*)m_words.data(); }

private:
    std::vector<WORD> m_words;
};

bool LinkControlAvailable()
{
    typedef BOOL(WINAPI * InitFn)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    InitFn init = comctl ? (InitFn)GetProcAddress(comctl, "InitCommonControlsEx") : nullptr;
    if (!init)
        return false;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0x8000 /* the link class */};
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    return init(&icc) && GetClassInfoExW(nullptr, L"SysLink", &wc);
}

// Multi-line edit fields show no cue banner of their own, so the description draws its hint
// itself, like the banner of the e-mail field: grey, while empty and without the focus.
WNDPROC g_descriptionProc = nullptr;

LRESULT CALLBACK DescriptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcW(g_descriptionProc, window, message, wParam, lParam);
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        InvalidateRect(window, nullptr, TRUE);
    } else if (message == WM_PAINT && GetWindowTextLengthW(window) == 0 && GetFocus() != window) {
        HDC dc = GetDC(window);
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(window, WM_GETFONT, 0, 0));
        RECT area;
        SendMessageW(window, EM_GETRECT, 0, (LPARAM)&area);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L" optional", -1, &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
    }
    return result;
}

struct DialogState {
    C_ProblemDialog* dialog;
    HFONT heading;
};

std::string ItemText(HWND window, int id)
{
    HWND item = GetDlgItem(window, id);
    int n = GetWindowTextLengthA(item);
    std::string text(n > 0 ? (size_t)n + 1 : 1, '\0');
    GetWindowTextA(item, &text[0], (int)text.size());
    text.resize(strlen(text.c_str()));
    return text;
}

INT_PTR CALLBACK ProblemProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState* state = (DialogState*)GetWindowLongPtrW(window, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        state = (DialogState*)lParam;
        SetWindowLongPtrW(window, DWLP_USER, (LONG_PTR)state);
        HICON icon = state->dialog->icon
                         ? LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(state->dialog->icon))
                         : nullptr;
        SendDlgItemMessageW(window, kIdIcon, STM_SETICON,
                            (WPARAM)(icon ? icon : LoadIconA(nullptr, IDI_ERROR)), 0);
        LOGFONTW font = {};
        HFONT dialogFont = (HFONT)SendMessageW(window, WM_GETFONT, 0, 0);
        if (dialogFont && GetObjectW(dialogFont, sizeof(font), &font)) {
            font.lfWeight = FW_BOLD;
            font.lfHeight = font.lfHeight * 4 / 3;
            state->heading = CreateFontIndirectW(&font);
            if (state->heading)
                SendDlgItemMessageW(window, kIdHeading, WM_SETFONT, (WPARAM)state->heading, 0);
        }
        SendDlgItemMessageW(window, kIdDescription, EM_LIMITTEXT, kDescriptionLimit, 0);
        g_descriptionProc = (WNDPROC)SetWindowLongPtrW(GetDlgItem(window, kIdDescription), GWLP_WNDPROC,
                                                       (LONG_PTR)DescriptionProc);
        SendDlgItemMessageW(window, kIdMail, EM_SETCUEBANNER, FALSE, (LPARAM)L" optional");
        SetForegroundWindow(window);
        if (state->dialog->shown)
            InterlockedExchange(state->dialog->shown, 1);
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR* header = (const NMHDR*)lParam;
        if ((header->idFrom == kIdMessage || header->idFrom == kIdFiles) &&
            (header->code == NM_CLICK || header->code == NM_RETURN)) {
            const NMLINK* link = (const NMLINK*)lParam;
            ShellExecuteW(window, L"open", link->item.szUrl, nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            state->dialog->email = ItemText(window, kIdMail);
            state->dialog->description = ItemText(window, kIdDescription);
            EndDialog(window, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 2);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (state && state->dialog->shown)
            InterlockedExchange(state->dialog->shown, 0);
        if (g_descriptionProc)
            SetWindowLongPtrW(GetDlgItem(window, kIdDescription), GWLP_WNDPROC, (LONG_PTR)g_descriptionProc);
        if (state && state->heading) {
            DeleteObject(state->heading);
            state->heading = nullptr;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR ShowWith(C_ProblemDialog& dialog, bool link)
{
    const wchar_t* textClass = link ? L"SysLink" : nullptr;
    const DWORD textStyle = link ? WS_TABSTOP : SS_LEFT | SS_NOPREFIX;
    TemplateWriter t;
    t.Header(DS_SETFONT | DS_MODALFRAME | DS_CENTER | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 300,
             222, Wide(dialog.heading));
    t.Item(SS_ICON, 8, 8, 21, 20, kIdIcon, 0x82, nullptr, L"");
    t.Item(SS_LEFT | SS_NOPREFIX, 38, 8, 254, 12, kIdHeading, 0x82, nullptr, Wide(dialog.heading));
    t.Item(textStyle, 38, 24, 254, 34, kIdMessage, 0x82, textClass,
           Wide(ProblemMessage(dialog.company, dialog.webAddress, link)));
    t.Item(SS_LEFT, 8, 64, 284, 9, kIdPrompt, 0x82, nullptr,
           L"Can you please describe what you were doing when the problem occurred?");
    t.Item(ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 8, 75, 284,
           50, kIdDescription, 0x81, nullptr, L"");
    t.Item(SS_LEFT, 8, 131, 284, 9, kIdMailPrompt, 0x82, nullptr, L"Your E-mail address:");
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 142, 284, 12, kIdMail, 0x81, nullptr, L"");
    t.Item(textStyle, 8, 162, 284, 32, kIdFiles, 0x82, textClass, Wide(FilesLine(dialog.files, link)));
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 122, 202, 95, 14, IDOK, 0x80, nullptr, L"Send Problem Report");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 222, 202, 70, 14, IDCANCEL, 0x80, nullptr, L"Don't Send");
    DialogState state = {&dialog, nullptr};
    INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, ProblemProc, (LPARAM)&state);
    return result == -1 ? 0 : result;
}

} // namespace

INT_PTR RunProblemDialog(C_ProblemDialog& dialog)
{
    // Without a link control (no version 6 of the common controls) the plain texts are shown.
    if (LinkControlAvailable()) {
        INT_PTR result = ShowWith(dialog, true);
        if (result)
            return result;
    }
    return ShowWith(dialog, false);
}
