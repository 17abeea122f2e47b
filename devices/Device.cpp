#include "devices/Device.h"
#include "devices/DeviceList.h"

C_Device::C_Device() = default;
C_Device::~C_Device() = default;

// The base answers nothing: a record type overrides what its device can do.
int C_Device::AtaCommand(uint8_t, uint8_t, void*, uint32_t, int*) { return 0; }
int C_Device::QueryCapacity() { return 0; }
int C_Device::ReadBlocks(uint64_t, uint32_t, void*) { return 0; }
int C_Device::WriteBlocks(uint64_t, uint32_t, const void*) { return 0; }
int C_Device::ScsiCommand(uint32_t, const uint8_t*, int, uint32_t, void*, uint8_t*) { return 0; }
int C_Device::AtaPassThrough(C_AtaTaskFile&, int, uint32_t, void*) { return 0; }
int C_Device::HubPortRequest(uint32_t, void*, uint32_t) { return 0; }
int C_Device::Eject(int) { return 0; }
int C_Device::LoadMedium() { return 0; }
int C_Device::FormatVolume(uint32_t, void*) { return 0; }
int C_Device::DeviceNodeRequest(uint32_t, void*, uint32_t) { return 0; }
int C_Device::Open() { return 0; }
int C_Device::Close() { return 0; }
int C_Device::QueryProperty(uint32_t, C_PropertyValue*, uintptr_t, C_PropertyValue*,
                            C_PropertyValue*) {
    return 0;
}
void C_Device::TakeOver(C_Device&) {}

int C_Device::HasLetter(char letter) const {
    return letter != 0 && strLetters.find(letter) != std::string::npos;
}

void C_Device::AddLetter(char letter) {
    if (letter != 0 && !HasLetter(letter))
        strLetters += letter;
}

int DevicesEqual(const C_Device& a, const C_Device& b) {
    return (a.dwCaps & 0xFFFF) == (b.dwCaps & 0xFFFF) && a.dwKind == b.dwKind &&
           a.dwType == b.dwType && a.ullBlockCount == b.ullBlockCount &&
           a.ullFreeBlocks == b.ullFreeBlocks && a.ullFirstBlock == b.ullFirstBlock &&
           a.ullBlockOffset == b.ullBlockOffset && a.dwBlockSize == b.dwBlockSize &&
           a.dwMaxBlocks == b.dwMaxBlocks && a.strVendor == b.strVendor &&
           a.strProduct == b.strProduct && a.strRevision == b.strRevision &&
           a.strSerial == b.strSerial && a.strLabel == b.strLabel && a.strName == b.strName &&
           a.strLetters == b.strLetters;
}

std::string DeviceIdentityText(const C_Device& d) {
    return d.strVendor + "-" + d.strProduct + "-" + d.strRevision + "-" + d.strSerial;
}
