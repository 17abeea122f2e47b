// The folder tree and file list in this process, on a folder of the temporary folder reached
// through the tree as a click would reach it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>
#include "app/framework/ShellBrowser.h"
#include "core/Text.h"
#include "tests/common/TestFolder.h"

namespace {

// A top-level window with a tree and a list whose notifications go to the browser; a test
// can act each time the list takes an entry.
class BrowserWindow {
public:
    BrowserWindow()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA cls = {};
        cls.lpfnWndProc = &BrowserWindow::Procedure;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QmBrowserTest";
        RegisterClassA(&cls);
        m_window = CreateWindowExA(0, cls.lpszClassName, "browser", WS_OVERLAPPEDWINDOW, 0, 0, 700, 500,
                                   nullptr, nullptr, cls.hInstance, nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, (LONG_PTR)this);
        tree =
            CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_SHOWSELALWAYS,
                            0, 0, 300, 480, m_window, nullptr, cls.hInstance, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_SHOWSELALWAYS, 310, 0, 380,
                               480, m_window, nullptr, cls.hInstance, nullptr);
        browser.Create(tree, list, cls.hInstance, C_ShellBrowser::kFileList);
    }
    ~BrowserWindow()
    {
        browser.Destroy(); // while the windows still pass the deletions to it
        DestroyWindow(m_window);
    }

    // Selects tree items, going down every one whose folder leads to the target (or that has
    // no folder of its own, like "My Computer", near the top).
    bool SelectFolder(const std::string& target)
    {
        HTREEITEM root = TreeView_GetRoot(tree);
        return Find(TreeView_GetChild(tree, root), target, 0) != nullptr;
    }
    // The column's texts from the first entry down.
    std::vector<std::string> Column(int column)
    {
        std::vector<std::string> texts;
        const int count = ListView_GetItemCount(list);
        for (int i = 0; i < count; ++i) {
            char text[MAX_PATH] = "";
            ListView_GetItemText(list, i, column, text, sizeof(text));
            texts.push_back(text);
        }
        return texts;
    }

    C_ShellBrowser browser;
    HWND tree = nullptr, list = nullptr;
    std::function<void()> onInsert;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        BrowserWindow* self = (BrowserWindow*)GetWindowLongPtrA(window, GWLP_USERDATA);
        if (self && message == WM_NOTIFY) {
            LRESULT result = 0;
            if (self->browser.HandleMessage(message, wParam, lParam, &result))
                return result;
            const NMHDR* header = (const NMHDR*)lParam;
            if (header->hwndFrom == self->list && header->code == LVN_INSERTITEM && self->onInsert)
                self->onInsert();
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    std::string SelectedFolder()
    {
        char path[MAX_PATH];
        return browser.GetSelectedFolderPath(path) ? path : "";
    }
    static bool Leads(const std::string& folder, const std::string& target)
    {
        return !folder.empty() && folder.size() < target.size() &&
               CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, folder.c_str(), (int)folder.size(),
                              target.c_str(), (int)folder.size()) == CSTR_EQUAL &&
               (folder.back() == '\\' || target[folder.size()] == '\\');
    }
    HTREEITEM Find(HTREEITEM item, const std::string& target, int depth)
    {
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            TreeView_SelectItem(tree, item);
            const std::string folder = SelectedFolder();
            if (lstrcmpiA(folder.c_str(), target.c_str()) == 0)
                return item;
            if ((Leads(folder, target) || (folder.empty() && depth < 2)) && depth < 12) {
                TreeView_Expand(tree, item, TVE_EXPAND);
                HTREEITEM found = Find(TreeView_GetChild(tree, item), target, depth + 1);
                if (found)
                    return found;
            }
        }
        return nullptr;
    }

    HWND m_window = nullptr;
};

void SetSize(const std::string& path, int64_t size)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    LARGE_INTEGER at;
    at.QuadPart = size;
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
}

} // namespace

TEST(ShellBrowser, FileListOrdersByTheSizesTakenWhileFilling)
{
    TestFolder folder("browser");
    SetSize(folder.File("small"), 1000);
    SetSize(folder.File("middle"), 2000);
    SetSize(folder.File("large"), 3000);
    BrowserWindow w;
    ASSERT_TRUE(w.SelectFolder(folder.Path())) << folder.Path();
    EXPECT_EQ(w.Column(0), (std::vector<std::string>{"large", "middle", "small"}));
    EXPECT_EQ(w.Column(1),
              (std::vector<std::string>{FormatByteSize(3000), FormatByteSize(2000), FormatByteSize(1000)}));

    // The folder is listed again, and once every entry is in, before the sort, the sizes on
    // disk turn the other way round: a sort that opened the files would follow them.
    int inserted = 0;
    w.onInsert = [&] {
        if (++inserted != 3)
            return;
        SetSize(folder.File("small"), 5000);
        SetSize(folder.File("large"), 10);
    };
    HTREEITEM shown = TreeView_GetSelection(w.tree);
    TreeView_SelectItem(w.tree, nullptr);
    TreeView_SelectItem(w.tree, shown);
    EXPECT_EQ(inserted, 3);
    EXPECT_EQ(w.Column(0), (std::vector<std::string>{"large", "middle", "small"}));
}
