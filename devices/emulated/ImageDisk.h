// An emulated disk backed by an image file: block reads and writes, READ CAPACITY, INQUIRY,
// READ(10)/WRITE(10), reference-counted open, and failures injected per block.
#pragma once
#include <string>
#include "core/File.h"
#include "devices/Device.h"
#include "devices/emulated/FaultPlan.h"

class C_ImageDisk : public C_Device {
public:
    // The image must exist; its size gives the block count.
    C_ImageDisk(const std::string& imagePath, uint32_t blockSize, int readOnly);

    int QueryCapacity() override;
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override;
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override;
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t* sense) override;
    int Open() override;
    int Close() override;
    int QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument, C_PropertyValue* out2,
                      C_PropertyValue* out3) override;
    // Opens the image path afresh, as a new enumeration would: whatever file lies there now.
    int AskAgain(C_DeviceAnswers* now) override;

    C_FaultPlan faults;
    uint32_t opens = 0; // opens of the image file, for the reference-count tests

private:
    int Transfer(int write, uint64_t block, uint32_t count, void* buffer);
    C_File m_file;
    int m_readOnly;
};
