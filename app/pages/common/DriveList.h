// The drive list of the pages that test a drive letter: the letters the device list knows, with
// their sizes, labels, vendors and pictures; refreshed on F5 and two seconds after a disk arrives
// or leaves. The page decides when a refresh may happen (never while its worker reads entries).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <vector>
#include "app/framework/ListView.h"
#include "app/pages/common/model/DriveEntries.h"

class C_DriveList {
public:
    // The page's window timer that refreshes the list after a disk change.
    enum : UINT { kTimerDeviceChange = 3 };

    // Sets up the list control of the page: the "Drive" and "Vendor" columns, full-row
    // selection, one or several selectable items, the pictures; registers for disk changes.
    void Attach(HWND page, HINSTANCE instance, HWND list, bool multiSelect);
    // Undoes Attach; the device list is left empty for the next page.
    void Detach();
    // Fills the list afresh and selects its first item.
    void Refresh();
    // Indexes into Entries() of the selected items, in list order.
    std::vector<int> SelectedEntries();
    const std::vector<C_DriveEntry>& Entries() const { return m_entries; }
    HWND GetWindow() const { return m_view.GetWindow(); }

    // WM_DEVICECHANGE: a disk that came or went starts the refresh timer on the page.
    void OnDeviceChange(WPARAM event, LPARAM data);
    // The list's notifications: 1 for F5 (the page refreshes when it may), 2 for a double
    // click on an item (the page starts), 0 for anything else.
    enum { kNotifyNone = 0, kNotifyRefresh = 1, kNotifyStart = 2 };
    int OnNotify(const NMHDR* header) const;
    // The page's messages that are the list's: its notifications, the refresh timer (which asks
    // for a refresh) and disk changes. Returns what the page is asked to do, as OnNotify does;
    // *handled says whether the message was the list's, which the page then answers with 0 for a
    // notification and 1 otherwise.
    int OnPageMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

private:
    void FillImages();

    HWND m_hPage = nullptr;
    C_ListView m_view;
    std::vector<C_DriveEntry> m_entries;
    HIMAGELIST m_hImages = nullptr;
    void* m_hDeviceNotify = nullptr;
};
