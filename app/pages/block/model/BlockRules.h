// The rules of a raw block run that need no window: the test range the page's fields
// give, the positions each access pattern visits, the rate of a timed group, and the
// texts the page shows for them.
#pragma once
#include <cstdint>
#include <string>
#include "core/engines/Engine.h"

// A run starts with the run bit of the chosen kind (kFlagKindLinear, ...) set in the flag
// word, and its worker reads the access pattern back from that bit.
uint32_t RunFlagOfKind(uint32_t kind);
// Linear, random or seek by the first run bit set in flags; seek when none is.
BlockPattern PatternOfRunFlags(uint32_t flags);

// The texts of the page's fields that the check reads.
struct C_BlockFields {
    std::string start, end, blocks, skip, repeats, calcEvery;
};

// Which fields the check changed and the page must write back. Start and end are always
// written back.
struct C_BlockRewrites {
    bool blocks = false;
    bool calcEvery = false;
};

// A decimal number as a scanned "%I64u" reads it: leading blanks, an optional '+', then
// digits up to the first other character. 0 when there are no digits; a number too big for
// 64 bits saturates.
int ParseBlockNumber(const std::string& text, uint64_t* value);

// Reads the fields over the previous values and clamps the range to the device: a field
// that does not parse keeps its previous value, except blocks per access (0 then, which
// like a 0 calc count becomes 1). The range starts no lower than the first block, ends
// above the start and no further than the block count; a start at or past the count makes
// an empty range.
void CheckBlockValues(const C_BlockFields& fields, uint64_t firstBlock, uint64_t blockCount,
                      C_BlockValues* values, C_BlockRewrites* rewrites);

// "%I64u Byte%c" up to 10239 bytes, then kByte up to 10239 of them, then MByte; the
// plural 's' is a blank when the shown number is 1.
std::string BufferSizeText(uint64_t bytes);

// What the user is told when BufferBytes refuses the values.
std::string BufferTooBigText(uint64_t blocks, uint32_t blockSize);
// What the user is told when the buffer's memory is not there.
std::string BufferAllocationText(uint32_t bytes);

// The rate of one timed group of accesses.
struct C_GroupRate {
    float kiloBytesPerSecond = 0;
    float megaBytesPerSecond = 0;
    std::string text; // the transfer-speed label
};
C_GroupRate GroupRate(uint32_t bufferBytes, uint32_t calcEvery, uint64_t microseconds);

// Name of the write confirmation in the settings store: vendor, product, revision, serial,
// name and letters, blank-separated.
std::string WriteConfirmationName(const std::string& vendor, const std::string& product,
                                  const std::string& revision, const std::string& serial,
                                  const std::string& name, const std::string& letters);

// The messages of a run, with the device or file name framed.
std::string NoCapabilityText(const std::string& device, int write);
// description says which device it is as a person recognises it (its device text, size and
// letters); empty leaves that paragraph out.
std::string WriteQuestionText(const std::string& device, const std::string& description);
std::string DeviceChangedText(const std::string& device);
std::string VolumeInUseText(const std::string& volume, const std::string& device);
std::string SystemDeviceText(const std::string& device, char windowsLetter);
std::string UnaddressableRangeText(uint64_t lastBlock, uint32_t blockSize);
std::string AccessFailedText(uint64_t blocks, uint64_t position, uint32_t error,
                             const std::string& errorText);
std::string OpenDataFileText(const std::string& file, int forWriting);
std::string ReadDataFileText(const std::string& file);
std::string WriteDataFileText(const std::string& file);
extern const char* const kNoDeviceSelectedText;

// What the user is told of a block run that ended on failure, from the failure and what the
// run was: the device's name, blocks per access and block size. errorText is the system's
// text of failure.error. Empty when nothing failed.
std::string BlockFailureText(const C_EngineFailure& failure, const std::string& device, uint64_t blocks,
                             uint32_t blockSize, const std::string& errorText);
// A rate point of the block engine as the page shows it: the speed label, and the graph
// point at the start of the group's last access (accesses: done after the group).
struct C_BlockRatePoint {
    std::string text;
    int x = 0;
    int megaBytesPerSecond = 0;
};
C_BlockRatePoint BlockRatePoint(uint32_t bufferBytes, uint64_t graphScale, uint64_t accesses, uint64_t bytes,
                                uint64_t microseconds);
// The UDMA CRC label of one access's data.
std::string UdmaCrcText(const void* data, uint32_t bytes);
