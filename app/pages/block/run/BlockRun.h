// One raw block run over a device record: the accesses of a pattern inside the range,
// timed in groups, with the data file, the UDMA CRC and the graph points. The run talks
// to the page only through its channel, so tests drive it with emulated devices.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include "app/pages/block/model/BlockRules.h"
#include "devices/Device.h"

class C_BlockChannel {
public:
    virtual ~C_BlockChannel() = default;
    // Polled before every access.
    virtual int IsStopRequested() = 0;
    virtual void ShowSpeed(const std::string& text) = 0;
    virtual void ShowCrc(const std::string& text) = 0;
    // The graph of a linear run: one setup, then points of series 0.
    virtual void GraphSetup(int points) = 0;
    virtual void GraphPoint(int x, int megaBytesPerSecond) = 0;
    // A failure that ends the run; the run calls it at most once.
    virtual void Report(const std::string& message) = 0;
};

struct C_BlockRunSetup {
    C_Device* device = nullptr;
    BlockPattern pattern = kPatternLinear;
    int write = 0;
    C_BlockValues values; // as the last check left them
    int saveData = 0;     // linear runs only
    int udmaCrc = 0;      // linear runs only
    int graph = 0;        // linear runs only
    std::string dataFile;
};

// How a run ended, for the page's end step.
struct C_BlockRunResult {
    uint64_t accesses = 0; // accesses that succeeded
    int lastFailed = 0;    // the run ended on a failed access
    int failed = 0;        // any failure reported
};

class C_BlockRun {
public:
    // The run, on the calling thread. count and loopMax are read meanwhile by the page's
    // progress timer.
    C_BlockRunResult Run(const C_BlockRunSetup& setup, C_BlockChannel& channel);

    std::atomic<uint64_t> count{0};
    std::atomic<uint64_t> loopMax{0};
};

// One read access of blocks at position. A range that fails with a CRC error is read again
// block by block; blocks that fail with a CRC or device error become zeros. 1 on success,
// else 0 with the device error left.
int ReadBlocksRetryingCrc(C_Device& device, uint64_t position, uint32_t blocks, uint8_t* buffer);
