#include "core/SeqMessages.h"
#include <cinttypes>
#include "core/Text.h"

std::string FormatSeqMessage(MessageStyle style, SeqMessage id, const C_SeqMessageArgs& a)
{
    const bool gui = style == kStyleGui;
    const uint64_t mb = a.fileSize / 1024 / 1024;
    switch (id) {
    case kSeqOpenFailed:
        return gui ? StringPrintf("Can't open test file \xBB%s\xAB.\n\nError %u - %s", a.path, a.error,
                                  a.errorText)
                   : StringPrintf("Can't open test file %s.\nError %u - %s.\n", a.path, a.error, a.errorText);
    case kSeqSeekEndFailed:
        return StringPrintf(gui ? "Can't seek to new file end at %" PRIu64 " MBytes."
                                : "Can't seek to new file end at %" PRIu64 " MBytes.\n",
                            mb);
    case kSeqSetEndFailed:
        return StringPrintf(gui ? "Can't set new file end at %" PRIu64 " MBytes."
                                : "Can't set new file end at %" PRIu64 " MBytes.\n",
                            mb);
    case kSeqSeekStartFailed:
        return "Can't seek to file start.";
    case kSeqWriteFailed:
    case kSeqReadFailed: {
        const char* verb = id == kSeqWriteFailed ? "write" : "read";
        return gui ? StringPrintf(
                         "Can't %s full test file \xBB%s\xAB\n\nWin32Error: %u - %s - BlockSize: 0x%X - "
                         "FilePosition 0x%" PRIX64 " - FileSize 0x%" PRIX64,
                         verb, a.path, a.error, a.errorText, a.blockSize, a.position, a.fileSize)
                   : StringPrintf("Can't %s full test file %s\nWin32Error: %u - %s - BlockSize: 0x%X - "
                                  "FilePosition 0x%" PRIX64 " - FileSize 0x%" PRIX64 ".\n",
                                  verb, a.path, a.error, a.errorText, a.blockSize, a.position, a.fileSize);
    }
    case kSeqFlushFailed:
        return "Can't flush Filebuffers.\n";
    }
    return std::string();
}
