// The emulated CD-ROM that counts the sectors asked for by READ(10), optionally taking a
// while over each, as a slow drive does.
#pragma once
#include <windows.h>
#include <atomic>
#include <map>
#include <string>
#include <vector>
#include "devices/emulated/EmulatedCdRom.h"
#include "tests/common/WholeFile.h"

class C_CountedCdRom : public C_EmulatedCdRom {
public:
    C_CountedCdRom(const std::string& isoPath, const std::vector<uint32_t>& audioTrackBlocks)
        : C_EmulatedCdRom(isoPath, audioTrackBlocks)
    {
    }
    int ScsiCommand(uint32_t cdbLength, const uint8_t* cdb, int dataIn, uint32_t byteCount, void* buffer,
                    uint8_t* sense) override
    {
        if (cdbLength >= 10 && cdb[0] == 0x28) {
            ++asked[uint32_t(cdb[2]) << 24 | cdb[3] << 16 | cdb[4] << 8 | cdb[5]];
            ++reads;
            if (delayMs)
                Sleep(delayMs);
        }
        return C_EmulatedCdRom::ScsiCommand(cdbLength, cdb, dataIn, byteCount, buffer, sense);
    }
    // How often each sector was asked for; read it once the search has ended.
    std::map<uint32_t, uint32_t> asked;
    std::atomic<uint32_t> reads{0};
    DWORD delayMs = 0;
};

// Writes bytes to a file in the temporary folder; its Windows path, empty on failure.
inline std::string WriteTempImage(const char* name, const std::vector<uint8_t>& bytes)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof(folder), folder);
    const std::string path = std::string(folder) + name;
    return WriteFileBytes(path, bytes) ? path : std::string();
}
