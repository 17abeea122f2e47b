#include "devices/win/UsbHubWalk.h"
#include <windows.h>
#include <winioctl.h>
#include <usbioctl.h>
#include <initguid.h>
#include <usbiodef.h>
#include <string>
#include <vector>
#include "devices/IdentityParse.h"
#include "devices/win/SetupApi.h"

namespace {

std::string Narrow(const WCHAR* text, size_t maxChars) {
    std::string out;
    for (size_t i = 0; i < maxChars && text[i]; ++i)
        out += text[i] < 128 ? char(text[i]) : '?';
    return out;
}

HANDLE OpenNode(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

// Name answers (root hub, connection name, driver key) share one shape: a length, then text.
std::string NameQuery(HANDLE h, DWORD code, ULONG connection, size_t textOffset) {
    BYTE buffer[1024] = {};
    reinterpret_cast<ULONG*>(buffer)[0] = connection;
    DWORD got = 0;
    if (!DeviceIoControl(h, code, buffer, sizeof buffer, buffer, sizeof buffer, &got, nullptr) ||
        got <= textOffset)
        return std::string();
    return Narrow(reinterpret_cast<const WCHAR*>(buffer + textOffset),
                  (got - textOffset) / sizeof(WCHAR));
}

std::string StringDescriptor(HANDLE hub, ULONG connection, UCHAR index) {
    if (index == 0)
        return std::string();
    BYTE buffer[sizeof(USB_DESCRIPTOR_REQUEST) + 255] = {};
    USB_DESCRIPTOR_REQUEST* r = reinterpret_cast<USB_DESCRIPTOR_REQUEST*>(buffer);
    r->ConnectionIndex = connection;
    r->SetupPacket.wValue = USHORT((3 << 8) | index);
    r->SetupPacket.wIndex = 0x0409;
    r->SetupPacket.wLength = 255;
    DWORD got = 0;
    if (!DeviceIoControl(hub, IOCTL_USB_GET_DESCRIPTOR_FROM_NODE_CONNECTION, buffer, sizeof buffer,
                         buffer, sizeof buffer, &got, nullptr) ||
        got < sizeof(USB_DESCRIPTOR_REQUEST) + 2)
        return std::string();
    const BYTE* d = buffer + sizeof(USB_DESCRIPTOR_REQUEST);
    const size_t length = d[0] <= got - sizeof(USB_DESCRIPTOR_REQUEST) ? d[0] : 0;
    if (length < 2 || d[1] != 3)
        return std::string();
    return Narrow(reinterpret_cast<const WCHAR*>(d + 2), (length - 2) / 2);
}

struct Walk {
    std::vector<C_UsbPortRecord>* ports;
    uint32_t hubs = 0;
    uint32_t portsSoFar = 0;
};

void WalkHub(Walk& w, const std::string& hubPath, int depth) {
    if (depth > 8)
        return;
    HANDLE hub = OpenNode(hubPath);
    if (hub == INVALID_HANDLE_VALUE)
        return;
    USB_NODE_INFORMATION node = {};
    DWORD got = 0;
    if (!DeviceIoControl(hub, IOCTL_USB_GET_NODE_INFORMATION, &node, sizeof node, &node,
                         sizeof node, &got, nullptr)) {
        CloseHandle(hub);
        return;
    }
    const uint32_t count = node.u.HubInformation.HubDescriptor.bNumberOfPorts;
    const uint32_t hubIndex = w.hubs++;
    const uint32_t before = w.portsSoFar;
    w.portsSoFar += count;
    const uint32_t hubClass = HubSpeedClass(hubPath);
    std::vector<std::string> children;
    for (ULONG port = 1; port <= count; ++port) {
        BYTE buffer[sizeof(USB_NODE_CONNECTION_INFORMATION_EX) + 32 * sizeof(USB_PIPE_INFO)] = {};
        USB_NODE_CONNECTION_INFORMATION_EX* ex =
            reinterpret_cast<USB_NODE_CONNECTION_INFORMATION_EX*>(buffer);
        ex->ConnectionIndex = port;
        C_UsbPortFacts facts;
        facts.hubClass = hubClass;
        BOOL ok = DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX, buffer,
                                  sizeof buffer, buffer, sizeof buffer, &got, nullptr);
        facts.haveExtended = ok ? 1 : 0;
        if (!ok) {
            // The plain query; a device still settling is asked once more.
            ex->ConnectionIndex = port;
            ok = DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION, buffer,
                                 sizeof buffer, buffer, sizeof buffer, &got, nullptr);
            if (!ok && GetLastError() == ERROR_DEVICE_NOT_CONNECTED) {
                Sleep(250);
                ex->ConnectionIndex = port;
                ok = DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION, buffer,
                                     sizeof buffer, buffer, sizeof buffer, &got, nullptr);
            }
            // In the plain answer the speed byte is the low-speed flag.
            facts.lowSpeed = ok ? ex->Speed : 0;
        } else {
            facts.speed = ex->Speed;
        }
        if (!ok || ex->ConnectionStatus != DeviceConnected)
            continue;
#ifdef IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2
        if (facts.haveExtended) {
            USB_NODE_CONNECTION_INFORMATION_EX_V2 v2 = {};
            v2.ConnectionIndex = port;
            v2.Length = sizeof v2;
            v2.SupportedUsbProtocols.ul = 7;
            if (DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2, &v2,
                                sizeof v2, &v2, sizeof v2, &got, nullptr))
                facts.superSpeedOrHigher = (v2.Flags.ul & 1) != 0;
        }
#endif
        C_UsbPortRecord r;
        r.hubPath = hubPath;
        r.hubIndex = hubIndex;
        r.portsBeforeHub = before;
        r.port = port;
        r.isHub = ex->DeviceIsHub ? 1 : 0;
        r.vendorId = ex->DeviceDescriptor.idVendor;
        r.productId = ex->DeviceDescriptor.idProduct;
        r.bcdUsb = ex->DeviceDescriptor.bcdUSB;
        facts.bcdUsb = r.bcdUsb;
        r.speedClass = UsbPortSpeedClass(facts);
        r.driverKey = NameQuery(hub, IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME, port,
                                offsetof(USB_NODE_CONNECTION_DRIVERKEY_NAME, DriverKeyName));
        if (r.isHub) {
            const std::string name = NameQuery(hub, IOCTL_USB_GET_NODE_CONNECTION_NAME, port,
                                               offsetof(USB_NODE_CONNECTION_NAME, NodeName));
            if (!name.empty())
                children.push_back("\\\\.\\" + name);
        } else {
            r.manufacturer = StringDescriptor(hub, port, ex->DeviceDescriptor.iManufacturer);
            r.product = StringDescriptor(hub, port, ex->DeviceDescriptor.iProduct);
            r.serial = StringDescriptor(hub, port, ex->DeviceDescriptor.iSerialNumber);
        }
        w.ports->push_back(r);
    }
    CloseHandle(hub);
    for (const std::string& child : children)
        WalkHub(w, child, depth + 1);
}

}  // namespace

uint32_t WalkUsbHubs(const C_SetupApi& api, std::vector<C_UsbPortRecord>* ports) {
    Walk w;
    w.ports = ports;
    api.ForEachInterface(GUID_DEVINTERFACE_USB_HOST_CONTROLLER,
                         [&](HDEVINFO, SP_DEVINFO_DATA&, const std::string& path) {
                             HANDLE hc = OpenNode(path);
                             if (hc == INVALID_HANDLE_VALUE)
                                 return;
                             const std::string root = NameQuery(
                                 hc, IOCTL_USB_GET_ROOT_HUB_NAME, 0,
                                 offsetof(USB_ROOT_HUB_NAME, RootHubName));
                             CloseHandle(hc);
                             if (!root.empty())
                                 WalkHub(w, "\\\\.\\" + root, 0);
                         });
    return w.hubs;
}
