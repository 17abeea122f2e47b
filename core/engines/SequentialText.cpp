#include "core/engines/SequentialText.h"
#include "core/System.h"

std::string FormatSeqFailure(MessageStyle style, const C_EngineFailure& failure, const std::string& path,
                             uint32_t blockSize, uint64_t fileSize)
{
    SeqMessage id;
    switch (failure.op) {
    case kOpOpen:
        id = kSeqOpenFailed;
        break;
    case kOpSeekEnd:
        id = kSeqSeekEndFailed;
        break;
    case kOpSetEnd:
        id = kSeqSetEndFailed;
        break;
    case kOpSeekStart:
        id = kSeqSeekStartFailed;
        break;
    case kOpWrite:
        id = kSeqWriteFailed;
        break;
    case kOpRead:
        id = kSeqReadFailed;
        break;
    case kOpFlush:
        id = kSeqFlushFailed;
        break;
    default:
        return std::string();
    }
    const std::string errorText = ErrorText(failure.error);
    C_SeqMessageArgs m;
    m.path = path.c_str();
    m.error = failure.error;
    m.errorText = errorText.c_str();
    m.blockSize = blockSize;
    m.position = failure.position;
    m.fileSize = fileSize;
    return FormatSeqMessage(style, id, m);
}
