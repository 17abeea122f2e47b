// Identity records from the device-setup interface: one per storage interface, with its
// identifiers, the USB port it sits on and its drive letters.
#pragma once
#include "devices/DeviceList.h"

void EnumerateIdentityRecords(C_DeviceList& list);
// Gives handle-based records that have none a companion identity record (matched by
// device type and number), which answers the identity questions for them.
void AttachIdentityLinks(C_DeviceList& list);
