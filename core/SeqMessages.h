// The texts of a failed sequential pass, worded for its reader: a GUI message box or console
// output. Pure; core/engines/SequentialText.h maps an engine's failure onto them.
#pragma once
#include <cstdint>
#include <string>

// Who reads a message: a GUI message box or console output.
enum MessageStyle { kStyleGui = 0, kStyleConsole = 1 };
enum SeqMessage {
    kSeqOpenFailed,
    kSeqSeekEndFailed,
    kSeqSetEndFailed,
    kSeqSeekStartFailed,
    kSeqWriteFailed,
    kSeqReadFailed,
    kSeqFlushFailed
};
struct C_SeqMessageArgs {
    const char* path = "";
    uint32_t error = 0;
    const char* errorText = "";
    uint32_t blockSize = 0;
    uint64_t position = 0;
    uint64_t fileSize = 0;
};
std::string FormatSeqMessage(MessageStyle style, SeqMessage id, const C_SeqMessageArgs& a);
