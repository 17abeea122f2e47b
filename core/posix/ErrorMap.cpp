#include "core/posix/ErrorMap.h"
#include <cerrno>
#include "core/ErrorCodes.h"

namespace {
struct C_ErrnoPair {
    int error;
    uint32_t code;
};
// Where several errno values share a Win32 number, the first one names it in texts.
const C_ErrnoPair kPairs[] = {
    {ENOENT, kErrorFileNotFound},
    {ENOTDIR, kErrorPathNotFound},
    {EMFILE, kErrorTooManyOpenFiles},
    {ENFILE, kErrorTooManyOpenFiles},
    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},
    {EISDIR, kErrorAccessDenied},
    {EBADF, kErrorInvalidHandle},
    {ENOMEM, kErrorNotEnoughMemory},
    {EROFS, kErrorWriteProtect},
    {ENXIO, kErrorNotReady},
    {ENOMEDIUM, kErrorNotReady},
    {ETXTBSY, kErrorSharingViolation},
    {EEXIST, kErrorAlreadyExists},
    {EINVAL, kErrorInvalidParameter},
    {EPIPE, kErrorBrokenPipe},
    {ENOSPC, kErrorDiskFull},
    {EDQUOT, kErrorDiskFull},
    {EFBIG, kErrorDiskFull},
    {ENAMETOOLONG, kErrorFilenameTooLong},
    {ENOTEMPTY, kErrorDirNotEmpty},
    {EBUSY, kErrorBusy},
    {ENOTSUP, kErrorNotSupported},
    {ENOTTY, kErrorInvalidFunction},
    {ECANCELED, kErrorOperationAborted},
    {EIO, kErrorIoDevice},
    {EAGAIN, kErrorNoSystemResources},
};
} // namespace

uint32_t ErrorFromErrno(int error)
{
    if (error == 0)
        return kErrorSuccess;
    for (const C_ErrnoPair& pair : kPairs)
        if (pair.error == error)
            return pair.code;
    return kErrorFromErrno + (uint32_t)error;
}

int ErrnoFromError(uint32_t code)
{
    if (code > kErrorFromErrno && code < kErrorFromErrno + 0x10000)
        return (int)(code - kErrorFromErrno);
    for (const C_ErrnoPair& pair : kPairs)
        if (pair.code == code)
            return pair.error;
    return 0;
}

int FailWithErrno()
{
    SetLastErrorCode(ErrorFromErrno(errno));
    return 0;
}
