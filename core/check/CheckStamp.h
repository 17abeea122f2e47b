// Stamped data of the capacity check: every 512-byte sector of a fill says where in the fill it
// belongs and which run wrote it, and the rest of it is keyed pseudo-random data, so a drive can
// neither compress it nor hand back one sector in place of another unnoticed.
//
// Layout of a sector, all words 64-bit little-endian:
//   word 0        the sector's index in the fill (its position)
//   word 1        the run's random identifier
//   words 2..63   Payload(identifier, position, word index)
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kStampSectorBytes = 512;
constexpr uint64_t kNoPosition = UINT64_MAX;
// Positions lie below this: a fill's byte offsets then fit in 64 bits.
constexpr uint64_t kStampPositionLimit = 1ull << 55;

// Fills sectors * 512 bytes with the stamped sectors firstSector, firstSector + 1, ... of run
// runId.
void FillStamped(void* buffer, size_t sectors, uint64_t firstSector, uint64_t runId);

// What a sector read back at its position holds.
enum StampKind {
    kStampIntact,  // exactly what was written there
    kStampMoved,   // exactly what this run wrote at another position: the addresses wrap
    kStampLost,    // nothing of this run's data for this position: zeros, 0xFF, old data
    kStampChanged, // this position's data, but with wrong bytes
};

// Classifies one sector (512 bytes) read back at position. For a moved sector *heldPosition is
// the position whose data it holds; otherwise kNoPosition.
StampKind ClassifySector(const uint8_t* sector, uint64_t position, uint64_t runId, uint64_t* heldPosition);

// Sectors of each kind and the first position that did not come back intact.
struct C_StampCounts {
    uint64_t sectors[4] = {0, 0, 0, 0}; // indexed by StampKind
    uint64_t firstBad = kNoPosition;
};

// Checks sectors * 512 bytes read back at firstSector and adds what it finds to counts.
void CheckStamped(const void* buffer, size_t sectors, uint64_t firstSector, uint64_t runId,
                  C_StampCounts* counts);
