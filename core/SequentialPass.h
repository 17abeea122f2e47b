// The random access pass's side of its caller: where its messages go and whether it should
// stop. (The sequential pass that shared it is the sequential engine now.)
#pragma once
#include <string>

class C_PassChannel {
public:
    virtual ~C_PassChannel() = default;
    virtual void Report(const std::string& text) = 0;
    // Polled while the pass runs; the console never stops.
    virtual int IsStopRequested() { return 0; }
};
