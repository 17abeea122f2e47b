#include "devices/win/SetupApi.h"

template <class T>
static int Find(HMODULE m, const char* name, T& f)
{
    f = reinterpret_cast<T>(GetProcAddress(m, name));
    return f != nullptr;
}

int C_SetupApi::Load()
{
    HMODULE setup = LoadLibraryA("setupapi.dll");
    HMODULE cm = LoadLibraryA("cfgmgr32.dll");
    if (!setup || !cm)
        return 0;
    if (!Find(cm, "CM_Get_Device_ID_List_SizeA", GetIdListSize) ||
        !Find(cm, "CM_Get_Device_ID_ListA", GetIdList)) {
        GetIdListSize = nullptr;
        GetIdList = nullptr;
    }
    // On old systems the configuration manager lives in setupapi alone.
    return Find(setup, "SetupDiGetClassDevsA", GetClassDevs) &&
           Find(setup, "SetupDiEnumDeviceInterfaces", EnumDeviceInterfaces) &&
           Find(setup, "SetupDiGetDeviceInterfaceDetailA", GetInterfaceDetail) &&
           Find(setup, "SetupDiEnumDeviceInfo", EnumDeviceInfo) &&
           Find(setup, "SetupDiDestroyDeviceInfoList", DestroyList) &&
           Find(setup, "SetupDiGetDeviceRegistryPropertyA", GetRegistryProperty) &&
           Find(setup, "SetupDiGetDeviceInstanceIdA", GetInstanceId) &&
           (Find(cm, "CM_Get_Parent", GetParent) || Find(setup, "CM_Get_Parent", GetParent)) &&
           (Find(cm, "CM_Get_Device_IDA", GetDeviceId) || Find(setup, "CM_Get_Device_IDA", GetDeviceId)) &&
           (Find(cm, "CM_Get_DevNode_Registry_PropertyA", GetNodeProperty) ||
            Find(setup, "CM_Get_DevNode_Registry_PropertyA", GetNodeProperty));
}

std::string C_SetupApi::NodeId(DEVINST node) const
{
    char id[MAX_DEVICE_ID_LEN + 1] = "";
    if (GetDeviceId(node, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS)
        return std::string();
    id[MAX_DEVICE_ID_LEN] = 0;
    return id;
}

std::string C_SetupApi::NodeDescription(DEVINST node) const
{
    char text[512] = "";
    ULONG size = sizeof text - 1, type = 0;
    if (GetNodeProperty(node, CM_DRP_DEVICEDESC, &type, text, &size, 0) != CR_SUCCESS)
        return std::string();
    text[sizeof text - 1] = 0;
    return text;
}

std::vector<std::string> C_SetupApi::RemovalRelations(const std::string& instanceId) const
{
    std::vector<std::string> ids;
    const ULONG filter = CM_GETIDLIST_FILTER_REMOVALRELATIONS;
    ULONG size = 0;
    if (!GetIdListSize || !GetIdList || instanceId.empty() ||
        GetIdListSize(&size, instanceId.c_str(), filter) != CR_SUCCESS || size == 0 || size > 65536)
        return ids;
    std::vector<char> list(size + 2, '\0');
    if (GetIdList(instanceId.c_str(), list.data(), size, filter) != CR_SUCCESS)
        return ids;
    // A list of texts, each ended by a zero, the whole ended by an empty one.
    for (size_t at = 0; at < size && list[at];) {
        const std::string id(&list[at]);
        ids.push_back(id);
        at += id.size() + 1;
    }
    return ids;
}
