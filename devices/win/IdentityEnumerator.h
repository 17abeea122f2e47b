// Identity records from the device-setup interface: one per storage interface, with its
// identifiers, the USB port it sits on and its drive letters.
#pragma once
#include "devices/DeviceList.h"

void EnumerateIdentityRecords(C_DeviceList& list);
