#include "devices/win/UsbHubWalk.h"
#include <windows.h>
#include <winioctl.h>
#include <usbioctl.h>
#include <initguid.h>
#include <usbiodef.h>
#include <cstddef>
#include <string>
#include <vector>
#include "devices/win/SetupApi.h"

// The hub driver's structures are byte-packed, the same in 32-bit and 64-bit programs.
static_assert(sizeof(USB_DESCRIPTOR_REQUEST) == 12, "USB_DESCRIPTOR_REQUEST layout");
static_assert(sizeof(USB_NODE_CONNECTION_INFORMATION_EX) == 35 && sizeof(USB_PIPE_INFO) == 11,
              "USB_NODE_CONNECTION_INFORMATION_EX layout");
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, Speed) == 23, "connection speed offset");

namespace {

std::string Narrow(const WCHAR* text, size_t maxChars)
{
    std::string out;
    for (size_t i = 0; i < maxChars && text[i]; ++i)
        out += text[i] < 128 ? char(text[i]) : '?';
    return out;
}

HANDLE OpenNode(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Name answers (root hub, connection name, driver key) share one shape: a length, then text.
std::string NameQuery(HANDLE h, DWORD code, ULONG connection, size_t textOffset)
{
    BYTE buffer[1024] = {};
    reinterpret_cast<ULONG*>(buffer)[0] = connection;
    DWORD got = 0;
    if (!DeviceIoControl(h, code, buffer, sizeof buffer, buffer, sizeof buffer, &got, nullptr) ||
        got <= textOffset)
        return std::string();
    return Narrow(reinterpret_cast<const WCHAR*>(buffer + textOffset), (got - textOffset) / sizeof(WCHAR));
}

std::string StringDescriptor(HANDLE hub, ULONG connection, UCHAR index)
{
    if (index == 0)
        return std::string();
    BYTE buffer[sizeof(USB_DESCRIPTOR_REQUEST) + 255] = {};
    USB_DESCRIPTOR_REQUEST* r = reinterpret_cast<USB_DESCRIPTOR_REQUEST*>(buffer);
    r->ConnectionIndex = connection;
    r->SetupPacket.wValue = USHORT((3 << 8) | index);
    r->SetupPacket.wIndex = 0x0409;
    r->SetupPacket.wLength = 255;
    DWORD got = 0;
    if (!DeviceIoControl(hub, IOCTL_USB_GET_DESCRIPTOR_FROM_NODE_CONNECTION, buffer, sizeof buffer, buffer,
                         sizeof buffer, &got, nullptr) ||
        got < sizeof(USB_DESCRIPTOR_REQUEST) + 2)
        return std::string();
    const BYTE* d = buffer + sizeof(USB_DESCRIPTOR_REQUEST);
    const size_t length = d[0] <= got - sizeof(USB_DESCRIPTOR_REQUEST) ? d[0] : 0;
    if (length < 2 || d[1] != 3)
        return std::string();
    return Narrow(reinterpret_cast<const WCHAR*>(d + 2), (length - 2) / 2);
}

class C_SystemUsbTree : public C_UsbTreeSource {
public:
    void* OpenHub(const std::string& path, uint32_t* portCount) override
    {
        HANDLE hub = OpenNode(path);
        if (hub == INVALID_HANDLE_VALUE)
            return nullptr;
        USB_NODE_INFORMATION node = {};
        DWORD got = 0;
        if (!DeviceIoControl(hub, IOCTL_USB_GET_NODE_INFORMATION, &node, sizeof node, &node, sizeof node,
                             &got, nullptr)) {
            CloseHandle(hub);
            return nullptr;
        }
        *portCount = node.u.HubInformation.HubDescriptor.bNumberOfPorts;
        return hub;
    }

    int QueryPort(void* hubHandle, uint32_t port, C_UsbConnection* c) override
    {
        HANDLE hub = static_cast<HANDLE>(hubHandle);
        BYTE buffer[sizeof(USB_NODE_CONNECTION_INFORMATION_EX) + 32 * sizeof(USB_PIPE_INFO)] = {};
        USB_NODE_CONNECTION_INFORMATION_EX* ex =
            reinterpret_cast<USB_NODE_CONNECTION_INFORMATION_EX*>(buffer);
        DWORD got = 0;
        ex->ConnectionIndex = port;
        BOOL ok = DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX, buffer, sizeof buffer,
                                  buffer, sizeof buffer, &got, nullptr);
        c->facts.haveExtended = ok ? 1 : 0;
        if (ok) {
            c->facts.speed = ex->Speed;
        } else {
            // The plain query; a device still settling is asked once more.
            for (int attempt = 0; attempt < 2 && !ok; ++attempt) {
                if (attempt)
                    Sleep(250);
                ex->ConnectionIndex = port;
                ok = DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION, buffer, sizeof buffer,
                                     buffer, sizeof buffer, &got, nullptr);
                if (!ok && GetLastError() != ERROR_DEVICE_NOT_CONNECTED)
                    break;
            }
            // In the plain answer the speed byte is the low-speed flag.
            c->facts.lowSpeed = ok ? ex->Speed : 0;
        }
        if (!ok)
            return 0;
        c->connected = ex->ConnectionStatus == DeviceConnected;
        if (!c->connected)
            return 1;
#ifdef IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2
        if (c->facts.haveExtended) {
            USB_NODE_CONNECTION_INFORMATION_EX_V2 v2 = {};
            v2.ConnectionIndex = port;
            v2.Length = sizeof v2;
            v2.SupportedUsbProtocols.ul = 7;
            if (DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2, &v2, sizeof v2, &v2,
                                sizeof v2, &got, nullptr))
                c->facts.superSpeedOrHigher = (v2.Flags.ul & 1) != 0;
        }
#endif
        c->isHub = ex->DeviceIsHub ? 1 : 0;
        c->vendorId = ex->DeviceDescriptor.idVendor;
        c->productId = ex->DeviceDescriptor.idProduct;
        c->facts.bcdUsb = ex->DeviceDescriptor.bcdUSB;
        c->driverKey = NameQuery(hub, IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME, port,
                                 offsetof(USB_NODE_CONNECTION_DRIVERKEY_NAME, DriverKeyName));
        if (c->isHub) {
            const std::string name = NameQuery(hub, IOCTL_USB_GET_NODE_CONNECTION_NAME, port,
                                               offsetof(USB_NODE_CONNECTION_NAME, NodeName));
            if (!name.empty())
                c->childHubPath = "\\\\.\\" + name;
        } else {
            c->manufacturer = StringDescriptor(hub, port, ex->DeviceDescriptor.iManufacturer);
            c->product = StringDescriptor(hub, port, ex->DeviceDescriptor.iProduct);
            c->serial = StringDescriptor(hub, port, ex->DeviceDescriptor.iSerialNumber);
        }
        return 1;
    }

    void CloseHub(void* hub) override { CloseHandle(static_cast<HANDLE>(hub)); }
};

} // namespace

uint32_t WalkUsbHubs(const C_SetupApi& api, std::vector<C_UsbPortRecord>* ports)
{
    std::vector<std::string> roots;
    api.ForEachInterface(
        GUID_DEVINTERFACE_USB_HOST_CONTROLLER, [&](HDEVINFO, SP_DEVINFO_DATA&, const std::string& path) {
            HANDLE hc = OpenNode(path);
            if (hc == INVALID_HANDLE_VALUE)
                return;
            const std::string root =
                NameQuery(hc, IOCTL_USB_GET_ROOT_HUB_NAME, 0, offsetof(USB_ROOT_HUB_NAME, RootHubName));
            CloseHandle(hc);
            if (!root.empty())
                roots.push_back("\\\\.\\" + root);
        });
    C_SystemUsbTree tree;
    return WalkUsbTree(tree, roots, ports);
}
