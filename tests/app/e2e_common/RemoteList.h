// A list view of another process, read and changed through its messages.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <string>
#include <vector>

namespace e2e {

// List-view messages carry pointers, so their structures live in the program's memory.
class RemoteList {
public:
    RemoteList(HWND list, HANDLE process) : m_list(list), m_process(process)
    {
        m_remote = (char*)VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteList()
    {
        if (m_remote)
            VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    }
    // It owns the memory in the other process.
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;
    int Count() const { return (int)SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0); }
    std::string Text(int item, int column) const
    {
        LVITEMA lv = {};
        lv.iSubItem = column;
        lv.pszText = m_remote + 1024;
        lv.cchTextMax = 1024;
        char text[1024] = "";
        SIZE_T moved = 0;
        if (!m_remote || !WriteProcessMemory(m_process, m_remote, &lv, sizeof(lv), &moved))
            return "";
        SendMessageA(m_list, LVM_GETITEMTEXTA, (WPARAM)item, (LPARAM)m_remote);
        ReadProcessMemory(m_process, m_remote + 1024, text, sizeof(text) - 1, &moved);
        text[sizeof(text) - 1] = 0;
        return text;
    }
    // The item whose drive text ends with "(X:)" or "X:".
    int FindLetter(char letter) const
    {
        const std::string a = std::string("(") + letter + ":)", b = std::string(1, letter) + ":";
        for (int i = 0; i < Count(); ++i) {
            const std::string t = Text(i, 0);
            if (t.find(a) != std::string::npos || (t.size() >= 2 && t.compare(t.size() - 2, 2, b) == 0))
                return i;
        }
        return -1;
    }
    // Screen point in the middle of an item's text.
    POINT ItemCentre(int item) const
    {
        RECT r = {};
        r.left = LVIR_LABEL;
        SIZE_T moved = 0;
        if (m_remote && WriteProcessMemory(m_process, m_remote, &r, sizeof(r), &moved) &&
            SendMessageA(m_list, LVM_GETITEMRECT, (WPARAM)item, (LPARAM)m_remote))
            ReadProcessMemory(m_process, m_remote, &r, sizeof(r), &moved);
        POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(m_list, &p);
        return p;
    }
    std::vector<int> Selected() const
    {
        std::vector<int> items;
        int item = -1;
        while ((item = (int)SendMessageA(m_list, LVM_GETNEXTITEM, (WPARAM)item, LVNI_SELECTED)) >= 0)
            items.push_back(item);
        return items;
    }
    // A device notification as the system sends it. Wine copies the record of these events
    // into the receiving process, so it stays in the driver's memory.
    static void SendDeviceChange(HWND page, WPARAM event, DWORD deviceType)
    {
        DEV_BROADCAST_DEVICEINTERFACE_A record = {};
        record.dbcc_size = sizeof(record);
        record.dbcc_devicetype = deviceType;
        SendMessageA(page, WM_DEVICECHANGE, event, (LPARAM)&record);
    }
    void SelectOnly(const std::vector<int>& items) const
    {
        SetState(-1, 0);
        for (int item : items)
            SetState(item, LVIS_SELECTED);
    }

private:
    void SetState(int item, UINT state) const
    {
        LVITEMA lv = {};
        lv.stateMask = LVIS_SELECTED;
        lv.state = state;
        SIZE_T moved = 0;
        if (m_remote && WriteProcessMemory(m_process, m_remote, &lv, sizeof(lv), &moved))
            SendMessageA(m_list, LVM_SETITEMSTATE, (WPARAM)item, (LPARAM)m_remote);
    }

    HWND m_list;
    HANDLE m_process;
    char* m_remote = nullptr;
};

} // namespace e2e
