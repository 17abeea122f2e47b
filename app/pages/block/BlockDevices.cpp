// The BlockAccess device list: one row per readable or writable record of the device
// list, kept in step by the list's notifications during a refresh.
#include <windows.h>
#include <commctrl.h>
#include <vector>
#include "app/pages/block/BlockAccess.h"
#include "app/pages/block/BlockIds.h"
#include "app/pages/block/model/DeviceRow.h"
#include "app/res/ArtworkIds.h"
#include "app/settings/Flags.h"
#include "core/Text.h"
#include "devices/DeviceRefresh.h"

void C_BlockAccess::SetUpDeviceList()
{
    ListViewEvents events;
    events.user = this;
    events.keyDown = &C_BlockAccess::OnListKey;
    events.selectionChanged = &C_BlockAccess::OnListSelection;
    HWND list = GetItem(IDC_BLOCK_DEVICES);
    m_list.Attach(list, m_hInstance, C_ListView::kNoImageLists, 0, 0, events);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    m_list.AddColumn("Device", 0, LVCFMT_LEFT, 250);
    m_list.AddColumn("Drive Letter", 1, LVCFMT_LEFT, 90);
    m_list.AddColumn("Label", 2, LVCFMT_LEFT, 100);
    m_list.AddColumn("Size", 3, LVCFMT_RIGHT, 90);
    m_list.AddColumn("Info", 4, LVCFMT_LEFT, 200);

    // In the order of the row pictures: optical, removable, fixed, network, RAM disk, tape, iSCSI.
    static const UINT icons[] = {IDI_DEVICE_OPTICAL, IDI_DEVICE_REMOVABLE, IDI_DEVICE_FIXED,
                                 IDI_DEVICE_NETWORK, IDI_DEVICE_RAMDISK,   IDI_DEVICE_TAPE,
                                 IDI_DEVICE_ISCSI};
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    m_hImages = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 7, 0);
    if (m_hImages) {
        for (UINT id : icons) {
            HICON icon = (HICON)LoadImageA(m_hInstance, MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, 0);
            // A missing picture must not move the later ones.
            ImageList_AddIcon(m_hImages, icon ? icon : LoadIcon(nullptr, IDI_APPLICATION));
            if (icon)
                DestroyIcon(icon);
        }
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)m_hImages);
    }
    const uint32_t options = (m_flags & kFlagFloppies) ? kOptBlockAccessFloppy : kOptBlockAccess;
    RegisterDevices(C_DeviceList::Instance(), &C_BlockAccess::DeviceNotify, this, options);
}

void C_BlockAccess::DeviceNotify(uint32_t event, C_Device* device, uintptr_t, void* page)
{
    C_BlockAccess* self = static_cast<C_BlockAccess*>(page);
    if (event == kDeviceAdded)
        self->AddRow(device);
    else if (event == kDeviceRemoved)
        self->RemoveRow(device);
}

void C_BlockAccess::AddRow(C_Device* device)
{
    if (!DeviceHasRow(*device))
        return;
    const int row = m_list.InsertItem(m_list.Count(), DeviceRowName(*device).c_str(), (LPARAM)device,
                                      DeviceImageIndex(device->dwType, device->dwBus));
    if (row < 0)
        return;
    m_list.SetSubItemText(row, 1, device->strLetters.c_str());
    m_list.SetSubItemText(row, 2, device->strLabel.c_str());
    m_list.SetSubItemText(row, 3, DeviceRowSize(*device).c_str());
    m_list.SetSubItemText(row, 4, DeviceRowInfo(*device).c_str());
    m_list.SetColumnWidth(4, LVSCW_AUTOSIZE);
}

void C_BlockAccess::RemoveRow(C_Device* device)
{
    const int row = m_list.FindByData((LPARAM)device);
    if (row < 0)
        return;
    if (device == m_pDevice)
        m_pDevice = nullptr;
    m_list.DeleteItem(row);
}

void C_BlockAccess::RefreshDevices()
{
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    C_Device* selected = m_pDevice;
    C_ChosenDevice chosen;
    if (selected)
        chosen = ChosenDeviceOf(*selected);
    m_bRefreshing = true;
    (m_pfnRefresh ? m_pfnRefresh : &RefreshForBlockAccess)(C_DeviceList::Instance());
    // A removal during the refresh clears the selection; a new record may even reuse the
    // old one's address, so only a record that never left counts as staying. A changed
    // free-block count or label brings the same device back as a new record: it keeps the
    // user's range, which is loaded afresh only when another device takes the selection.
    std::vector<const C_Device*> rows;
    for (int i = 0; i < m_list.Count(); ++i) {
        LPARAM data = 0;
        m_list.GetItem(i, 0, nullptr, &data);
        rows.push_back((const C_Device*)data);
    }
    bool keepFields = false;
    const int row = RowAfterRefresh(rows, selected && m_pDevice == selected ? selected : nullptr,
                                    selected ? &chosen : nullptr, &keepFields);
    if (row >= 0) {
        m_list.SetAllItemsState(0, LVIS_SELECTED | LVIS_FOCUSED);
        m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_list.EnsureVisible(row);
    }
    m_bRefreshing = false;
    if (row < 0) {
        m_pDevice = nullptr;
        ReadAndCheckValues();
    } else if (keepFields) {
        TakeRow(row);
        ReadAndCheckValues();
    } else {
        OnSelect(row);
    }
    SetCursor(old ? old : LoadCursor(nullptr, IDC_ARROW));
}

C_Device* C_BlockAccess::TakeRow(int item)
{
    LPARAM data = 0;
    if (!m_list.GetItem(item, 0, nullptr, &data) || !data)
        return nullptr;
    C_Device* device = (C_Device*)data;
    m_pDevice = device;
    EnableItem(IDC_BLOCK_WRITE, (device->dwCaps & kCapWrite) != 0);
    EnableItem(IDC_BLOCK_READ, (device->dwCaps & kCapRead) != 0);
    return device;
}

void C_BlockAccess::OnSelect(int item)
{
    C_Device* device = TakeRow(item);
    if (!device)
        return;
    SetItemText(IDC_BLOCK_PER_ACCESS, StringPrintf("%u", device->dwMaxBlocks).c_str());
    SetItemText(IDC_BLOCK_START, StringPrintf("%llu", (unsigned long long)device->ullFirstBlock).c_str());
    SetItemText(IDC_BLOCK_END, StringPrintf("%llu", (unsigned long long)device->ullBlockCount).c_str());
    ReadAndCheckValues();
}

void C_BlockAccess::OnListKey(WORD key, void* self)
{
    C_BlockAccess* page = static_cast<C_BlockAccess*>(self);
    if (key == VK_F5 && !page->m_bRunning)
        page->RefreshDevices();
}

void C_BlockAccess::OnListSelection(int item, int selected, void* self)
{
    C_BlockAccess* page = static_cast<C_BlockAccess*>(self);
    if (page->m_bRefreshing)
        return; // the refresh decides what the fields show
    if (selected) {
        page->OnSelect(item);
        return;
    }
    // A row that loses the selection stops being the target, even when none takes its place.
    LPARAM data = 0;
    if (page->m_list.GetItem(item, 0, nullptr, &data) && (C_Device*)data == page->m_pDevice) {
        page->m_pDevice = nullptr;
        page->ReadAndCheckValues();
    }
}

void C_BlockAccess::ReleaseDeviceList()
{
    C_DeviceList& devices = C_DeviceList::Instance();
    // The records go without a word to a page that is closing.
    RegisterDevices(devices, nullptr, nullptr, devices.GetOptions());
    m_pDevice = nullptr;
    m_list.DeleteAll();
    devices.Clear();
    ReleaseAspiLayer();
    m_list.Detach();
    if (m_hImages)
        ImageList_Destroy(m_hImages);
    m_hImages = nullptr;
}
