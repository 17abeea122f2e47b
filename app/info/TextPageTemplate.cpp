#include "app/info/TextPageTemplate.h"

#include "app/info/InfoIds.h"

namespace {

class TemplateWriter {
public:
    std::vector<WORD> words;
    void Word(WORD w) { words.push_back(w); }
    void Dword(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t* text)
    {
        do
            Word(WORD(*text));
        while (*text++);
    }
    void Align()
    {
        if (words.size() % 2)
            Word(0);
    }
    // One control: position in dialog units, a predefined class by its atom.
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const wchar_t* text)
    {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(WORD(x));
        Word(WORD(y));
        Word(WORD(cx));
        Word(WORD(cy));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0); // no creation data
    }
};

const WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

} // namespace

std::vector<WORD> BuildTextPageTemplate()
{
    TemplateWriter t;
    t.Dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    t.Dword(0);
    t.Word(3); // items
    t.Word(0);
    t.Word(0);
    t.Word(420);
    t.Word(300);
    t.Word(0); // no menu
    t.Word(0); // standard dialog class
    t.Text(L"Quellmor");
    t.Word(8);
    t.Text(L"MS Shell Dlg");
    t.Item(SS_LEFT | SS_NOPREFIX, 10, 8, 400, 16, IDC_TEXT_PAGE_HEADING, kStatic, L"");
    t.Item(ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, 10, 28, 400, 244,
           IDC_TEXT_PAGE_BODY, kEdit, L"");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 360, 278, 50, 14, IDOK, kButton, L"Close");
    return t.words;
}
