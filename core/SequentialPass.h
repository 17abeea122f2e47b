// One pass of the sequential test: the test file written or read from first byte to end in
// equal blocks with the cache bypassed. Shared by the console program and the QuickAccess page.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include "core/SpeedMath.h"

class C_Timer;

// The caller's side of a pass: where messages go and whether it should stop.
class C_PassChannel {
public:
    virtual ~C_PassChannel() = default;
    virtual void Report(const std::string& text) = 0;
    // Polled after every block; the console never stops.
    virtual int IsStopRequested() { return 0; }
};

struct C_SeqPassArgs {
    int direction = 0; // 1 = write, else read
    const char* path = "";
    void* buffer = nullptr; // one block, 4096-aligned, random contents
    uint32_t blockSize = 0;
    uint64_t fileSize = 0; // in bytes
    MessageStyle style = kStyleConsole;
    int usbSpeedClass = -1; // -1: no USB hint
    int checkStop = 0;      // 1: poll the channel's stop request (GUI)
};

struct C_SeqPassResult {
    std::string text; // rate text, "[too fast]", or empty when incomplete
    std::string hint; // USB hint, appended to
    uint32_t mibPerSecond = 0;
    float bytesPerSecond = 0;
};

// bytesDone is readable whole from another thread while the pass runs.
// timer: the caller's timer, started at the first block (may be null).
int RunSequentialPass(const C_SeqPassArgs& args, std::atomic<uint64_t>& bytesDone, C_PassChannel& channel,
                      C_SeqPassResult& result, C_Timer* timer = nullptr);
