// One storage device or drive of the process-wide device list, and the values its
// operations answer. No Win32 header: handles are void*, so the list mechanics and the
// emulated devices build and test on any system.
#pragma once
#include <cstdint>
#include <string>
#include "core/engines/BlockTarget.h"

class C_DeviceList;

// dwKind: which enumerator made the record (one bit each).
enum : uint32_t {
    kKindPhysical = 1,
    kKindCdRom = 2,
    kKindLogical = 4,
    kKindDriveLetter = 16,
    kKindDos = 32,
    kKindAspi = 64,
    kKindIdentity = 512,
    kKindTrack = 2048
};
// dwType: medium type.
enum : uint32_t {
    kTypeUnknown = 0,
    kTypeFixedPhysical = 1,
    kTypeFixedLogical = 2,
    kTypeOptical = 3,
    kTypeRemovablePhysical = 4,
    kTypeRemovableLogical = 5,
    kTypeRamDisk = 6,
    kTypeNetwork = 7,
    kTypeTape = 8
};
// dwCaps bits.
enum : uint32_t {
    kCapScsi = 0x1,
    kCapRead = 0x2,
    kCapWrite = 0x4,
    kCapAtaIdentify = 0x40,
    kCapStale = 0x80000000u,
    // The low half describes the device; the half above holds list state (the stale bit), so
    // a refresh compares only the low half.
    kCapsDescribing = 0xFFFF,
    kCapsHandle = 0x11F,
    kCapsDos = 0x2A
};
// dwBus bits.
enum : uint32_t {
    kBusIdentity1 = 0x1,
    kBusUsb = 0x2,
    kBusScsi = 0x4,
    kBus1394 = 0x8,
    kBusIscsi = 0x20,
    kBusThunderbolt = 0x40 // set by the identity probing for a disk behind a Thunderbolt controller
};
// Option mask of a registration.
enum : uint32_t {
    kOptFloppy = 0x2,
    kOptOuterLock = 0x4,
    kOptNoIdentity = 0x8,
    kOptNoIdentityQueries = 0x10,
    kOptNoVolumeInterfaces = 0x200,
    kOptNoDiskInterfaces = 0x400,
    kOptTapeInterfaces = 0x800,
    kOptNoCapacity = 0x4000,
    kOptKeep1394IdOrder = 0x8000,
    // The top twelve bits, which both pages set when they register and no enumerator reads.
    kOptPageBits = 0xFFF00000u,
    kOptBlockAccess = kOptPageBits | kOptTapeInterfaces,
    kOptBlockAccessFloppy = kOptBlockAccess | kOptFloppy
};
// dwAccess values (GENERIC_READ | GENERIC_WRITE, GENERIC_READ).
enum : uint32_t { kAccessReadWrite = 0xC0000000u, kAccessRead = 0x80000000u };

// Property identifiers of QueryProperty.
enum : uint32_t {
    kPropSerialText = 0x20001,
    kPropUsbIds = 0x20002,
    kPropHardwareIds = 0x20004,
    kPropLocation = 0x20005,
    kProp1394Id = 0x20006,
    kProp1394Company = 0x20007,
    kProp1394VendorModel = 0x20008,
    kPropInterfaceClass = 0x2000C,
    kPropInstanceIds = 0x2000F,
    kPropSerialSuffix = 0x20010,
    kPropUsbPort = 0x20011,
    kPropLinkSerialText = 0x30001,
    kPropLinkUsbIds = 0x30002,
    kPropLink1394Id = 0x30003,
    kPropLink1394VendorModel = 0x30004,
    kPropLinkLocation = 0x30005,
    kPropFlush = 0x70001
};

// One answer of QueryProperty: a number, a text, or both.
struct C_PropertyValue {
    uint64_t number = 0;
    std::string text;
};

// Registers of an ATA task file, for the pass-through slot.
struct C_AtaTaskFile {
    uint8_t feature = 0, count = 0, lbaLow = 0, lbaMid = 0, lbaHigh = 0, device = 0, command = 0;
};

// ATA commands and SMART values used through slot 1.
enum : uint8_t {
    kAtaIdentify = 0xEC,
    kAtaIdentifyPacket = 0xA1,
    kAtaSmart = 0xB0,
    kSmartReadData = 0xD0,
    kSmartReturnStatus = 0xDA
};

// What a device answers when it is asked again, to tell whether the record still
// describes it. Texts the device does not tell stay empty.
struct C_DeviceAnswers {
    uint64_t ullBlockCount = 0;
    uint32_t dwBlockSize = 0;
    std::string strVendor;
    std::string strProduct;
    std::string strSerial;
};

// The block operations (ReadBlocks, WriteBlocks, Open, Close, BeginWrites, EndWrites) are the
// block engine's target operations too.
class C_Device : public I_BlockTarget {
public:
    C_Device();
    C_Device(const C_Device&) = delete;
    C_Device& operator=(const C_Device&) = delete;

    // The fifteen operations, in this order.
    virtual ~C_Device();
    // IDENTIFY (0xEC/0xA1) or a SMART sub-command (feature); *statusOk receives, for SMART
    // RETURN STATUS, whether the 0x4F/0xC2 signature came back unchanged.
    virtual int AtaCommand(uint8_t command, uint8_t feature, void* buffer, uint32_t size, int* statusOk);
    virtual int QueryCapacity();
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override;
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override;
    // sense receives up to 24 bytes when the command fails; may be null.
    virtual int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount,
                            void* buffer, uint8_t* sense);
    virtual int AtaPassThrough(C_AtaTaskFile& taskFile, int dataIn, uint32_t byteCount, void* buffer);
    int Open() override;
    int Close() override;
    virtual int QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument, C_PropertyValue* out2,
                              C_PropertyValue* out3);

    // Called by the list when an equal record was enumerated again: the kept record takes
    // over whatever links the fresh one carries (a track's parent, for example).
    virtual void TakeOver(C_Device& fresh);

    // Asks the device behind the record again, the way its enumerator first asked it, so a
    // raw write can make sure that the record still names the same device. 0 when the
    // device cannot be asked (the Win32 error is left); a record type that cannot be asked
    // again never gets written.
    virtual int AskAgain(C_DeviceAnswers* now);
    // Before the first write of a run, the volumes on the device are taken from their file
    // systems for the run alone (locked and dismounted) and held until EndWrites. 0 when a
    // volume is in use: *busy then names it and nothing may be written.
    int BeginWrites(std::string* busy) override;
    void EndWrites() override;
    // AskAgain, and whether the answers are the record's (SameDeviceAnswers).
    int IsSameDevice() override;

    int IsStale() const { return (dwCaps & kCapStale) != 0; }
    int HasLetter(char letter) const;
    void AddLetter(char letter);

    C_Device* pNext = nullptr;
    C_DeviceList* pList = nullptr;
    uint32_t dwCaps = 0;
    uint32_t dwNumber = 0;
    uint32_t dwKind = 0;
    uint32_t dwType = 0;
    uint32_t dwBus = 0;
    C_Device* pIdentity = nullptr; // owned by the record type that sets it
    // The record this one reads through (a track's drive); the list removes it with it.
    C_Device* pParent = nullptr;
    uint32_t dwLocation = 0xFFFFFFFFu;
    uint64_t ullBlockCount = 0;
    uint64_t ullFreeBlocks = 0;
    uint64_t ullFirstBlock = 0;
    uint64_t ullBlockOffset = 0;
    uint32_t dwBlockSize = 0;
    uint32_t dwMaxBlocks = 0;
    std::string strVendor;
    std::string strProduct;
    std::string strRevision;
    std::string strSerial;
    std::string strLabel;
    std::string strFileSystem;
    std::string strVolumeLabel;
    std::string strName;
    std::string strLetters;
    uint32_t dwSerialNumber = 0;
    std::string strPath;
    uint32_t dwAccess = kAccessReadWrite;
    void* hDevice = nullptr;
    uint32_t dwAtaMethod = 0;
    uint32_t dwOpenCount = 0;
    uint32_t dwScsiTimeout = 0xFFFFFFFFu;
    // Drive type of the drive letters (DRIVE_xxx), 0 when unknown; kept for the pages.
    uint32_t dwDriveType = 0;
    // 1 when a partition query told ullBlockOffset; a volume without it is never addressed on
    // its disk.
    int bOffsetKnown = 0;
};

// The equality that decides whether a re-enumerated device is unchanged.
int DevicesEqual(const C_Device& a, const C_Device& b);
// Identity text of a device: "vendor-product-revision-serial".
std::string DeviceIdentityText(const C_Device& device);
// Whether what the device answers now is what the record was made from: capacity and block
// size always, vendor, product and serial where the record has them.
int SameDeviceAnswers(const C_Device& record, const C_DeviceAnswers& now);
