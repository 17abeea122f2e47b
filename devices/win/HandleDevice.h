// Records that open a Win32 device path: logical drives, physical drives, CD-ROM devices.
#pragma once
#include <memory>
#include "devices/Device.h"
#include "devices/win/RawWritePrepare.h"

class C_HandleDevice : public C_Device {
public:
    C_HandleDevice();
    ~C_HandleDevice() override;

    int AtaCommand(uint8_t command, uint8_t feature, void* buffer, uint32_t size, int* statusOk) override;
    int QueryCapacity() override;
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override;
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override;
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t* sense) override;
    int AtaPassThrough(C_AtaTaskFile& taskFile, int dataIn, uint32_t byteCount, void* buffer) override;
    int Open() override;
    int Close() override;
    int QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument, C_PropertyValue* out2,
                      C_PropertyValue* out3) override;
    int AskAgain(C_DeviceAnswers* now) override;
    int BeginWrites(std::string* busy) override;
    void EndWrites() override;

    // Takes ownership of a companion that answers identity questions for this record.
    void AdoptIdentity(C_Device* link)
    {
        m_identity.reset(link);
        pIdentity = link;
    }

    // The list's option mask at enumeration time (capacity queries skipped under 0x4000).
    uint32_t dwOptions = 0;

private:
    // The transfer the record's addressing rule chooses (BlockAddressing.h), or its refusal.
    int RoutedTransfer(int write, uint64_t block, uint32_t count, void* buffer);
    int FileTransfer(int write, uint64_t offset, uint32_t bytes, void* buffer);
    int TapeTransfer(int write, uint64_t block, uint32_t count, void* buffer);
    int DeviceControl(uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                      uint32_t* returned);
    std::unique_ptr<C_Device> m_identity;
    C_VolumeLocks m_locks;
};

// 1 on Windows 95, 98 and Me.
int IsWindows9x();
