#include "devices/Device.h"
#include "devices/DeviceList.h"
#include <cstring>
#include "core/ErrorCodes.h"

C_Device::C_Device() = default;
C_Device::~C_Device() = default;

// ATA commands of records without a system request of their own go through the raw task
// file slot.
int C_Device::AtaCommand(uint8_t command, uint8_t feature, void* buffer, uint32_t size, int* statusOk)
{
    C_AtaTaskFile tf;
    tf.command = command;
    tf.feature = feature;
    tf.count = 1;
    tf.lbaLow = 1;
    tf.device = 0xA0;
    if (command == kAtaSmart) {
        tf.lbaMid = 0x4F;
        tf.lbaHigh = 0xC2;
    }
    const bool status = command == kAtaSmart && feature == kSmartReturnStatus;
    const bool dataIn = !status && buffer && size > 0;
    uint8_t data[512] = {};
    if (!AtaPassThrough(tf, dataIn, dataIn ? 512 : 0, dataIn ? data : nullptr))
        return 0;
    if (dataIn)
        memcpy(buffer, data, size < 512 ? size : 512);
    // A failing drive answers SMART RETURN STATUS with 0xF4/0x2C instead of the signature.
    if (status && statusOk)
        *statusOk = tf.lbaMid == 0x4F && tf.lbaHigh == 0xC2;
    return 1;
}

// The base answers nothing else: a record type overrides what its device can do.
int C_Device::QueryCapacity() { return 0; }
int C_Device::ReadBlocks(uint64_t, uint32_t, void*) { return 0; }
int C_Device::WriteBlocks(uint64_t, uint32_t, const void*) { return 0; }
int C_Device::ScsiCommand(uint32_t, const uint8_t*, int, uint32_t, void*, uint8_t*) { return 0; }
int C_Device::AtaPassThrough(C_AtaTaskFile&, int, uint32_t, void*) { return 0; }
int C_Device::Open() { return 0; }
int C_Device::Close() { return 0; }
int C_Device::QueryProperty(uint32_t, C_PropertyValue*, uintptr_t, C_PropertyValue*, C_PropertyValue*)
{
    return 0;
}
void C_Device::TakeOver(C_Device&) {}
int C_Device::AskAgain(C_DeviceAnswers*)
{
    SetLastErrorCode(kErrorNotSupported);
    return 0;
}
int C_Device::IsSameDevice()
{
    C_DeviceAnswers now;
    return AskAgain(&now) && SameDeviceAnswers(*this, now);
}

int C_Device::BeginWrites(std::string*) { return 1; }
void C_Device::EndWrites() {}

int C_Device::HasLetter(char letter) const
{
    return letter != 0 && strLetters.find(letter) != std::string::npos;
}

void C_Device::AddLetter(char letter)
{
    if (letter != 0 && !HasLetter(letter))
        strLetters += letter;
}

int DevicesEqual(const C_Device& a, const C_Device& b)
{
    return (a.dwCaps & kCapsDescribing) == (b.dwCaps & kCapsDescribing) && a.dwKind == b.dwKind &&
           a.dwType == b.dwType && a.ullBlockCount == b.ullBlockCount && a.ullFreeBlocks == b.ullFreeBlocks &&
           a.ullFirstBlock == b.ullFirstBlock && a.ullBlockOffset == b.ullBlockOffset &&
           a.bOffsetKnown == b.bOffsetKnown && a.dwBlockSize == b.dwBlockSize &&
           a.dwMaxBlocks == b.dwMaxBlocks && a.strVendor == b.strVendor && a.strProduct == b.strProduct &&
           a.strRevision == b.strRevision && a.strSerial == b.strSerial && a.strLabel == b.strLabel &&
           a.strName == b.strName && a.strLetters == b.strLetters;
}

std::string DeviceIdentityText(const C_Device& d)
{
    return d.strVendor + "-" + d.strProduct + "-" + d.strRevision + "-" + d.strSerial;
}

namespace {
// Identity texts arrive padded from some answers and trimmed from others.
std::string Trimmed(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\0'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\0'))
        --end;
    return text.substr(begin, end - begin);
}

int SameText(const std::string& recorded, const std::string& now)
{
    return Trimmed(recorded).empty() || Trimmed(recorded) == Trimmed(now);
}
} // namespace

int SameDeviceAnswers(const C_Device& d, const C_DeviceAnswers& now)
{
    return d.ullBlockCount == now.ullBlockCount && d.dwBlockSize == now.dwBlockSize &&
           SameText(d.strVendor, now.strVendor) && SameText(d.strProduct, now.strProduct) &&
           SameText(d.strSerial, now.strSerial);
}
