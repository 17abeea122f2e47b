// Walks the USB hubs from every host controller's root hub and lists their ports.
#pragma once
#include <vector>
#include "devices/UsbPorts.h"

struct C_SetupApi;

// Appends one record per connected port (hubs included); returns the number of hubs.
uint32_t WalkUsbHubs(const C_SetupApi& api, std::vector<C_UsbPortRecord>* ports);
