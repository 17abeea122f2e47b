// The device-setup and configuration-manager functions, looked up at run time so the
// programs also start on systems without them.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <string>
#include <vector>

struct C_SetupApi {
    HDEVINFO(WINAPI* GetClassDevs)(const GUID*, PCSTR, HWND, DWORD) = nullptr;
    BOOL(WINAPI* EnumDeviceInterfaces)
    (HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA) = nullptr;
    BOOL(WINAPI* GetInterfaceDetail)
    (HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_A, DWORD, PDWORD,
     PSP_DEVINFO_DATA) = nullptr;
    BOOL(WINAPI* EnumDeviceInfo)(HDEVINFO, DWORD, PSP_DEVINFO_DATA) = nullptr;
    BOOL(WINAPI* DestroyList)(HDEVINFO) = nullptr;
    BOOL(WINAPI* GetRegistryProperty)
    (HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD, PDWORD) = nullptr;
    BOOL(WINAPI* GetInstanceId)(HDEVINFO, PSP_DEVINFO_DATA, PSTR, DWORD, PDWORD) = nullptr;
    CONFIGRET(WINAPI* GetParent)(PDEVINST, DEVINST, ULONG) = nullptr;
    CONFIGRET(WINAPI* GetDeviceId)(DEVINST, PCHAR, ULONG, ULONG) = nullptr;
    CONFIGRET(WINAPI* GetNodeProperty)(DEVINST, ULONG, PULONG, PVOID, PULONG, ULONG) = nullptr;
    // Optional: missing on the oldest systems, which then give no relations.
    CONFIGRET(WINAPI* GetIdListSize)(PULONG, PCSTR, ULONG) = nullptr;
    CONFIGRET(WINAPI* GetIdList)(PCSTR, PCHAR, ULONG, ULONG) = nullptr;

    // 1 when every function was found (the modules stay loaded for the process).
    int Load();
    // Instance identifier and device description of a device node; empty when unknown.
    std::string NodeId(DEVINST node) const;
    std::string NodeDescription(DEVINST node) const;
    // Instance identifiers of the nodes removed together with a node (for a disk: its volumes).
    std::vector<std::string> RemovalRelations(const std::string& instanceId) const;
    // Paths of the present interfaces of one class.
    template <class F>
    void ForEachInterface(const GUID& guid, F f) const;
};

template <class F>
void C_SetupApi::ForEachInterface(const GUID& guid, F f) const
{
    HDEVINFO set = GetClassDevs(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return;
    for (DWORD i = 0; i < 1024; ++i) {
        SP_DEVICE_INTERFACE_DATA item = {};
        item.cbSize = sizeof item;
        if (!EnumDeviceInterfaces(set, nullptr, &guid, i, &item))
            break;
        DWORD need = 0;
        GetInterfaceDetail(set, &item, nullptr, 0, &need, nullptr);
        if (need < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) || need > 65536)
            continue;
        std::string storage(need + 2, '\0');
        SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail =
            reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(&storage[0]);
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        SP_DEVINFO_DATA info = {};
        info.cbSize = sizeof info;
        if (!GetInterfaceDetail(set, &item, detail, need, nullptr, &info))
            continue;
        f(set, info, std::string(detail->DevicePath));
    }
    DestroyList(set);
}
