// A folder tree of the shell namespace from the desktop down, and a file list of the folder
// selected in it, biggest file first. Lives on the GUI thread that created it.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <string>

class C_ShellBrowser {
public:
    enum : uint32_t {
        kComInitialised = 0x1,
        kFileList = 0x2, // the list is a report view with name and size columns
        kRefreshing = 0x4
    };
    typedef void (*Callback)(void* user);

    C_ShellBrowser() = default;
    ~C_ShellBrowser() { Destroy(); }
    C_ShellBrowser(const C_ShellBrowser&) = delete;
    C_ShellBrowser& operator=(const C_ShellBrowser&) = delete;

    int Create(HWND tree, HWND list, HINSTANCE instance, uint32_t options);
    void SetCallbacks(Callback folderSelected, Callback fileSelected, Callback fileActivated, void* user);
    // 1 with the file-system path of the selected folder or file (260 bytes).
    int GetSelectedFolderPath(char* path);
    int GetSelectedFilePath(char* path);
    void Refresh();
    // Selects the list entry showing exactly this text, when there is one.
    void SelectListItem(const char* text);
    // A message of the owner dialog; 1 when the browser consumed it.
    int HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void Destroy();

private:
    struct Item {
        IShellFolder* parent = nullptr; // null for the desktop itself
        LPITEMIDLIST absolute = nullptr;
        LPITEMIDLIST relative = nullptr;
        // List entries only: the file's size, taken once while the list is filled (0 when it
        // cannot be read), so that sorting opens no file.
        bool hasPath = false;
        uint64_t size = 0;
    };

    void FillTree();
    void ExpandTreeItem(HTREEITEM item);
    void FillList(IShellFolder* folder, LPCITEMIDLIST absolute);
    IShellFolder* FolderOf(const Item* item);
    Item* NewItem(IShellFolder* parent, LPCITEMIDLIST parentAbsolute, LPCITEMIDLIST relative);
    void FreeItem(Item* item);
    Item* TreeItemData(HTREEITEM item);
    Item* ListItemData(int index);
    std::string DisplayName(const Item* item);
    int IconOf(const Item* item, UINT extra);
    int OnTreeNotify(NMHDR* header, LRESULT* result);
    int OnListNotify(NMHDR* header, LRESULT* result);
    void SetRedraw(HWND window, int on);
    static int CALLBACK CompareTreeItems(LPARAM a, LPARAM b, LPARAM self);
    static int CALLBACK CompareListItems(LPARAM a, LPARAM b, LPARAM self);

    HWND m_hTree = nullptr;
    HWND m_hList = nullptr;
    IMalloc* m_pMalloc = nullptr;
    IShellFolder* m_pListFolder = nullptr;
    LPITEMIDLIST m_pListAbsolute = nullptr;
    IShellFolder* m_pSortFolder = nullptr; // the parent whose order the tree sort asks
    Callback m_folderSelected = nullptr;
    Callback m_fileSelected = nullptr;
    Callback m_fileActivated = nullptr;
    void* m_pUser = nullptr;
    uint32_t m_dwOptions = 0;
    std::string m_text; // keeps display texts alive for the controls
};
