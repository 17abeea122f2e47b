// The QuickAccess drive list: filled from the device list's identity and drive-letter
// records, refreshed on F5 and two seconds after a disk arrives or leaves.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include "app/pages/quick/QuickIds.h"
#include "app/pages/quick/Simple.h"
#include "app/res/ArtworkIds.h"
#include "devices/win/Enumerators.h"

namespace {
// Registration options of the page with the device list.
const uint32_t kQuickListOptions = kOptPageBits;
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

void C_Simple::FillDriveImages()
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
    SendItem(IDC_QUICK_DRIVES, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)m_hImages);
}

void C_Simple::RefreshDriveList()
{
    // The worker reads the entries from its first request to its last; a worker that has
    // made its last one is only ending and holds nothing.
    if (m_bRunning)
        return;
    m_drives.DeleteAll();
    m_entries.clear();

    C_DeviceList& devices = C_DeviceList::Instance();
    RegisterDevices(devices, nullptr, nullptr, kQuickListOptions);
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    RefreshForQuickAccess(devices);
    SetCursor(old);
    devices.ForEach(&AddRecord, &m_entries, 0);

    for (size_t i = 0; i < m_entries.size(); ++i) {
        const C_DriveEntry& entry = m_entries[i];
        const int at = m_drives.InsertItem((int)i, entry.driveText.c_str(), (LPARAM)i, (int)entry.imageIndex);
        if (at >= 0)
            m_drives.SetSubItemText(at, 1, entry.vendorText.c_str());
    }
    if (!m_entries.empty())
        m_drives.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void C_Simple::RegisterDeviceChanges()
{
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kDiskInterface;
    m_hDeviceNotify = RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void C_Simple::OnDeviceChange(WPARAM event, LPARAM data)
{
    const DEV_BROADCAST_HDR* header = (const DEV_BROADCAST_HDR*)data;
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || !header ||
        header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return;
    // A disk comes with a burst of notifications and its volumes a little later.
    SetTimer(m_hWnd, kTimerDeviceChange, 2000, nullptr);
}

void C_Simple::OnListNotify(NMHDR* header)
{
    if (header->code == LVN_KEYDOWN && ((NMLVKEYDOWN*)header)->wVKey == VK_F5)
        RefreshDriveList();
    else if (header->code == NM_DBLCLK && ((NMITEMACTIVATE*)header)->iItem >= 0)
        StartRun();
}
