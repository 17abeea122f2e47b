// A report list view attached to a dialog control: columns, items, sorting by a header
// click (sizes by value, other texts in logical order), notifications to the owner, and
// editing of single cells.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <string>
#include "app/framework/SubClassing.h"

class C_ListView;

// The owner's callbacks; any may be left null.
struct ListViewEvents {
    void* user = nullptr;
    // Decides the order of two rows (item data) itself: 1 with *result set, or 0 to leave it.
    int (*compare)(LPARAM a, LPARAM b, int column, int* result, void* user) = nullptr;
    void (*keyDown)(WORD key, void* user) = nullptr;
    void (*infoTip)(NMLVGETINFOTIPA* tip, void* user) = nullptr;
    // 1 refuses the label editing.
    int (*beginLabelEdit)(int item, void* user) = nullptr;
    // 1 accepts the new label (null text: editing was cancelled).
    int (*endLabelEdit)(int item, const char* text, void* user) = nullptr;
    void (*selectionChanged)(int item, int selected, void* user) = nullptr;
    void (*checkChanged)(int item, int checked, void* user) = nullptr;
    void (*columnClick)(int column, void* user) = nullptr;
    // Custom draw: the value for the list's parent to return.
    LRESULT (*customDraw)(NMLVCUSTOMDRAW* draw, void* user) = nullptr;
    void (*click)(int item, int column, void* user) = nullptr;
    void (*doubleClick)(int item, int column, void* user) = nullptr;
    void (*rightClick)(int item, int column, void* user) = nullptr;
    void (*returnKey)(void* user) = nullptr;
    // Cell editing: fill the combo box and return 1 to edit with it, 0 for an edit box.
    int (*fillCellCombo)(int item, int column, HWND combo, void* user) = nullptr;
    // The edited text; 1 lets the list take it into the cell.
    int (*cellEdited)(int item, int column, const char* text, void* user) = nullptr;
};

class C_ListView {
public:
    enum : uint32_t {
        kSystemImages = 0x2,
        kSortOnHeaderClick = 0x4,
        kHeaderArrows = 0x8,
        kNoImageLists = 0x10,
        kGroupView = 0x80,
    };

    C_ListView() : m_sub(kTagList), m_editSub(kTagListEdit) {}
    ~C_ListView() { Detach(); }

    // arrowUp and arrowDown are bitmap ids of the header's sort arrows (0: the system's).
    int Attach(HWND list, HINSTANCE instance, uint32_t options, UINT arrowUp, UINT arrowDown,
               const ListViewEvents& events);
    void Detach();
    // The owner passes every WM_NOTIFY here; 1 when it was the list's, with the result.
    int HandleNotify(NMHDR* header, LRESULT* result);

    int AddColumn(const char* text, int index, int alignment, int width, uint32_t options = 0);
    int GetColumnWidth(int column);
    int SetColumnWidth(int column, int width);
    int InsertItem(int index, const char* text, LPARAM data, int image = -2, int group = -1);
    int SetSubItemText(int item, int column, const char* text);
    int SetItemState(int item, UINT state, UINT mask);
    int SetAllItemsState(UINT state, UINT mask) { return SetItemState(-1, state, mask); }
    int DeleteItem(int item);
    int DeleteAll();
    int GetSelected(std::string* text, LPARAM* data);
    int GetItem(int index, int column, std::string* text, LPARAM* data);
    int FindByData(LPARAM data);
    int FindByText(const char* text);
    int EnsureVisible(int item);
    void SetRedraw(int on);
    int Count();
    int SetCheck(int item, int on);

    // Sorts by the column: ascending for a new column, otherwise the direction flips.
    int SortByColumn(int column);
    bool IsSortDescending() const { return m_bDescending; }
    // Order of two cell texts as the list sorts them (sizes, then logical order).
    int CompareTexts(const std::string& a, const std::string& b) const;

    // Puts an edit box (or the owner's combo box) over one cell.
    int EditCell(int item, int column);
    void EndCellEdit(bool take);
    HWND GetCellEditor() const { return m_hEditor; }

    HWND GetWindow() const { return m_hList; }

private:
    static int CALLBACK CompareByIndex(LPARAM a, LPARAM b, LPARAM self);
    static int CALLBACK CompareByData(LPARAM a, LPARAM b, LPARAM self);
    static int ListProc(HWND, UINT, WPARAM, LPARAM, LRESULT*, void*);
    static int EditorProc(HWND, UINT, WPARAM, LPARAM, LRESULT*, void*);
    int CompareRows(int indexA, int indexB, LPARAM dataA, LPARAM dataB);
    void ShowSortArrow();
    std::string CellText(int item, int column);

    C_SubClassing m_sub;
    C_SubClassing m_editSub;
    HWND m_hList = nullptr;
    HWND m_hHeader = nullptr;
    HINSTANCE m_hInstance = nullptr;
    uint32_t m_dwOptions = 0;
    ListViewEvents m_events;
    HIMAGELIST m_hSmall = nullptr, m_hLarge = nullptr, m_hArrows = nullptr;
    int m_nComCtlMajor = 5;
    int m_nComCtlMinor = 80;
    std::string m_strThousands = ".";
    int m_nSortColumn = -1;
    bool m_bDescending = false;
    bool m_bGroups = false;
    HWND m_hEditor = nullptr;
    int m_nEditItem = -1, m_nEditColumn = -1;
    bool m_bEditorIsCombo = false;
};
