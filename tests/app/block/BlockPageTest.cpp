// The BlockAccess page in this process under Wine: rows follow the device list's
// notifications, the controls follow the chosen pattern and the flags, and closing the page
// stores its fields and leaves the device list empty.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/settings/Flags.h"
#include "devices/DeviceList.h"
#include "tests/app/PageTestHost.h"

namespace {
std::string ItemText(HWND page, int id)
{
    char text[256] = "";
    GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

std::string Cell(HWND list, int item, int column)
{
    char text[256] = "";
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)item, (LPARAM)&lv);
    return text;
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != 0; }

void Command(HWND page, int id)
{
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(page, id));
}

class BlockPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
    }
    HWND Open(uint32_t flags)
    {
        host.values.flags = flags;
        HWND window = page.Open(&host, IDD_BLOCK);
        list = GetDlgItem(window, IDC_BLOCK_DEVICES);
        return window;
    }
    C_TestHost host;
    C_BlockAccess page;
    HWND list = nullptr;
};
} // namespace

TEST_F(BlockPage, RowsFollowTheNotifications)
{
    HWND window = Open(kFlagDefaults | kFlagBlockPage);
    ASSERT_NE(window, nullptr);
    const int before = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);

    C_Device disk;
    disk.dwCaps = kCapRead | kCapWrite;
    disk.dwType = kTypeRemovablePhysical;
    disk.strVendor = "ACME";
    disk.strProduct = "STICK";
    disk.strRevision = "1.00";
    disk.strLetters = "EF";
    disk.strLabel = "DATA";
    disk.strName = "\\\\.\\PhysicalDrive7";
    disk.ullBlockCount = 2048;
    disk.dwBlockSize = 512;
    C_Device silent; // neither readable nor writable: no row
    silent.dwCaps = kCapScsi;
    C_BlockAccess::DeviceNotify(kDeviceAdded, &disk, 0, &page);
    C_BlockAccess::DeviceNotify(kDeviceAdded, &silent, 0, &page);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), before + 1);
    const int row = before;
    EXPECT_EQ(Cell(list, row, 0), "ACME STICK 1.00");
    EXPECT_EQ(Cell(list, row, 1), "EF");
    EXPECT_EQ(Cell(list, row, 2), "DATA");
    EXPECT_EQ(Cell(list, row, 3), "1024.0 kByte");
    EXPECT_EQ(Cell(list, row, 4), "\\\\.\\PhysicalDrive7");
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
    EXPECT_EQ(item.iImage, 1); // removable

    // Choosing the row loads its range and blocks per access and checks them.
    disk.dwMaxBlocks = 0;
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, (LPARAM)&state);
    EXPECT_EQ(ItemText(window, IDC_BLOCK_START), "0");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_END), "2048");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_PER_ACCESS), "1");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_BUFFER_SIZE), "512 Bytes");
    SetDlgItemTextA(window, IDC_BLOCK_PER_ACCESS, "0");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_PER_ACCESS), "1");
    SetDlgItemTextA(window, IDC_BLOCK_PER_ACCESS, "20480");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_BUFFER_SIZE), "10 MBytes");

    // A removal of a record without a row changes nothing; the row's own removal drops it.
    C_BlockAccess::DeviceNotify(kDeviceRemoved, &silent, 0, &page);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), before + 1);
    C_BlockAccess::DeviceNotify(kDeviceRemoved, &disk, 0, &page);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), before);
    page.Close(0);
}

TEST_F(BlockPage, ControlsFollowThePatternAndTheFlags)
{
    HWND window = Open((kFlagDefaults | kFlagNoSmoothProgress | kFlagSmoothProgress) & ~kFlagSaveReadData);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_BLOCK_LINEAR), BST_CHECKED);
    // Smooth progress is forbidden: clear and disabled.
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_BLOCK_SMOOTH), BST_UNCHECKED);
    EXPECT_FALSE(Enabled(window, IDC_BLOCK_SMOOTH));
    EXPECT_TRUE(Enabled(window, IDC_BLOCK_SKIP));
    EXPECT_FALSE(Enabled(window, IDC_BLOCK_REPEAT));
    EXPECT_TRUE(Enabled(window, IDC_BLOCK_SAVE_DATA));
    EXPECT_FALSE(Enabled(window, IDC_BLOCK_DATA_FILE)); // save/read data is off
    EXPECT_FALSE(Enabled(window, IDC_BLOCK_BROWSE));
    EXPECT_FALSE(Enabled(window, IDC_BLOCK_STOP));

    CheckDlgButton(window, IDC_BLOCK_SAVE_DATA, BST_CHECKED);
    Command(window, IDC_BLOCK_SAVE_DATA);
    EXPECT_TRUE(host.values.flags & kFlagSaveReadData);
    EXPECT_TRUE(Enabled(window, IDC_BLOCK_DATA_FILE));
    EXPECT_TRUE(Enabled(window, IDC_BLOCK_BROWSE));

    CheckRadioButton(window, IDC_BLOCK_LINEAR, IDC_BLOCK_SEEK, IDC_BLOCK_RANDOM);
    Command(window, IDC_BLOCK_RANDOM);
    EXPECT_EQ(host.values.flags & kFlagKindMask, (uint32_t)kFlagKindRandom);
    for (int id :
         {IDC_BLOCK_SAVE_DATA, IDC_BLOCK_SHOW_GRAPH, IDC_BLOCK_DATA_FILE, IDC_BLOCK_BROWSE, IDC_BLOCK_SKIP})
        EXPECT_FALSE(Enabled(window, id)) << id;
    EXPECT_TRUE(Enabled(window, IDC_BLOCK_REPEAT));
    CheckRadioButton(window, IDC_BLOCK_LINEAR, IDC_BLOCK_SEEK, IDC_BLOCK_SEEK);
    Command(window, IDC_BLOCK_SEEK);
    EXPECT_EQ(host.values.flags & kFlagKindMask, (uint32_t)kFlagKindSeek);
    CheckRadioButton(window, IDC_BLOCK_LINEAR, IDC_BLOCK_SEEK, IDC_BLOCK_LINEAR);
    Command(window, IDC_BLOCK_LINEAR);
    EXPECT_TRUE(Enabled(window, IDC_BLOCK_SKIP));
    EXPECT_FALSE(Enabled(window, IDC_BLOCK_REPEAT));

    CheckDlgButton(window, IDC_BLOCK_UDMA_CRC, BST_CHECKED);
    Command(window, IDC_BLOCK_UDMA_CRC);
    EXPECT_TRUE(host.values.flags & kFlagUdmaCrc);
    CheckDlgButton(window, IDC_BLOCK_SHOW_GRAPH, BST_UNCHECKED);
    Command(window, IDC_BLOCK_SHOW_GRAPH);
    EXPECT_FALSE(host.values.flags & kFlagShowGraph);
    page.Close(0);
}

TEST_F(BlockPage, ClosingStoresTheFieldsAndEmptiesTheDeviceList)
{
    host.store.texts["BlockSkip"] = "4";
    host.store.texts["SaveReadData"] = "old.bin";
    HWND window = Open((kFlagDefaults & ~kFlagKindMask) | kFlagBlockPage | kFlagKindSeek);
    ASSERT_NE(window, nullptr);
    // Seek chosen by the flags (the -s switch).
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_BLOCK_SEEK), BST_CHECKED);
    EXPECT_EQ(ItemText(window, IDC_BLOCK_SKIP), "4");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_CALC), "1");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_REPEAT), "100");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_DATA_FILE), "old.bin");
    SetDlgItemTextA(window, IDC_BLOCK_REPEAT, "250");
    SetDlgItemTextA(window, IDC_BLOCK_DATA_FILE, "new.bin");
    // Wine's drives are listed, so the list is not empty while the page is open.
    EXPECT_GT(C_DeviceList::Instance().GetCount(), 0u);
    const std::string start = ItemText(window, IDC_BLOCK_START), end = ItemText(window, IDC_BLOCK_END);
    page.Close(0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(C_DeviceList::Instance().GetCount(), 0u);
    EXPECT_EQ(host.store.texts["BlockRepeat"], "250");
    EXPECT_EQ(host.store.texts["SaveReadData"], "new.bin");
    EXPECT_EQ(host.store.texts["BlockSkip"], "4");
    EXPECT_EQ(host.store.texts["BlockStart"], start);
    EXPECT_EQ(host.store.texts["BlockEnd"], end);
    EXPECT_EQ(host.store.texts["BlockCalc"], "1");
}
