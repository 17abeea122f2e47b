// The BlockAccess page in this process under Wine: rows follow the device list's
// notifications, the controls follow the chosen pattern and the flags, and closing the page
// stores its fields and leaves the device list empty.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/settings/Flags.h"
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>
#include "core/engines/EngineTable.h"
#include "core/engines/NullEngine.h"
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
    C_BlockAccess page{host.values.flags, host.store, host, host.graph};
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

namespace {
// What the scripted refresh finds: copies of these records, made anew at every refresh, so
// a changed entry comes back as a new record as a real enumeration brings it.
struct C_Found {
    uint32_t number;
    std::string path, serial, letters;
    uint64_t blocks, freeBlocks;
};
std::vector<C_Found> g_found;

// Records whose raw transfers only count: nothing here may reach a disk.
class C_CountedDevice : public C_Device {
public:
    int WriteBlocks(uint64_t, uint32_t, const void*) override { return ++writes, 1; }
    int ReadBlocks(uint64_t, uint32_t, void*) override { return 1; }
    int Open() override { return 1; }
    int Close() override { return 1; }
    int AskAgain(C_DeviceAnswers* now) override
    {
        now->ullBlockCount = ullBlockCount;
        now->dwBlockSize = dwBlockSize;
        now->strVendor = strVendor;
        now->strProduct = strProduct;
        now->strSerial = strSerial;
        return 1;
    }
    static std::atomic<int> writes;
};
std::atomic<int> C_CountedDevice::writes{0};

class C_ScriptedStep : public C_DeviceEnumerator {
public:
    void Enumerate(C_DeviceList& list) override
    {
        list.BeginKind(kKindPhysical | kKindLogical);
        for (const C_Found& f : g_found) {
            C_CountedDevice* copy = new C_CountedDevice;
            copy->dwCaps = kCapRead | kCapWrite;
            copy->dwKind = kKindPhysical;
            copy->dwNumber = f.number;
            copy->dwType = kTypeRemovablePhysical;
            copy->strPath = copy->strName = f.path;
            copy->strVendor = "ACME";
            copy->strProduct = "STICK";
            copy->strSerial = f.serial;
            copy->strLetters = f.letters;
            copy->ullBlockCount = f.blocks;
            copy->ullFreeBlocks = f.freeBlocks;
            copy->dwBlockSize = 512;
            copy->dwMaxBlocks = 64;
            if (!list.Add(copy))
                delete copy;
        }
    }
};

void ScriptedRefresh(C_DeviceList& list)
{
    C_ScriptedStep step;
    C_DeviceEnumerator* steps[] = {&step};
    list.Refresh(steps, 1);
}

C_Found Found(const char* path, uint32_t number, const char* serial, uint64_t blocks)
{
    return C_Found{number, path, serial, "", blocks, 0};
}

const uint32_t kRunBits = kFlagRunLinear | kFlagRunRandom | kFlagRunSeek | kFlagRunReads | kFlagRunWrites;

// Dispatches the page's messages until the run is over (its bits cleared) or time is up.
bool PumpUntilIdle(C_TestHost& host, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        PumpPendingMessages();
        if (!(host.values.flags & kRunBits))
            return true;
        Sleep(5);
    }
    return false;
}

// Presses a button of the page, answers every box the run shows with answer, and waits for
// the run to end; the texts of the boxes.
std::vector<std::string> PressAnswering(HWND page, C_TestHost& host, int id, int answer)
{
    C_BoxAnswerer boxes(answer);
    Command(page, id);
    EXPECT_TRUE(PumpUntilIdle(host, 10000));
    Sleep(100); // a box shown at the very end is noted too
    PumpPendingMessages();
    return boxes.Texts();
}

int SelectedRow(HWND list) { return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }

void SelectRow(HWND list, int row)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = row >= 0 ? state.stateMask : 0;
    SendMessageA(list, LVM_SETITEMSTATE, row >= 0 ? row : (WPARAM)-1, (LPARAM)&state);
}

void PressF5(HWND list)
{
    SendMessageA(list, WM_KEYDOWN, VK_F5, 0x003F0001);
    SendMessageA(list, WM_KEYUP, VK_F5, 0xC03F0001);
}

class BlockPageTargets : public BlockPage {
protected:
    void SetUp() override
    {
        BlockPage::SetUp();
        g_found = {Found("\\\\.\\PhysicalDrive1", 1, "DISK-1", 4096),
                   Found("\\\\.\\PhysicalDrive2", 2, "STICK-1", 2048)};
        page.UseRefresh(&ScriptedRefresh);
        C_CountedDevice::writes = 0;
    }
    void TearDown() override { g_found.clear(); }
};
} // namespace

TEST_F(BlockPageTargets, F5KeepsTheChosenDeviceAndTheRangeTheUserNarrowed)
{
    HWND window = Open(kFlagDefaults | kFlagBlockPage);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    SelectRow(list, 1);
    EXPECT_EQ(ItemText(window, IDC_BLOCK_END), "2048");
    SetDlgItemTextA(window, IDC_BLOCK_START, "100");
    SetDlgItemTextA(window, IDC_BLOCK_END, "200");
    SetDlgItemTextA(window, IDC_BLOCK_PER_ACCESS, "8");

    // The stick's free space changed: it comes back as a new record, still the same device.
    g_found[1].freeBlocks = 11;
    PressF5(list);
    EXPECT_EQ(SelectedRow(list), 1);
    EXPECT_EQ(Cell(list, SelectedRow(list), 4), "\\\\.\\PhysicalDrive2");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_START), "100");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_END), "200");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_PER_ACCESS), "8");
    // The same record again changes nothing either.
    PressF5(list);
    EXPECT_EQ(SelectedRow(list), 1);
    EXPECT_EQ(ItemText(window, IDC_BLOCK_END), "200");

    // Another stick took the path: the selection falls back to row 0 and shows its range.
    g_found[1].serial = "BACKUP-7";
    PressF5(list);
    EXPECT_EQ(SelectedRow(list), 0);
    EXPECT_EQ(ItemText(window, IDC_BLOCK_START), "0");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_END), "4096");
    EXPECT_EQ(ItemText(window, IDC_BLOCK_PER_ACCESS), "64");
    page.Close(0);
}

TEST_F(BlockPageTargets, AWriteNeedsARowSelectedWhenItIsPressed)
{
    HWND window = Open(kFlagDefaults | kFlagBlockPage);
    ASSERT_NE(window, nullptr);
    SelectRow(list, 1);
    SelectRow(list, -1); // a click on the list's empty area
    ASSERT_EQ(SelectedRow(list), -1);
    const std::vector<std::string> texts = PressAnswering(window, host, IDC_BLOCK_WRITE, IDYES);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], kNoDeviceSelectedText);
    EXPECT_EQ(C_CountedDevice::writes, 0);
    EXPECT_EQ(host.values.flags & kRunBits, 0u);
    page.Close(0);
}

TEST_F(BlockPageTargets, WindowsDiskIsRefusedAndOthersAreNamedInTheQuestion)
{
    g_found[0].letters = "C"; // Wine's Windows folder lies on C:
    g_found[1].letters = "E";
    HWND window = Open(kFlagDefaults | kFlagBlockPage | kFlagShowGraph);
    ASSERT_NE(window, nullptr);
    host.graph.Setup(GetModuleHandleA(nullptr), "Quellmor test", 0, nullptr, "");
    ASSERT_EQ(C_DeviceList::Instance().GetWindowsLetter(), 'C');
    SelectRow(list, 0);
    std::vector<std::string> texts = PressAnswering(window, host, IDC_BLOCK_WRITE, IDYES);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], SystemDeviceText("\\\\.\\PhysicalDrive1", 'C'));
    EXPECT_EQ(C_CountedDevice::writes, 0);
    // The graph window the run opened closes with the run that made no access.
    EXPECT_EQ(FindWindowA(nullptr, "Quellmor test Graph"), nullptr);

    // The stick: the question says which device it is; No writes nothing and closes the graph.
    SelectRow(list, 1);
    texts = PressAnswering(window, host, IDC_BLOCK_WRITE, IDNO);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("\xBB\\\\.\\PhysicalDrive2\xAB?\n\nACME STICK, 1024.0 kByte, drive letter E\n\n"),
              std::string::npos)
        << texts[0];
    EXPECT_EQ(C_CountedDevice::writes, 0);
    EXPECT_EQ(FindWindowA(nullptr, "Quellmor test Graph"), nullptr);

    // Yes: the write goes to the stick alone.
    SetDlgItemTextA(window, IDC_BLOCK_START, "0");
    SetDlgItemTextA(window, IDC_BLOCK_END, "128");
    texts = PressAnswering(window, host, IDC_BLOCK_WRITE, IDYES);
    EXPECT_EQ(texts.size(), 1u) << texts.back();
    EXPECT_EQ(C_CountedDevice::writes, 2); // 128 blocks of 64 per access
    host.graph.Dismiss();
    page.Close(0);
}

TEST_F(BlockPageTargets, AScriptedRunShowsItsRateAndItsFailure)
{
    HWND window = Open(kFlagDefaults | kFlagBlockPage | kFlagShowGraph);
    ASSERT_NE(window, nullptr);
    host.graph.Setup(GetModuleHandleA(nullptr), "Quellmor test", 0, nullptr, "");
    SelectRow(list, 1);
    SetDlgItemTextA(window, IDC_BLOCK_START, "0");
    SetDlgItemTextA(window, IDC_BLOCK_END, "1024");
    SetDlgItemTextA(window, IDC_BLOCK_PER_ACCESS, "128");
    SetDlgItemTextA(window, IDC_BLOCK_CALC, "1");
    // 64 KiB per access in one millisecond each.
    C_NullScript script;
    script.bytesPerSecond = 65536000;
    SetNullEngineScript(&script);
    std::vector<std::string> texts = PressAnswering(window, host, IDC_BLOCK_READ, IDOK);
    EXPECT_TRUE(texts.empty()) << texts[0];
    EXPECT_EQ(ItemText(window, IDC_BLOCK_SPEED), "62.5 MByte/sec - 1 msec");
    // Eight accesses, a point for each.
    const GraphModel graph = host.graph.Graph().Snapshot();
    ASSERT_EQ(graph.Points(), 8);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(graph.Value(x, 0), 62) << x;
    EXPECT_NE(FindWindowA(nullptr, "Quellmor test Graph"), nullptr);

    // The third access fails: the user reads today's text, and the graph closes.
    script.failure.op = kOpRead;
    script.failure.position = 0x100;
    script.failure.error = 23;
    script.failAfter = 2;
    texts = PressAnswering(window, host, IDC_BLOCK_READ, IDOK);
    SetNullEngineScript(nullptr);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].find("Can't access 128 blocks starting at 0x100. Win32Error: 23 - "), 0u) << texts[0];
    EXPECT_EQ(FindWindowA(nullptr, "Quellmor test Graph"), nullptr);
    EXPECT_EQ(C_CountedDevice::writes, 0);
    page.Close(0);
}
