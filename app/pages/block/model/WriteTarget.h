// Which device a raw run goes to: the row kept across a refresh, the devices that are never
// written, and how the write question names a device so that a person recognises it.
#pragma once
#include <string>
#include <vector>
#include "devices/Device.h"

// What stays of a chosen device when its record may go in a refresh.
struct C_ChosenDevice {
    std::string path;
    uint32_t kind = 0;
    std::string identity; // vendor, product, revision and serial
    uint32_t blockSize = 0;
};
C_ChosenDevice ChosenDeviceOf(const C_Device& device);
// The same device: same path and kind, and the same identity and block size, since a
// device plugged in later may take over a freed path.
bool IsChosenDevice(const C_ChosenDevice& chosen, const C_Device& device);

// The row to select after a refresh, given the rows' records in list order: the chosen
// record's own row while it stayed, else the row of the same device, else row 0 (-1 for an
// empty list). *keepFields says whether the user's range fields stay as they are; they are
// loaded afresh only for a device other than the chosen one.
int RowAfterRefresh(const std::vector<const C_Device*>& rows, const C_Device* stayed,
                    const C_ChosenDevice* chosen, bool* keepFields);

// The letter of the Windows folder when the record is the volume that holds it or the disk
// that holds that volume (by its letters, or by the identity the list noted for the system
// when the identity names one device: a serial); 0 when it may be written.
char WindowsLetterOn(const C_Device& device, char windowsLetter, const std::string& systemIdentity);

// "ACME STICK 1.00, 14.9 GByte, drive letters EF": device text, size and letters.
std::string DeviceDescription(const C_Device& device);
