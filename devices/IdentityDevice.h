// Identity record: what a device is and how it is attached, built from the system's
// device-setup interface; answers the identity property identifiers.
#pragma once
#include <string>
#include <vector>
#include "devices/Device.h"

class C_IdentityDevice : public C_Device {
public:
    C_IdentityDevice();
    int QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument, C_PropertyValue* out2,
                      C_PropertyValue* out3) override;

    uint32_t dwVendorId = 0, dwProductId = 0;
    std::string strSerialText;
    int bHasSerialSuffix = 0;
    uint32_t dwSerialSuffix = 0;
    std::string str1394Vendor, str1394Model, str1394Id;
    std::string strHardwareIds;
    std::string strLocation;
    std::string strControllerName;
    std::string strInterfaceClass; // "{GUID}"
    std::string strInstanceId, strParentInstanceId;
    uint32_t dwInterfaceClass = 0;
    int bPhysical = 0;
    // The USB port the device was matched to.
    int bPortMatched = 0;
    uint32_t dwPortSpeedClass = 0;
    uint32_t dwPortNumber = 0;
    uint32_t dwPortsBeforeHub = 0; // ports of the hubs listed before the device's hub
};

// Identifiers of a record's device node and the nodes above it.
struct C_NodeIds {
    std::string hardwareId; // first hardware identifier of the node
    std::string instanceId;
    std::string parentId;
    std::string grandparentId;
    std::string controllerId; // three levels up: for a USB disk the host controller
    std::string controllerName;
};
// Fields from the identifiers (vendor texts, serial, USB and IEEE 1394 numbers), the
// controller name, and bus bit 0x40 for the host controllers that need it.
void FillFromIdentifiers(C_IdentityDevice& record, const C_NodeIds& ids, uint32_t options);
// Type and bus from a storage descriptor's device type and bus type.
void ApplyDescriptorType(C_IdentityDevice& record, uint32_t deviceType, uint32_t busType);

struct C_UsbPortRecord;
class C_DeviceList;
// Links the USB port the record sits on (by numbers and serial) and numbers the record:
// class value in the high four bits, the path hash, plus the port number when matched.
void LinkPortAndNumber(C_IdentityDevice& record, const std::vector<C_UsbPortRecord>& ports);

// Adds to a disk record the letters of the volume records (already in the list, fresh ones
// only) whose device nodes are among volumeIds, the instance identifiers of the disk node's
// volumes. Returns the number of letters added; 0 leaves the device-number match to the caller.
int AddLettersOfVolumes(C_DeviceList& list, C_IdentityDevice& disk,
                        const std::vector<std::string>& volumeIds);

// What the device-setup interface tells about one interface, before any device query.
struct C_IdentityNode {
    uint32_t classValue = 0; // high four bits of the record number
    int physical = 0;
    std::string interfaceClass; // "{GUID}"
    std::string path;
    std::string description, location;
    C_NodeIds ids;
};
// A new identity record for a node: name, identifiers, USB port and number.
C_IdentityDevice* StartIdentityRecord(const C_IdentityNode& node, const std::vector<C_UsbPortRecord>& ports,
                                      uint32_t options);

// A copy of an identity record's identity (not of its list membership).
C_IdentityDevice* CloneIdentity(const C_IdentityDevice& from);

// IEEE 1394 company identifier (bits 40-63) and bits 24-31 of a unique identifier given
// as hexadecimal text; 0 when it does not parse.
int Split1394Id(const std::string& id, uint32_t* company, uint32_t* bits24);
