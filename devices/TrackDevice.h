// One track of a CD, read through the drive record it was found on, and the enumerator
// that makes them from the drive's full table of contents.
#pragma once
#include "devices/DeviceList.h"

class C_TrackDevice : public C_Device {
public:
    int QueryCapacity() override { return 1; }
    int ReadBlocks(uint64_t block, uint32_t count, void* buffer) override;
    int WriteBlocks(uint64_t block, uint32_t count, const void* buffer) override;
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t* sense) override;
    int Open() override;
    int Close() override;
    int QueryProperty(uint32_t id, C_PropertyValue* out1, uintptr_t argument, C_PropertyValue* out2,
                      C_PropertyValue* out3) override;
    void TakeOver(C_Device& fresh) override { pParent = fresh.pParent; }
    int IsAudio() const { return dwBlockSize == 2352; }
};

// Adds a track record for every track of every fresh drive that takes SCSI commands and
// has blocks other than 512 bytes.
class C_TrackEnumerator : public C_DeviceEnumerator {
public:
    void Enumerate(C_DeviceList& list) override;
};

// The records of one drive's tracks (not yet in a list), from its full TOC.
int MakeTrackRecords(C_Device& drive, C_Device** records, uint32_t maxRecords);
