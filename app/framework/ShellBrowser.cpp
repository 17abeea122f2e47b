#include "app/framework/ShellBrowser.h"
#include <shlwapi.h>
#include <uxtheme.h>
#include <vector>
#include "core/File.h"
#include "core/Text.h"

namespace {
// Common controls newer than 6.15 draw the tree in the explorer style without lines.
bool ModernCommonControls()
{
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    typedef HRESULT(CALLBACK * GetVersionProc)(DLLVERSIONINFO*);
    GetVersionProc get = comctl ? (GetVersionProc)(void*)GetProcAddress(comctl, "DllGetVersion") : nullptr;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    if (!get || FAILED(get(&info)))
        return false;
    return info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion > 15);
}

void SetExplorerTheme(HWND window)
{
    HMODULE theme = LoadLibraryA("uxtheme.dll");
    if (!theme)
        return;
    typedef HRESULT(WINAPI * SetThemeProc)(HWND, LPCWSTR, LPCWSTR);
    SetThemeProc set = (SetThemeProc)(void*)GetProcAddress(theme, "SetWindowTheme");
    if (set)
        set(window, L"explorer", nullptr);
    // The library stays loaded: the control keeps using the theme.
}

bool PathOf(LPCITEMIDLIST absolute, char* path)
{
    path[0] = 0;
    return absolute && SHGetPathFromIDListA(absolute, path) && path[0];
}

bool SizeOfPath(const char* path, uint64_t* size)
{
    uint32_t low = 0, high = 0;
    if (!GetFileSizeByName(path, &low, &high))
        return false;
    *size = ((uint64_t)high << 32) | low;
    return true;
}

class HourGlass {
public:
    HourGlass() : m_old(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~HourGlass() { SetCursor(m_old); }

private:
    HCURSOR m_old;
};
} // namespace

int C_ShellBrowser::Create(HWND tree, HWND list, HINSTANCE, uint32_t options)
{
    Destroy();
    m_hTree = tree;
    m_hList = list;
    m_dwOptions = options & ~(uint32_t)(kComInitialised | kRefreshing);
    const HRESULT com = CoInitialize(nullptr);
    if (SUCCEEDED(com))
        m_dwOptions |= kComInitialised;
    if (FAILED(SHGetMalloc(&m_pMalloc)))
        m_pMalloc = nullptr;

    SHFILEINFOA info = {};
    HIMAGELIST small =
        (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    SendMessageA(m_hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)small);
    SetExplorerTheme(m_hTree);
    if (ModernCommonControls()) {
        LONG_PTR style = GetWindowLongPtrA(m_hTree, GWL_STYLE);
        SetWindowLongPtrA(m_hTree, GWL_STYLE, (style & ~(LONG_PTR)TVS_HASLINES) | TVS_TRACKSELECT);
    }
    if (m_hList) {
        // The system's image list is shared: the list must not destroy it.
        SetWindowLongPtrA(m_hList, GWL_STYLE, GetWindowLongPtrA(m_hList, GWL_STYLE) | LVS_SHAREIMAGELISTS);
        SendMessageA(m_hList, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)small);
        if (m_dwOptions & kFileList) {
            SetWindowLongPtrA(m_hList, GWL_STYLE,
                              (GetWindowLongPtrA(m_hList, GWL_STYLE) & ~(LONG_PTR)LVS_TYPEMASK) | LVS_REPORT);
            SendMessageA(m_hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = LVCFMT_LEFT;
            column.cx = 150;
            column.pszText = (char*)"Filename";
            SendMessageA(m_hList, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
            column.fmt = LVCFMT_RIGHT;
            column.cx = 85;
            column.pszText = (char*)"Size";
            SendMessageA(m_hList, LVM_INSERTCOLUMNA, 1, (LPARAM)&column);
        }
    }
    FillTree();
    SetFocus(m_hTree);
    return 1;
}

void C_ShellBrowser::SetCallbacks(Callback folderSelected, Callback fileSelected, Callback fileActivated,
                                  void* user)
{
    m_folderSelected = folderSelected;
    m_fileSelected = fileSelected;
    m_fileActivated = fileActivated;
    m_pUser = user;
}

void C_ShellBrowser::Destroy()
{
    if (m_hList && IsWindow(m_hList))
        SendMessageA(m_hList, LVM_DELETEALLITEMS, 0, 0);
    if (m_hTree && IsWindow(m_hTree))
        SendMessageA(m_hTree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    if (m_pListFolder)
        m_pListFolder->Release();
    m_pListFolder = nullptr;
    if (m_pListAbsolute)
        CoTaskMemFree(m_pListAbsolute);
    m_pListAbsolute = nullptr;
    if (m_pMalloc)
        m_pMalloc->Release();
    m_pMalloc = nullptr;
    if (m_dwOptions & kComInitialised)
        CoUninitialize();
    m_dwOptions &= ~(uint32_t)kComInitialised;
    m_hTree = m_hList = nullptr;
}

C_ShellBrowser::Item* C_ShellBrowser::NewItem(IShellFolder* parent, LPCITEMIDLIST parentAbsolute,
                                              LPCITEMIDLIST relative)
{
    Item* item = new Item;
    item->parent = parent;
    if (parent)
        parent->AddRef();
    item->relative = ILClone(relative);
    item->absolute = parentAbsolute ? ILCombine(parentAbsolute, relative) : ILClone(relative);
    return item;
}

void C_ShellBrowser::FreeItem(Item* item)
{
    if (!item)
        return;
    if (item->parent)
        item->parent->Release();
    if (item->absolute)
        CoTaskMemFree(item->absolute);
    if (item->relative)
        CoTaskMemFree(item->relative);
    delete item;
}

C_ShellBrowser::Item* C_ShellBrowser::TreeItemData(HTREEITEM handle)
{
    TVITEMA item = {};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = handle;
    if (!handle || !SendMessageA(m_hTree, TVM_GETITEMA, 0, (LPARAM)&item))
        return nullptr;
    return (Item*)item.lParam;
}

C_ShellBrowser::Item* C_ShellBrowser::ListItemData(int index)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (index < 0 || !SendMessageA(m_hList, LVM_GETITEMA, 0, (LPARAM)&item))
        return nullptr;
    return (Item*)item.lParam;
}

IShellFolder* C_ShellBrowser::FolderOf(const Item* item)
{
    IShellFolder* folder = nullptr;
    if (!item)
        return nullptr;
    if (!item->parent) {
        if (FAILED(SHGetDesktopFolder(&folder)))
            return nullptr;
        return folder;
    }
    if (FAILED(item->parent->BindToObject(item->relative, nullptr, IID_IShellFolder, (void**)&folder)))
        return nullptr;
    return folder;
}

std::string C_ShellBrowser::DisplayName(const Item* item)
{
    SHFILEINFOA info = {};
    if (!item ||
        !SHGetFileInfoA((LPCSTR)item->absolute, 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME))
        return std::string();
    return info.szDisplayName;
}

int C_ShellBrowser::IconOf(const Item* item, UINT extra)
{
    SHFILEINFOA info = {};
    if (!item ||
        !SHGetFileInfoA((LPCSTR)item->absolute, 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_LINKOVERLAY | extra))
        return 0;
    return info.iIcon;
}

void C_ShellBrowser::SetRedraw(HWND window, int on)
{
    SendMessageA(window, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on)
        InvalidateRect(window, nullptr, TRUE);
}

void C_ShellBrowser::FillTree()
{
    SendMessageA(m_hTree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    LPITEMIDLIST desktop = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)) || !desktop)
        return;
    Item* root = NewItem(nullptr, nullptr, desktop);
    CoTaskMemFree(desktop);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = LPSTR_TEXTCALLBACKA;
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = 1;
    insert.item.lParam = (LPARAM)root;
    HTREEITEM handle = (HTREEITEM)SendMessageA(m_hTree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    if (!handle) {
        FreeItem(root);
        return;
    }
    SendMessageA(m_hTree, TVM_EXPAND, TVE_EXPAND, (LPARAM)handle);
}

void C_ShellBrowser::ExpandTreeItem(HTREEITEM handle)
{
    if (SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)handle))
        return; // already filled
    Item* parentItem = TreeItemData(handle);
    IShellFolder* folder = FolderOf(parentItem);
    int added = 0;
    if (folder) {
        HourGlass wait;
        SetRedraw(m_hTree, 0);
        IEnumIDList* list = nullptr;
        if (folder->EnumObjects(m_hTree, SHCONTF_FOLDERS, &list) == S_OK && list) {
            LPITEMIDLIST child = nullptr;
            ULONG fetched = 0;
            while (list->Next(1, &child, &fetched) == S_OK && fetched == 1) {
                SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_SHARE;
                LPCITEMIDLIST one = child;
                if (FAILED(folder->GetAttributesOf(1, &one, &attributes)))
                    attributes = 0;
                Item* record = NewItem(folder, parentItem->absolute, child);
                CoTaskMemFree(child);
                TVINSERTSTRUCTA insert = {};
                insert.hParent = handle;
                insert.hInsertAfter = TVI_LAST;
                insert.item.mask =
                    TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
                insert.item.pszText = LPSTR_TEXTCALLBACKA;
                insert.item.iImage = I_IMAGECALLBACK;
                insert.item.iSelectedImage = I_IMAGECALLBACK;
                insert.item.cChildren = (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
                if (attributes & SFGAO_SHARE) {
                    insert.item.state = INDEXTOOVERLAYMASK(1);
                    insert.item.stateMask = TVIS_OVERLAYMASK;
                }
                insert.item.lParam = (LPARAM)record;
                if (SendMessageA(m_hTree, TVM_INSERTITEMA, 0, (LPARAM)&insert))
                    ++added;
                else
                    FreeItem(record);
            }
            list->Release();
        }
        if (added) {
            m_pSortFolder = folder;
            TVSORTCB sort = {};
            sort.hParent = handle;
            sort.lpfnCompare = &C_ShellBrowser::CompareTreeItems;
            sort.lParam = (LPARAM)this;
            SendMessageA(m_hTree, TVM_SORTCHILDRENCB, 0, (LPARAM)&sort);
            m_pSortFolder = nullptr;
        }
        SetRedraw(m_hTree, 1);
        folder->Release();
    }
    if (!added) {
        TVITEMA item = {};
        item.mask = TVIF_CHILDREN | TVIF_HANDLE;
        item.hItem = handle;
        item.cChildren = 0;
        SendMessageA(m_hTree, TVM_SETITEMA, 0, (LPARAM)&item);
    }
}

int CALLBACK C_ShellBrowser::CompareTreeItems(LPARAM a, LPARAM b, LPARAM self)
{
    C_ShellBrowser* me = (C_ShellBrowser*)self;
    Item *x = (Item*)a, *y = (Item*)b;
    if (!me->m_pSortFolder || !x || !y)
        return 0;
    return (short)HRESULT_CODE(me->m_pSortFolder->CompareIDs(0, x->relative, y->relative));
}

void C_ShellBrowser::FillList(IShellFolder* folder, LPCITEMIDLIST absolute)
{
    if (!m_hList)
        return;
    SendMessageA(m_hList, LVM_DELETEALLITEMS, 0, 0);
    if (m_pListFolder)
        m_pListFolder->Release();
    m_pListFolder = folder;
    if (m_pListFolder)
        m_pListFolder->AddRef();
    if (m_pListAbsolute)
        CoTaskMemFree(m_pListAbsolute);
    m_pListAbsolute = absolute ? ILClone(absolute) : nullptr;
    if (!folder)
        return;

    HourGlass wait;
    SetRedraw(m_hList, 0);
    IEnumIDList* list = nullptr;
    if (folder->EnumObjects(m_hList, SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &list) == S_OK && list) {
        LPITEMIDLIST child = nullptr;
        ULONG fetched = 0;
        int index = 0;
        while (list->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            Item* record = NewItem(folder, m_pListAbsolute, child);
            CoTaskMemFree(child);
            char path[MAX_PATH];
            if (!PathOf(record->absolute, path) || strlen(path) <= 3) {
                FreeItem(record);
                continue;
            }
            record->hasPath = true;
            SizeOfPath(path, &record->size);
            SFGAOF attributes = SFGAO_SHARE | SFGAO_GHOSTED;
            LPCITEMIDLIST one = record->relative;
            if (FAILED(folder->GetAttributesOf(1, &one, &attributes)))
                attributes = 0;
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
            item.iItem = index;
            item.pszText = LPSTR_TEXTCALLBACKA;
            item.iImage = I_IMAGECALLBACK;
            item.lParam = (LPARAM)record;
            if (attributes & SFGAO_SHARE) {
                item.state |= INDEXTOOVERLAYMASK(1);
                item.stateMask |= LVIS_OVERLAYMASK;
            }
            if (attributes & SFGAO_GHOSTED) {
                item.state |= LVIS_CUT;
                item.stateMask |= LVIS_CUT;
            }
            if (SendMessageA(m_hList, LVM_INSERTITEMA, 0, (LPARAM)&item) >= 0)
                ++index;
            else
                FreeItem(record);
        }
        list->Release();
    }
    SendMessageA(m_hList, LVM_SORTITEMS, (WPARAM)this, (LPARAM)&C_ShellBrowser::CompareListItems);
    SetRedraw(m_hList, 1);
}

int CALLBACK C_ShellBrowser::CompareListItems(LPARAM a, LPARAM b, LPARAM self)
{
    C_ShellBrowser* me = (C_ShellBrowser*)self;
    Item *x = (Item*)a, *y = (Item*)b;
    if (!x || !y)
        return 0;
    // Sizes taken at the fill: opening both files at every comparison would cost some
    // 2 N log N opens on the GUI thread, minutes for a big folder on a share.
    if (x->hasPath && y->hasPath)
        return x->size > y->size ? -1 : x->size < y->size ? 1 : 0;
    if (!me->m_pListFolder)
        return 0;
    const short order = (short)HRESULT_CODE(me->m_pListFolder->CompareIDs(0, x->relative, y->relative));
    return order < 0 ? 0 : order;
}

int C_ShellBrowser::GetSelectedFolderPath(char* path)
{
    path[0] = 0;
    HTREEITEM handle = (HTREEITEM)SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    Item* item = TreeItemData(handle);
    return item && PathOf(item->absolute, path) ? 1 : 0;
}

int C_ShellBrowser::GetSelectedFilePath(char* path)
{
    path[0] = 0;
    if (!m_hList)
        return 0;
    const int index = (int)SendMessageA(m_hList, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    Item* item = ListItemData(index);
    return item && PathOf(item->absolute, path) ? 1 : 0;
}

void C_ShellBrowser::SelectListItem(const char* text)
{
    if (!m_hList || !text)
        return;
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    const int found = (int)SendMessageA(m_hList, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
    if (found < 0)
        return;
    if (SendMessageA(m_hList, LVM_GETITEMSTATE, found, LVIS_SELECTED) & LVIS_SELECTED)
        return;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageA(m_hList, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(m_hList, LVM_SETITEMSTATE, found, (LPARAM)&item);
    SendMessageA(m_hList, LVM_ENSUREVISIBLE, found, FALSE);
}

void C_ShellBrowser::Refresh()
{
    if (!m_hTree)
        return;
    std::string listText;
    if (m_hList) {
        const int index = (int)SendMessageA(m_hList, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
        Item* item = ListItemData(index);
        if (item)
            listText = DisplayName(item);
    }
    // The selected folder as the chain of display texts from the root down.
    std::vector<std::string> chain;
    for (HTREEITEM h = (HTREEITEM)SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_CARET, 0); h;
         h = (HTREEITEM)SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)h))
        chain.insert(chain.begin(), DisplayName(TreeItemData(h)));

    m_dwOptions |= kRefreshing;
    FillTree();
    HTREEITEM match = (HTREEITEM)SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    for (size_t level = 1; match && level < chain.size(); ++level) {
        SendMessageA(m_hTree, TVM_EXPAND, TVE_EXPAND, (LPARAM)match);
        HTREEITEM found = nullptr;
        for (HTREEITEM c = (HTREEITEM)SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)match); c;
             c = (HTREEITEM)SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)c)) {
            if (lstrcmpiA(DisplayName(TreeItemData(c)).c_str(), chain[level].c_str()) == 0) {
                found = c;
                break;
            }
        }
        if (!found)
            break;
        match = found;
    }
    m_dwOptions &= ~(uint32_t)kRefreshing;
    if (match) {
        // Selecting the item it already has would not refill the list.
        SendMessageA(m_hTree, TVM_SELECTITEM, TVGN_CARET, 0);
        SendMessageA(m_hTree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)match);
    }
    if (!listText.empty())
        SelectListItem(listText.c_str());
}

int C_ShellBrowser::OnTreeNotify(NMHDR* header, LRESULT* result)
{
    switch (header->code) {
    case TVN_GETDISPINFOA: {
        NMTVDISPINFOA* info = (NMTVDISPINFOA*)header;
        Item* item = (Item*)info->item.lParam;
        if (info->item.mask & TVIF_TEXT) {
            m_text = DisplayName(item);
            lstrcpynA(info->item.pszText, m_text.c_str(), info->item.cchTextMax);
        }
        if (info->item.mask & TVIF_IMAGE)
            info->item.iImage = IconOf(item, 0);
        if (info->item.mask & TVIF_SELECTEDIMAGE)
            info->item.iSelectedImage = IconOf(item, SHGFI_OPENICON);
        return 1;
    }
    case TVN_ITEMEXPANDINGA: {
        NMTREEVIEWA* tv = (NMTREEVIEWA*)header;
        if (tv->action & TVE_EXPAND)
            ExpandTreeItem(tv->itemNew.hItem);
        *result = 0;
        return 1;
    }
    case TVN_ITEMEXPANDEDA: {
        NMTREEVIEWA* tv = (NMTREEVIEWA*)header;
        if ((tv->action & TVE_COLLAPSE) && !(m_dwOptions & kRefreshing))
            SendMessageA(m_hTree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, (LPARAM)tv->itemNew.hItem);
        return 1;
    }
    case TVN_SELCHANGEDA: {
        if (m_dwOptions & kRefreshing)
            return 1;
        NMTREEVIEWA* tv = (NMTREEVIEWA*)header;
        Item* item = (Item*)tv->itemNew.lParam;
        if (!item)
            return 1;
        IShellFolder* folder = FolderOf(item);
        FillList(folder, item->absolute);
        if (folder)
            folder->Release();
        if (m_folderSelected)
            m_folderSelected(m_pUser);
        return 1;
    }
    case TVN_DELETEITEMA: {
        NMTREEVIEWA* tv = (NMTREEVIEWA*)header;
        FreeItem((Item*)tv->itemOld.lParam);
        return 1;
    }
    case TVN_KEYDOWN:
        if (((NMTVKEYDOWN*)header)->wVKey == VK_F5) {
            Refresh();
            return 1;
        }
        return 0;
    }
    return 0;
}

int C_ShellBrowser::OnListNotify(NMHDR* header, LRESULT*)
{
    switch (header->code) {
    case LVN_GETDISPINFOA: {
        NMLVDISPINFOA* info = (NMLVDISPINFOA*)header;
        Item* item = (Item*)info->item.lParam;
        if (!item)
            item = ListItemData(info->item.iItem);
        if (info->item.mask & LVIF_TEXT) {
            m_text.clear();
            if (info->item.iSubItem == 0) {
                m_text = DisplayName(item);
            } else {
                char path[MAX_PATH];
                uint64_t size = 0;
                if (item && PathOf(item->absolute, path) && SizeOfPath(path, &size))
                    m_text = FormatByteSize(size, 0);
            }
            lstrcpynA(info->item.pszText, m_text.c_str(), info->item.cchTextMax);
        }
        if (info->item.mask & LVIF_IMAGE)
            info->item.iImage = IconOf(item, 0);
        return 1;
    }
    case LVN_ITEMCHANGED: {
        NMLISTVIEW* lv = (NMLISTVIEW*)header;
        if ((lv->uChanged & LVIF_STATE) &&
            ((lv->uNewState ^ lv->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)) && m_fileSelected)
            m_fileSelected(m_pUser);
        return 1;
    }
    case LVN_ITEMACTIVATE:
        if (m_fileActivated)
            m_fileActivated(m_pUser);
        return 1;
    case LVN_DELETEITEM: {
        NMLISTVIEW* lv = (NMLISTVIEW*)header;
        FreeItem((Item*)lv->lParam);
        return 1;
    }
    case LVN_KEYDOWN:
        if (((NMLVKEYDOWN*)header)->wVKey == VK_F5) {
            Refresh();
            return 1;
        }
        return 0;
    }
    return 0;
}

int C_ShellBrowser::HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result)
{
    if (message != WM_NOTIFY || !lParam)
        return 0;
    NMHDR* header = (NMHDR*)lParam;
    if (m_hTree && header->hwndFrom == m_hTree)
        return OnTreeNotify(header, result);
    if (m_hList && header->hwndFrom == m_hList)
        return OnListNotify(header, result);
    return 0;
}
