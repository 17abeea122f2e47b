#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <vector>
#include "app/framework/Dialog.h"
#include "app/framework/FontTools.h"
#include "app/framework/Hyperlink.h"
#include "app/framework/ImageControl.h"
#include "app/framework/ListView.h"
#include "app/framework/Placement.h"
#include "app/framework/PlacementText.h"
#include "app/framework/TextLabel.h"

namespace {

class Host : public C_Dialog {};

std::vector<std::string> Column(C_ListView& list)
{
    std::vector<std::string> cells;
    for (int i = 0; i < list.Count(); ++i) {
        std::string text;
        list.GetItem(i, 0, &text, nullptr);
        cells.push_back(text);
    }
    return cells;
}

// A header click as the control reports it to its owner.
void ClickHeader(C_ListView& list, int column)
{
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = list.GetWindow();
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    LRESULT result = 0;
    EXPECT_EQ(list.HandleNotify(&click.hdr, &result), 1);
}

TEST(ListView, HeaderClicksSortSizesAndNamesBothWays)
{
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9001, 0, nullptr));
    C_ListView list;
    ListViewEvents events;
    ASSERT_EQ(list.Attach(host.GetItem(100), nullptr,
                          C_ListView::kSortOnHeaderClick | C_ListView::kHeaderArrows, 0, 0, events),
              1);
    EXPECT_EQ(list.Attach(host.GetItem(100), nullptr, 0, 0, 0, events), 0);
    ASSERT_EQ(list.AddColumn("Size", 0, LVCFMT_LEFT, 100), 0);
    ASSERT_EQ(list.AddColumn("Name", 1, LVCFMT_LEFT, 100), 1);
    const char* sizes[] = {"1.5 GByte", "900.0 MByte", "2048 Byte"};
    const char* names[] = {"file10", "file2", "File1"};
    for (int i = 0; i < 3; ++i) {
        int item = list.InsertItem(i, sizes[i], 100 + i);
        ASSERT_EQ(item, i);
        list.SetSubItemText(item, 1, names[i]);
    }
    ClickHeader(list, 0);
    EXPECT_EQ(Column(list), (std::vector<std::string>{"2048 Byte", "900.0 MByte", "1.5 GByte"}));
    EXPECT_FALSE(list.IsSortDescending());
    ClickHeader(list, 0);
    EXPECT_EQ(Column(list), (std::vector<std::string>{"1.5 GByte", "900.0 MByte", "2048 Byte"}));
    EXPECT_TRUE(list.IsSortDescending());

    ClickHeader(list, 1); // a new column starts ascending again
    EXPECT_FALSE(list.IsSortDescending());
    std::vector<std::string> order;
    for (int i = 0; i < list.Count(); ++i) {
        std::string text;
        LPARAM data = 0;
        list.GetItem(i, 1, &text, &data);
        order.push_back(text);
        EXPECT_EQ(list.FindByData(data), i);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"File1", "file2", "file10"}));
    EXPECT_EQ(list.FindByText("2048 Byte") >= 0, true);
    EXPECT_EQ(list.FindByText("nothing"), -1);
    list.Detach();
    host.Close(0);
}

int g_checked = -1, g_selected = -1;
void OnCheck(int item, int checked, void*) { g_checked = item * 10 + checked; }
void OnSelect(int item, int selected, void*) { g_selected = item * 10 + selected; }
int g_edited = 0;
int OnCellEdited(int item, int column, const char* text, void*)
{
    g_edited = item * 100 + column;
    return strcmp(text, "refused") != 0;
}

TEST(ListView, ChangesReachTheOwnerAndCellsCanBeEdited)
{
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9001, 0, nullptr));
    HWND control = host.GetItem(100);
    SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    C_ListView list;
    ListViewEvents events;
    events.checkChanged = OnCheck;
    events.selectionChanged = OnSelect;
    events.cellEdited = OnCellEdited;
    ASSERT_EQ(list.Attach(control, nullptr, C_ListView::kNoImageLists, 0, 0, events), 1);
    list.AddColumn("A", 0, LVCFMT_LEFT, 80);
    list.AddColumn("B", 1, LVCFMT_LEFT, 80);
    list.InsertItem(0, "row", 1);
    list.SetSubItemText(0, 1, "old");

    // The host forwards the list's notifications, as a page does.
    NMLISTVIEW change = {};
    change.hdr.hwndFrom = control;
    change.hdr.code = LVN_ITEMCHANGED;
    change.iItem = 0;
    change.uChanged = LVIF_STATE;
    change.uOldState = INDEXTOSTATEIMAGEMASK(1);
    change.uNewState = INDEXTOSTATEIMAGEMASK(2);
    LRESULT result;
    ASSERT_EQ(list.HandleNotify(&change.hdr, &result), 1);
    EXPECT_EQ(g_checked, 1);
    EXPECT_EQ(g_selected, -1) << "a check is not a selection";
    change.uOldState = INDEXTOSTATEIMAGEMASK(2);
    change.uNewState = INDEXTOSTATEIMAGEMASK(2) | LVIS_SELECTED;
    list.HandleNotify(&change.hdr, &result);
    EXPECT_EQ(g_selected, 1);

    ASSERT_EQ(list.EditCell(0, 1), 1);
    HWND editor = list.GetCellEditor();
    ASSERT_TRUE(editor);
    char text[32] = "";
    GetWindowTextA(editor, text, sizeof(text));
    EXPECT_STREQ(text, "old");
    SetWindowTextA(editor, "new");
    SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(IsWindow(editor));
    std::string cell;
    list.GetItem(0, 1, &cell, nullptr);
    EXPECT_EQ(cell, "new");
    EXPECT_EQ(g_edited, 1);

    list.EditCell(0, 1);
    SetWindowTextA(list.GetCellEditor(), "refused");
    list.EndCellEdit(true);
    list.GetItem(0, 1, &cell, nullptr);
    EXPECT_EQ(cell, "new") << "the owner refused the text";
    list.EditCell(0, 1);
    SetWindowTextA(list.GetCellEditor(), "escaped");
    SendMessageA(list.GetCellEditor(), WM_KEYDOWN, VK_ESCAPE, 0);
    list.GetItem(0, 1, &cell, nullptr);
    EXPECT_EQ(cell, "new");
    host.Close(0);
}

std::vector<std::pair<int, uint32_t>> g_imageEvents;
void OnImage(int event, uint32_t position, void*) { g_imageEvents.push_back({event, position}); }

TEST(ImageControl, EventsCarryImagePositions)
{
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9003, 0, nullptr));
    C_ImageControl image;
    ASSERT_EQ(image.Attach(host.GetItem(101), nullptr, C_ImageControl::kNoScaling, 0, 0, 0, 0, CLR_INVALID, 0,
                           OnImage, nullptr, 175, 188),
              1);
    EXPECT_EQ(image.GetScale(), 1000);
    g_imageEvents.clear();
    HWND control = host.GetItem(101);
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 12));
    SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(301, 12));
    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(302, 13));
    SendMessageA(control, WM_KEYUP, VK_SPACE, 0);
    ASSERT_EQ(g_imageEvents.size(), 3u) << "moves are reported only when asked for";
    EXPECT_EQ(g_imageEvents[0].first, kImageLeftDown);
    EXPECT_EQ(g_imageEvents[0].second, (12u << 16) | 300u);
    EXPECT_EQ(g_imageEvents[1].first, kImageLeftUp);
    EXPECT_EQ(g_imageEvents[2].first, kImageSpaceUp);
    EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, 0), HTCLIENT);
    host.Close(0);
}

TEST(ImageControl, ScaledPositionsAreInImagePixels)
{
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9003, 0, nullptr));
    RECT hundred = host.MapDialogUnits(0, 0, 100, 100);
    // Designed where 100 dialog units were 50 pixels: the screen is larger by this ratio.
    C_ImageControl image;
    ASSERT_EQ(
        image.Attach(host.GetItem(101), nullptr, 0, 0, 0, 0, 0, CLR_INVALID, 0, OnImage, nullptr, 50, 50), 1);
    int expected = (int)(std::min(hundred.right, hundred.bottom) * 1000L / 50);
    EXPECT_EQ(image.GetScale(), expected);
    g_imageEvents.clear();
    SendMessageA(host.GetItem(101), WM_RBUTTONDOWN, 0, MAKELPARAM(300, 90));
    ASSERT_EQ(g_imageEvents.size(), 1u);
    EXPECT_EQ(g_imageEvents[0].first, kImageRightDown);
    EXPECT_EQ(g_imageEvents[0].second & 0xFFFF, (uint32_t)(300 * 1000 / expected));
    EXPECT_EQ(g_imageEvents[0].second >> 16, (uint32_t)(90 * 1000 / expected));
    host.Close(0);
}

int g_linkEvents = 0;
void OnLink(int event, void*) { g_linkEvents = g_linkEvents * 10 + event; }

TEST(Hyperlink, DrawsItsOwnTextAndReportsEvents)
{
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9003, 0, nullptr));
    HWND control = host.GetItem(101);
    C_Hyperlink link;
    ASSERT_EQ(link.Attach(control, "a link text", nullptr, 0, 0, OnLink, nullptr), 1);
    C_Hyperlink again;
    EXPECT_EQ(again.Attach(control, "x", nullptr, 0, 0), 0);
    char text[32] = "?";
    GetWindowTextA(control, text, sizeof(text));
    EXPECT_STREQ(text, "") << "the control's own text is emptied";
    EXPECT_EQ(link.GetText(), "a link text");
    RECT client;
    GetClientRect(control, &client);
    EXPECT_GE(link.GetFontHeight(), 3);
    EXPECT_LE(link.GetFontHeight(), client.bottom + 1);
    g_linkEvents = 0;
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(control, WM_LBUTTONUP, 0, 0);
    SendMessageA(control, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(control, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(g_linkEvents, 1423);
    link.Detach();
    GetWindowTextA(control, text, sizeof(text));
    EXPECT_STREQ(text, "a link text") << "detaching gives the text back";
    host.Close(0);
}

// Sets browser values of the current user for one test and removes them afterwards.
class BrowserValue {
public:
    BrowserValue(const char* key, const char* name, const char* value) : m_key(key), m_name(name)
    {
        HKEY k;
        if (RegCreateKeyA(HKEY_CURRENT_USER, key, &k) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof(m_old);
        m_had = RegQueryValueExA(k, name, nullptr, nullptr, (BYTE*)m_old, &size) == ERROR_SUCCESS;
        RegSetValueExA(k, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
        RegCloseKey(k);
    }
    ~BrowserValue()
    {
        HKEY k;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, m_key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS)
            return;
        if (m_had)
            RegSetValueExA(k, m_name, 0, REG_SZ, (const BYTE*)m_old, (DWORD)strlen(m_old) + 1);
        else
            RegDeleteValueA(k, m_name);
        RegCloseKey(k);
    }

private:
    const char* m_key;
    const char* m_name;
    char m_old[260] = "";
    bool m_had = false;
};

TEST(Hyperlink, BrowserSettingsDecideColoursAndUnderline)
{
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9003, 0, nullptr));
    {
        C_Hyperlink plain;
        ASSERT_EQ(plain.Attach(host.GetItem(101), "x", nullptr, 0, 0), 1);
        EXPECT_EQ(plain.GetLinkColour(), RGB(0, 102, 204));
        EXPECT_EQ(plain.GetUnderlineMode(), kUnderlineAlways);
    }
    BrowserValue colour("Software\\Microsoft\\Internet Explorer\\Settings", "Anchor Color", "1,2,3");
    BrowserValue hover("Software\\Microsoft\\Internet Explorer\\Settings", "Anchor Color Hover", "200,0,0");
    BrowserValue underline("Software\\Microsoft\\Internet Explorer\\Main", "Anchor Underline", "hover");
    C_Hyperlink link;
    ASSERT_EQ(link.Attach(host.GetItem(101), "x", nullptr, 0, 0), 1);
    EXPECT_EQ(link.GetLinkColour(), RGB(1, 2, 3));
    EXPECT_EQ(link.GetHoverColour(), RGB(200, 0, 0));
    EXPECT_EQ(link.GetUnderlineMode(), kUnderlineHover);
    link.Detach();
    host.Close(0);
}

TEST(Hyperlink, CommandToTheParent)
{
    struct CommandHost : C_Dialog {
        UINT lastId = 0;
        INT_PTR OnCommand(UINT id, WPARAM, LPARAM) override
        {
            lastId = id;
            return 1;
        }
    } host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9003, 0, nullptr));
    C_Hyperlink link;
    ASSERT_EQ(link.Attach(host.GetItem(101), "go", nullptr, 0, C_Hyperlink::kCommandToParent), 1);
    SendMessageA(host.GetItem(101), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(host.lastId, 0u) << "pressing alone does not activate";
    SendMessageA(host.GetItem(101), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(host.lastId, 101u);
    host.Close(0);
}

TEST(TextLabel, FittedHeightShrinksWithLongerText)
{
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9001, 0, nullptr));
    HWND control = host.GetItem(101);
    // Wine's prefix carries the DejaVu faces; Windows has Tahoma.
    const char* present = IsFontInstalled("DejaVu Sans") ? "DejaVu Sans" : "Tahoma";
    ASSERT_TRUE(IsFontInstalled(present));
    ASSERT_FALSE(IsFontInstalled("NoSuchFace"));
    C_TextLabel label;
    std::string faces = std::string("NoSuchFace, ") + present + "; Verdana";
    ASSERT_EQ(label.Attach(control, faces.c_str(), 0, 0, 0, C_TextLabel::kBold), 1);
    EXPECT_EQ(label.GetFace(), present);
    RECT client;
    GetClientRect(control, &client);
    int shortHeight = label.GetFontHeight();
    EXPECT_LE(shortHeight, client.bottom);
    EXPECT_GE(shortHeight, 3);
    SetWindowTextA(control, "a much much longer text that can only fit in small letters");
    EXPECT_LT(label.GetFontHeight(), shortHeight);
    EXPECT_GE(label.GetFontHeight(), 3);
    char text[128] = "";
    GetWindowTextA(control, text, sizeof(text));
    EXPECT_EQ(label.GetText(), text);
    label.Detach();

    C_TextLabel fixed;
    ASSERT_EQ(fixed.Attach(control, "NoSuchFace", 20, 0, 0, 0), 1);
    EXPECT_EQ(fixed.GetFace(), "Verdana");
    EXPECT_EQ(fixed.GetFontHeight(), 20);
    host.Close(0);
}

TEST(Placement, SavedTextAndMonitorRule)
{
    const char* key = "Software\\Velantix\\QuellmorPlacementTest";
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr, 9003, 0, nullptr));
    HWND window = host.GetHandle();
    SetWindowPos(window, nullptr, 100, 120, 300, 200, SWP_NOZORDER);
    ASSERT_EQ(SaveWindowPlacement(window, HKEY_CURRENT_USER, key, "Graph", 0), 1);
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    char text[64] = "";
    DWORD size = sizeof(text);
    RegQueryValueExA(k, "Graph", nullptr, nullptr, (BYTE*)text, &size);
    EXPECT_STREQ(text, "0,100,120,400,320") << "a hidden window is stored with show command 0";

    // A monitor far to the left that is gone: the window comes back 10 pixels inside.
    const char* lost = "1,-5000,300,-4700,500";
    RegSetValueExA(k, "Graph", 0, REG_SZ, (const BYTE*)lost, (DWORD)strlen(lost) + 1);
    RegCloseKey(k);
    ASSERT_EQ(RestoreWindowPlacement(window, HKEY_CURRENT_USER, key, "Graph", kPlaceNoNotify), 1);
    RECT work;
    HMONITOR monitor = MonitorFromPoint(POINT{-5000, 300}, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoA(monitor, &mi);
    work = mi.rcWork;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(window, &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, work.left + 10);
    EXPECT_EQ(wp.rcNormalPosition.top, work.top + 10);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 300);
    EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 200);
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
    EXPECT_EQ(RestoreWindowPlacement(window, HKEY_CURRENT_USER, key, "Graph", 0), 0);
    host.Close(0);
}

} // namespace
