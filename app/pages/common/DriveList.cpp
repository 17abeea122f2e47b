// The drive list: filled from the device list's identity and drive-letter records.
#include "app/pages/common/DriveList.h"
#include <dbt.h>
#include "app/res/ArtworkIds.h"
#include "devices/DeviceList.h"
#include "devices/DeviceRefresh.h"

namespace {
// Registration options of the page with the device list.
const uint32_t kDriveListOptions = kOptPageBits;
// Device interface class of disks, {53F56307-B6BF-11D0-94F2-00A0C91EFB8B}.
const GUID kDiskInterface = {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

int AddRecord(C_Device* device, void* context)
{
    C_DriveRecordView view;
    view.letters = device->strLetters;
    if (view.letters.empty())
        return 1;
    view.busBits = device->dwBus;
    view.mediumType = device->dwType;
    view.blockCount = device->ullBlockCount;
    view.blockSize = device->dwBlockSize;
    view.label = device->strLabel;
    view.vendor = device->strVendor;
    view.product = device->strProduct;
    view.revision = device->strRevision;
    C_PropertyValue vendorId, productId, unused;
    if (device->QueryProperty(kPropUsbIds, &vendorId, 0, &productId, &unused)) {
        view.hasUsbVendor = 1;
        view.usbVendor = (uint32_t)vendorId.number;
    }
    ApplyDriveRecord(*(std::vector<C_DriveEntry>*)context, view);
    return 1;
}
} // namespace

void C_DriveList::FillImages()
{
    // Image indexes of the entries: 0 fixed, 1 optical, 2 removable, 3 network, 4 RAM drive,
    // 5 tape, 6 and 7 two makers' USB drives (shown as removable), 8 iSCSI.
    static const UINT icons[] = {IDI_DEVICE_FIXED,     IDI_DEVICE_OPTICAL,   IDI_DEVICE_REMOVABLE,
                                 IDI_DEVICE_NETWORK,   IDI_DEVICE_RAMDISK,   IDI_DEVICE_TAPE,
                                 IDI_DEVICE_REMOVABLE, IDI_DEVICE_REMOVABLE, IDI_DEVICE_ISCSI};
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    m_hImages = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 9, 0);
    if (!m_hImages)
        return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (UINT id : icons) {
        HICON icon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, 0);
        if (icon) {
            ImageList_AddIcon(m_hImages, icon);
            DestroyIcon(icon);
        } else {
            // Keeps the later indexes in place when one picture is missing.
            ImageList_AddIcon(m_hImages, LoadIcon(nullptr, IDI_APPLICATION));
        }
    }
    SendMessageA(GetWindow(), LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)m_hImages);
}

void C_DriveList::Refresh()
{
    m_view.DeleteAll();
    m_entries.clear();

    C_DeviceList& devices = C_DeviceList::Instance();
    RegisterDevices(devices, nullptr, nullptr, kDriveListOptions);
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    RefreshForQuickAccess(devices);
    SetCursor(old);
    devices.ForEach(&AddRecord, &m_entries, 0);

    for (size_t i = 0; i < m_entries.size(); ++i) {
        const C_DriveEntry& entry = m_entries[i];
        const int at = m_view.InsertItem((int)i, entry.driveText.c_str(), (LPARAM)i, (int)entry.imageIndex);
        if (at >= 0)
            m_view.SetSubItemText(at, 1, entry.vendorText.c_str());
    }
    if (!m_entries.empty())
        m_view.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void C_DriveList::Attach(HWND page, HINSTANCE instance, HWND list, bool multiSelect)
{
    m_hPage = page;
    LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    style = multiSelect ? style & ~(LONG_PTR)LVS_SINGLESEL : style | LVS_SINGLESEL;
    SetWindowLongPtrA(list, GWL_STYLE, style);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // The list keeps its own drive pictures.
    m_view.Attach(list, instance, C_ListView::kNoImageLists, 0, 0, ListViewEvents());
    m_view.AddColumn("Drive", 0, LVCFMT_LEFT, 155);
    m_view.AddColumn("Vendor", 1, LVCFMT_LEFT, 155);
    FillImages();

    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kDiskInterface;
    m_hDeviceNotify = RegisterDeviceNotificationA(page, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void C_DriveList::Detach()
{
    if (m_hDeviceNotify)
        UnregisterDeviceNotification(m_hDeviceNotify);
    m_hDeviceNotify = nullptr;
    if (m_hPage)
        KillTimer(m_hPage, kTimerDeviceChange);
    m_entries.clear();
    // The list serves the open page alone; the next page registers and fills it afresh.
    C_DeviceList::Instance().Clear();
    m_view.Detach();
    if (m_hImages)
        ImageList_Destroy(m_hImages);
    m_hImages = nullptr;
    m_hPage = nullptr;
}

std::vector<int> C_DriveList::SelectedEntries()
{
    std::vector<int> chosen;
    int item = -1;
    while ((item = (int)SendMessageA(GetWindow(), LVM_GETNEXTITEM, (WPARAM)item, LVNI_SELECTED)) >= 0) {
        LPARAM data = -1;
        if (m_view.GetItem(item, 0, nullptr, &data) && data >= 0 && (size_t)data < m_entries.size())
            chosen.push_back((int)data);
    }
    return chosen;
}

void C_DriveList::OnDeviceChange(WPARAM event, LPARAM data)
{
    const DEV_BROADCAST_HDR* header = (const DEV_BROADCAST_HDR*)data;
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || !header ||
        header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return;
    // A disk comes with a burst of notifications and its volumes a little later.
    SetTimer(m_hPage, kTimerDeviceChange, 2000, nullptr);
}

int C_DriveList::OnNotify(const NMHDR* header) const
{
    if (header->code == LVN_KEYDOWN && ((const NMLVKEYDOWN*)header)->wVKey == VK_F5)
        return kNotifyRefresh;
    if (header->code == NM_DBLCLK && ((const NMITEMACTIVATE*)header)->iItem >= 0)
        return kNotifyStart;
    return kNotifyNone;
}

int C_DriveList::OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled)
{
    *handled = true;
    if (message == WM_NOTIFY && ((const NMHDR*)lParam)->hwndFrom == m_view.GetWindow())
        return OnNotify((const NMHDR*)lParam);
    if (message == WM_TIMER && wParam == kTimerDeviceChange) {
        KillTimer(m_hPage, kTimerDeviceChange);
        return kNotifyRefresh;
    }
    if (message == WM_DEVICECHANGE) {
        OnDeviceChange(wParam, lParam);
        return kNotifyNone;
    }
    *handled = false;
    return kNotifyNone;
}
