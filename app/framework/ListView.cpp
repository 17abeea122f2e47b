#include "app/framework/ListView.h"
#include <shlwapi.h>
#include <vector>
#include "app/framework/ListCompare.h"

namespace {

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// Windows' own order of names with numbers (file2 before file10) where it is offered.
int LogicalOrder(const std::string& a, const std::string& b)
{
    typedef int(WINAPI * LogicalFn)(LPCWSTR, LPCWSTR);
    static LogicalFn logical = (LogicalFn)GetProcAddress(LoadLibraryA("shlwapi.dll"), "StrCmpLogicalW");
    std::wstring wa = Wide(a), wb = Wide(b);
    if (logical)
        return logical(wa.c_str(), wb.c_str());
    int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                           wa.c_str(), -1, wb.c_str(), -1);
    if (r == CSTR_EQUAL)
        r = CompareStringW(LOCALE_USER_DEFAULT, SORT_STRINGSORT, wa.c_str(), -1, wb.c_str(), -1);
    return r == 0 ? 0 : r - CSTR_EQUAL;
}

void CommonControlsVersion(int* major, int* minor)
{
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    typedef HRESULT(CALLBACK * VersionFn)(DLLVERSIONINFO*);
    VersionFn version = comctl ? (VersionFn)GetProcAddress(comctl, "DllGetVersion") : nullptr;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    if (version && SUCCEEDED(version(&info))) {
        *major = (int)info.dwMajorVersion;
        *minor = (int)info.dwMinorVersion;
    }
}

} // namespace

int C_ListView::Attach(HWND list, HINSTANCE instance, uint32_t options, UINT arrowUp, UINT arrowDown,
                       const ListViewEvents& events)
{
    if (!list || m_hList)
        return 0;
    if (!m_sub.Attach(list, ListProc, this))
        return 0;
    m_hList = list;
    m_hHeader = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    m_hInstance = instance ? instance : GetModuleHandleA(nullptr);
    m_dwOptions = options;
    m_events = events;
    CommonControlsVersion(&m_nComCtlMajor, &m_nComCtlMinor);

    if (options & kSystemImages) {
        SHFILEINFOA info = {};
        HIMAGELIST small =
            (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        HIMAGELIST large =
            (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
        // The system's lists are shared: the list must not destroy them.
        SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)small);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, (LPARAM)large);
    } else if (!(options & kNoImageLists)) {
        m_hSmall = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                    ILC_COLOR32 | ILC_MASK, 8, 8);
        m_hLarge = ImageList_Create(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                    ILC_COLOR32 | ILC_MASK, 8, 8);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)m_hSmall);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, (LPARAM)m_hLarge);
    }
    if ((options & kHeaderArrows) && m_hHeader && arrowUp && arrowDown) {
        m_hArrows = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
        for (UINT id : {arrowUp, arrowDown}) {
            HBITMAP bitmap = (HBITMAP)LoadImageA(m_hInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                 m_nComCtlMajor < 6 ? LR_LOADMAP3DCOLORS : 0);
            if (bitmap) {
                ImageList_AddMasked(m_hArrows, bitmap, RGB(255, 0, 255));
                DeleteObject(bitmap);
            }
        }
        SendMessageA(m_hHeader, HDM_SETIMAGELIST, 0, (LPARAM)m_hArrows);
        if (m_nComCtlMajor * 100 + m_nComCtlMinor > 580) {
            int margin = GetSystemMetrics(SM_CXEDGE) * 3 / 2;
            if (margin < 1)
                margin = 1;
            SendMessageA(m_hHeader, HDM_SETBITMAPMARGIN, margin, 0);
        }
    }
    if ((options & kGroupView) && m_nComCtlMajor >= 6)
        m_bGroups = SendMessageA(list, LVM_ENABLEGROUPVIEW, TRUE, 0) >= 0;

    char separator[8] = "";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof(separator)) > 1)
        m_strThousands = separator;
    else
        m_strThousands = ".";

    typedef HRESULT(WINAPI * ThemeFn)(HWND, LPCWSTR, LPCWSTR);
    HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
    ThemeFn setTheme = uxtheme ? (ThemeFn)GetProcAddress(uxtheme, "SetWindowTheme") : nullptr;
    if (setTheme)
        setTheme(list, L"explorer", nullptr);
    return 1;
}

void C_ListView::Detach()
{
    EndCellEdit(false);
    m_sub.Detach();
    if (m_hArrows && m_hHeader && IsWindow(m_hHeader))
        SendMessageA(m_hHeader, HDM_SETIMAGELIST, 0, 0);
    if (m_hList && IsWindow(m_hList) && (m_hSmall || m_hLarge)) {
        SendMessageA(m_hList, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        SendMessageA(m_hList, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    }
    for (HIMAGELIST* list : {&m_hSmall, &m_hLarge, &m_hArrows}) {
        if (*list)
            ImageList_Destroy(*list);
        *list = nullptr;
    }
    m_hList = m_hHeader = nullptr;
    m_nSortColumn = -1;
}

std::string C_ListView::CellText(int item, int column)
{
    std::vector<char> text(260);
    for (;;) {
        LVITEMA lvi = {};
        lvi.iSubItem = column;
        lvi.pszText = text.data();
        lvi.cchTextMax = (int)text.size();
        int n = (int)SendMessageA(m_hList, LVM_GETITEMTEXTA, item, (LPARAM)&lvi);
        if (n < (int)text.size() - 1 || text.size() >= 65536)
            return std::string(text.data(), n > 0 ? (size_t)n : 0);
        text.resize(text.size() * 4);
    }
}

int C_ListView::CompareTexts(const std::string& a, const std::string& b) const
{
    return CompareCells(a, b, m_strThousands, m_bDescending, LogicalOrder);
}

int C_ListView::CompareRows(int indexA, int indexB, LPARAM dataA, LPARAM dataB)
{
    int result = 0;
    if (m_events.compare && m_events.compare(dataA, dataB, m_nSortColumn, &result, m_events.user))
        return m_bDescending ? -result : result;
    return CompareTexts(CellText(indexA, m_nSortColumn), CellText(indexB, m_nSortColumn));
}

int CALLBACK C_ListView::CompareByIndex(LPARAM a, LPARAM b, LPARAM selfParam)
{
    C_ListView* self = (C_ListView*)selfParam;
    LVITEMA ia = {}, ib = {};
    ia.mask = ib.mask = LVIF_PARAM;
    ia.iItem = (int)a;
    ib.iItem = (int)b;
    SendMessageA(self->m_hList, LVM_GETITEMA, 0, (LPARAM)&ia);
    SendMessageA(self->m_hList, LVM_GETITEMA, 0, (LPARAM)&ib);
    return self->CompareRows((int)a, (int)b, ia.lParam, ib.lParam);
}

int CALLBACK C_ListView::CompareByData(LPARAM a, LPARAM b, LPARAM selfParam)
{
    C_ListView* self = (C_ListView*)selfParam;
    return self->CompareRows(self->FindByData(a), self->FindByData(b), a, b);
}

int C_ListView::SortByColumn(int column)
{
    if (!m_hList)
        return 0;
    m_bDescending = (column == m_nSortColumn) ? !m_bDescending : false;
    m_nSortColumn = column;
    if (m_bGroups) {
        SendMessageA(m_hList, LVM_ENABLEGROUPVIEW, FALSE, 0);
        m_bGroups = false;
    }
    ShowSortArrow();
    if (SendMessageA(m_hList, LVM_SORTITEMSEX, (WPARAM)this, (LPARAM)CompareByIndex))
        return 1;
    return SendMessageA(m_hList, LVM_SORTITEMS, (WPARAM)this, (LPARAM)CompareByData) != 0;
}

void C_ListView::ShowSortArrow()
{
    if (!m_hHeader || !(m_dwOptions & kHeaderArrows))
        return;
    int count = (int)SendMessageA(m_hHeader, HDM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        SendMessageA(m_hHeader, HDM_GETITEMA, i, (LPARAM)&item);
        item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT | HDF_SORTUP | HDF_SORTDOWN);
        if (i == m_nSortColumn) {
            if (m_hArrows) {
                item.mask |= HDI_IMAGE;
                item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
                item.iImage = m_bDescending ? 1 : 0;
            } else {
                item.fmt |= m_bDescending ? HDF_SORTDOWN : HDF_SORTUP;
            }
        }
        SendMessageA(m_hHeader, HDM_SETITEMA, i, (LPARAM)&item);
    }
}

int C_ListView::HandleNotify(NMHDR* header, LRESULT* result)
{
    if (!m_hList || header->hwndFrom != m_hList)
        return 0;
    *result = 0;
    void* user = m_events.user;
    switch (header->code) {
    case LVN_KEYDOWN:
        if (m_events.keyDown)
            m_events.keyDown(((NMLVKEYDOWN*)header)->wVKey, user);
        return 1;
    case LVN_GETINFOTIPA:
        if (m_events.infoTip)
            m_events.infoTip((NMLVGETINFOTIPA*)header, user);
        return 1;
    case LVN_BEGINLABELEDITA:
        *result =
            m_events.beginLabelEdit ? m_events.beginLabelEdit(((NMLVDISPINFOA*)header)->item.iItem, user) : 0;
        return 1;
    case LVN_ENDLABELEDITA: {
        NMLVDISPINFOA* info = (NMLVDISPINFOA*)header;
        *result =
            m_events.endLabelEdit ? m_events.endLabelEdit(info->item.iItem, info->item.pszText, user) : 0;
        return 1;
    }
    case LVN_ITEMCHANGED: {
        NMLISTVIEW* change = (NMLISTVIEW*)header;
        if (!(change->uChanged & LVIF_STATE))
            return 1;
        UINT oldState = change->uOldState, newState = change->uNewState;
        if (((oldState ^ newState) & LVIS_STATEIMAGEMASK) && (oldState & LVIS_STATEIMAGEMASK) &&
            m_events.checkChanged)
            m_events.checkChanged(change->iItem, ((newState & LVIS_STATEIMAGEMASK) >> 12) == 2, user);
        if (((oldState ^ newState) & LVIS_SELECTED) && m_events.selectionChanged)
            m_events.selectionChanged(change->iItem, (newState & LVIS_SELECTED) != 0, user);
        return 1;
    }
    case LVN_COLUMNCLICK: {
        int column = ((NMLISTVIEW*)header)->iSubItem;
        if (m_events.columnClick)
            m_events.columnClick(column, user);
        if (m_dwOptions & kSortOnHeaderClick)
            SortByColumn(column);
        return 1;
    }
    case NM_CUSTOMDRAW:
        *result = m_events.customDraw ? m_events.customDraw((NMLVCUSTOMDRAW*)header, user) : CDRF_DODEFAULT;
        return 1;
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK: {
        NMITEMACTIVATE* activate = (NMITEMACTIVATE*)header;
        auto callback = header->code == NM_CLICK    ? m_events.click
                        : header->code == NM_DBLCLK ? m_events.doubleClick
                                                    : m_events.rightClick;
        if (callback)
            callback(activate->iItem, activate->iSubItem, user);
        return 1;
    }
    case NM_RETURN:
        if (m_events.returnKey)
            m_events.returnKey(user);
        return 1;
    default:
        return 0;
    }
}

int C_ListView::ListProc(HWND, UINT message, WPARAM, LPARAM, LRESULT*, void* userData)
{
    C_ListView* self = (C_ListView*)userData;
    // Scrolling or resizing moves the cells away from an open editor.
    if ((message == WM_VSCROLL || message == WM_HSCROLL || message == WM_MOUSEWHEEL || message == WM_SIZE) &&
        self->m_hEditor)
        self->EndCellEdit(true);
    return 0;
}

int C_ListView::AddColumn(const char* text, int index, int alignment, int width, uint32_t options)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = alignment;
    column.cx = width;
    column.pszText = (char*)text;
    column.iSubItem = index;
    int at = (int)SendMessageA(m_hList, LVM_INSERTCOLUMNA, index, (LPARAM)&column);
    if (at >= 0 && (options & 0x2))
        SendMessageA(m_hList, LVM_SETCOLUMNWIDTH, at, LVSCW_AUTOSIZE);
    if (at >= 0 && (options & 0x1))
        SendMessageA(m_hList, LVM_SETCOLUMNWIDTH, at, LVSCW_AUTOSIZE_USEHEADER);
    return at;
}

int C_ListView::GetColumnWidth(int column)
{
    return (int)SendMessageA(m_hList, LVM_GETCOLUMNWIDTH, column, 0);
}
int C_ListView::SetColumnWidth(int column, int width)
{
    return SendMessageA(m_hList, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0;
}

int C_ListView::InsertItem(int index, const char* text, LPARAM data, int image, int group)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = (char*)text;
    item.lParam = data;
    if (image != -2) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    if (m_bGroups && group >= 0) {
        item.mask |= LVIF_GROUPID;
        item.iGroupId = group;
    }
    return (int)SendMessageA(m_hList, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

int C_ListView::SetSubItemText(int item, int column, const char* text)
{
    LVITEMA lvi = {};
    lvi.iSubItem = column;
    lvi.pszText = (char*)text;
    return SendMessageA(m_hList, LVM_SETITEMTEXTA, item, (LPARAM)&lvi) != 0;
}

int C_ListView::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMA lvi = {};
    lvi.state = state;
    lvi.stateMask = mask;
    return SendMessageA(m_hList, LVM_SETITEMSTATE, (WPARAM)item, (LPARAM)&lvi) != 0;
}

int C_ListView::DeleteItem(int item) { return SendMessageA(m_hList, LVM_DELETEITEM, item, 0) != 0; }
int C_ListView::DeleteAll() { return SendMessageA(m_hList, LVM_DELETEALLITEMS, 0, 0) != 0; }

int C_ListView::GetItem(int index, int column, std::string* text, LPARAM* data)
{
    char buffer[261] = "";
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_PARAM;
    lvi.iItem = index;
    lvi.iSubItem = column;
    lvi.pszText = buffer;
    lvi.cchTextMax = 260;
    if (!SendMessageA(m_hList, LVM_GETITEMA, 0, (LPARAM)&lvi))
        return 0;
    if (text)
        *text = buffer;
    if (data)
        *data = lvi.lParam;
    return 1;
}

int C_ListView::GetSelected(std::string* text, LPARAM* data)
{
    int item = (int)SendMessageA(m_hList, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (item < 0)
        return -1;
    GetItem(item, 0, text, data);
    return item;
}

int C_ListView::FindByData(LPARAM data)
{
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    return (int)SendMessageA(m_hList, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
}

int C_ListView::FindByText(const char* text)
{
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    return (int)SendMessageA(m_hList, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
}

int C_ListView::EnsureVisible(int item) { return SendMessageA(m_hList, LVM_ENSUREVISIBLE, item, FALSE) != 0; }

void C_ListView::SetRedraw(int on)
{
    SendMessageA(m_hList, WM_SETREDRAW, on != 0, 0);
    if (m_hHeader)
        SendMessageA(m_hHeader, WM_SETREDRAW, on != 0, 0);
    if (on)
        InvalidateRect(m_hList, nullptr, TRUE);
}

int C_ListView::Count() { return (int)SendMessageA(m_hList, LVM_GETITEMCOUNT, 0, 0); }

int C_ListView::SetCheck(int item, int on)
{
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(on ? 2 : 1), LVIS_STATEIMAGEMASK);
}

int C_ListView::EditCell(int item, int column)
{
    EndCellEdit(true);
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_LABEL;
    if (!SendMessageA(m_hList, LVM_GETSUBITEMRECT, item, (LPARAM)&cell))
        return 0;
    if (column > 0) {
        int width = GetColumnWidth(column);
        cell.right = cell.left + width;
    }
    HFONT font = (HFONT)SendMessageA(m_hList, WM_GETFONT, 0, 0);
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, cell.left,
                                 cell.top, cell.right - cell.left, cell.bottom - cell.top + 300, m_hList,
                                 nullptr, m_hInstance, nullptr);
    SendMessageA(combo, WM_SETFONT, (WPARAM)font, 0);
    bool useCombo = m_events.fillCellCombo && m_events.fillCellCombo(item, column, combo, m_events.user);
    HWND editor = combo;
    if (!useCombo) {
        DestroyWindow(combo);
        editor = CreateWindowExA(
            0, "EDIT", CellText(item, column).c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, cell.left,
            cell.top, cell.right - cell.left, cell.bottom - cell.top, m_hList, nullptr, m_hInstance, nullptr);
        SendMessageA(editor, WM_SETFONT, (WPARAM)font, 0);
        SendMessageA(editor, EM_SETSEL, 0, -1);
    } else {
        std::string current = CellText(item, column);
        SendMessageA(combo, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)current.c_str());
    }
    if (!editor || !m_editSub.Attach(editor, EditorProc, this)) {
        if (editor)
            DestroyWindow(editor);
        return 0;
    }
    m_hEditor = editor;
    m_bEditorIsCombo = useCombo;
    m_nEditItem = item;
    m_nEditColumn = column;
    ShowWindow(editor, SW_SHOW);
    SetFocus(editor);
    if (!useCombo)
        SetCapture(editor);
    return 1;
}

void C_ListView::EndCellEdit(bool take)
{
    HWND editor = m_hEditor;
    if (!editor)
        return;
    m_hEditor = nullptr; // a focus change while ending must not end twice
    if (GetCapture() == editor)
        ReleaseCapture();
    if (take) {
        char text[261] = "";
        GetWindowTextA(editor, text, sizeof(text));
        if (!m_events.cellEdited || m_events.cellEdited(m_nEditItem, m_nEditColumn, text, m_events.user))
            SetSubItemText(m_nEditItem, m_nEditColumn, text);
    }
    m_editSub.Detach();
    DestroyWindow(editor);
    m_nEditItem = m_nEditColumn = -1;
}

int C_ListView::EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                           void* userData)
{
    C_ListView* self = (C_ListView*)userData;
    switch (message) {
    case WM_GETDLGCODE:
        *result = DLGC_WANTALLKEYS;
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            self->EndCellEdit(wParam == VK_RETURN);
            *result = 0;
            return 1;
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        // The mouse is captured: a click outside the cell ends the editing.
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        RECT client;
        GetClientRect(window, &client);
        if (!self->m_bEditorIsCombo && !PtInRect(&client, pt)) {
            self->EndCellEdit(true);
            *result = 0;
            return 1;
        }
        return 0;
    }
    case WM_KILLFOCUS:
        if (self->m_bEditorIsCombo && wParam && GetParent((HWND)wParam) == window)
            return 0; // the drop-down list of the combo box itself
        self->EndCellEdit(true);
        *result = 0;
        return 1;
    default:
        return 0;
    }
}
