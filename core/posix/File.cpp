// C_File on POSIX: one file descriptor with what O_DIRECT needs. The handle the header keeps is
// a C_FileState, so the engines see the same object on every system.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include "core/File.h"
#include "core/FileHookCall.h"
#include "core/posix/DirectIo.h"
#include "core/posix/ErrorMap.h"

namespace {
struct C_FileState {
    int fd = -1;
    int direct = 0; // O_DIRECT is on: transfers keep the alignment below
    C_DirectIo io;
    size_t viewSize = 0;
};

C_FileState* State(void* handle) { return (C_FileState*)handle; }

// The descriptor of an open file, or -1 with the invalid-handle error.
int Descriptor(void* handle)
{
    if (!handle) {
        SetLastErrorCode(kErrorInvalidHandle);
        return -1;
    }
    return State(handle)->fd;
}

int OpenFlags(int mode, uint32_t flags)
{
    static const int access[7] = {
        O_RDONLY, O_WRONLY | O_CREAT | O_TRUNC, O_WRONLY, O_WRONLY | O_CREAT, O_RDWR | O_CREAT,
        O_RDWR,   O_WRONLY | O_CREAT | O_EXCL};
    int result = access[mode] | O_CLOEXEC;
    if (flags & kOpenNoBuffering)
        result |= O_DIRECT;
    if (flags & kOpenWriteThrough)
        result |= O_DSYNC;
    return result;
}

bool Aligned(const C_FileState* s, uint64_t position, uint32_t size, const void* buffer)
{
    if (!s->direct)
        return true;
    return position % s->io.offsetAlign == 0 && size % s->io.offsetAlign == 0 &&
           (uintptr_t)buffer % s->io.memAlign == 0;
}

// Moves size bytes unless the end of the file or an error comes first; an interrupted or
// partial call goes on where it stopped, as one Win32 transfer would.
int Transfer(int fd, int write, void* buffer, uint32_t size, int64_t position, uint32_t* done)
{
    uint8_t* p = (uint8_t*)buffer;
    uint32_t moved = 0;
    while (moved < size) {
        ssize_t n;
        if (position >= 0)
            n = write ? pwrite(fd, p + moved, size - moved, position + moved)
                      : pread(fd, p + moved, size - moved, position + moved);
        else
            n = write ? ::write(fd, p + moved, size - moved) : ::read(fd, p + moved, size - moved);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *done = moved;
            return FailWithErrno();
        }
        if (n == 0)
            break;
        moved += (uint32_t)n;
    }
    *done = moved;
    return 1;
}
} // namespace

C_File::C_File() : m_hFile(nullptr), m_hMapping(nullptr), m_pView(nullptr), m_nMode(0) {}

C_File::~C_File() { Close(); }

void C_File::Attach(void* handle, int mode)
{
    Close();
    m_hFile = handle;
    m_nMode = mode;
}

int C_File::Open(const char* path, int mode, uint32_t flagsAndAttributes, uint32_t)
{
    Close();
    if (mode < 0 || mode > kOpenWriteNew) {
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    m_lineReader.Reset();
    QM_HOOK(kHookOpen, this, path, nullptr, 0, nullptr, 0, 0);
    const int flags = OpenFlags(mode, flagsAndAttributes);
    int fd = ::open(path, flags, 0666);
    int refused = 0;
    if (fd < 0 && errno == EINVAL && (flags & O_DIRECT)) {
        // The file system cannot bypass the cache; run buffered and let ProbeCacheBypass say so.
        refused = 1;
        fd = ::open(path, flags & ~O_DIRECT, 0666);
    }
    if (fd < 0)
        return FailWithErrno();
    C_FileState* state = new C_FileState;
    state->fd = fd;
    if (flags & O_DIRECT) {
        if (refused) {
            state->io.bypass = kBypassRefused;
        } else {
            state->direct = 1;
            state->io = QueryDirectIo(fd);
        }
    }
    m_hFile = state;
    m_nMode = mode;
    return 1;
}

int ProbeCacheBypass(const char* path)
{
    struct stat st;
    const bool existed = ::stat(path, &st) == 0;
    C_File file;
    // A file that cannot be opened is the pass's to report.
    if (!file.Open(path, kOpenWriteAlways, kOpenNoBuffering, kShareReadWrite) || !file.GetHandle())
        return kBypassDevice;
    const int bypass = State(file.GetHandle())->io.bypass;
    file.Close();
    if (!existed)
        unlink(path);
    return bypass;
}

int C_File::RawTransfer(int write, uint32_t size, void* buffer, uint32_t* done)
{
    *done = 0;
    QM_HOOK(write ? kHookWrite : kHookRead, this, nullptr, buffer, size, done, 0, 0);
    C_FileState* s = State(m_hFile);
    if (!Aligned(s, 0, size, buffer)) {
        // As Windows refuses a transfer that bypasses the cache on unaligned terms.
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    return Transfer(s->fd, write, buffer, size, -1, done);
}

int C_File::ReadSome(uint32_t size, void* buffer, uint32_t* done)
{
    uint32_t got = 0;
    int r = 0;
    if (!m_hFile)
        SetLastErrorCode(kErrorInvalidHandle);
    else if (!Aligned(State(m_hFile), 0, size, buffer))
        SetLastErrorCode(kErrorInvalidParameter);
    else
        r = Transfer(State(m_hFile)->fd, 0, buffer, size, -1, &got);
    if (done)
        *done = got;
    return r;
}

static int PositionedTransfer(void* handle, int write, uint64_t position, uint32_t size, void* buffer)
{
    if (!handle) {
        SetLastErrorCode(kErrorInvalidHandle);
        return 0;
    }
    C_FileState* s = State(handle);
    if (!Aligned(s, position, size, buffer) || position > (uint64_t)INT64_MAX) {
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    uint32_t done = 0;
    if (!Transfer(s->fd, write, buffer, size, (int64_t)position, &done))
        return 0;
    if (done != size) {
        SetLastErrorCode(write ? kErrorDiskFull : kErrorHandleEof);
        return 0;
    }
    return 1;
}

int C_File::ReadAt(uint64_t position, uint32_t size, void* buffer)
{
    QM_HOOK(kHookRead, this, nullptr, buffer, size, nullptr, position, 1);
    return PositionedTransfer(m_hFile, 0, position, size, buffer);
}

int C_File::WriteAt(uint64_t position, uint32_t size, const void* buffer)
{
    QM_HOOK(kHookWrite, this, nullptr, (void*)buffer, size, nullptr, position, 1);
    return PositionedTransfer(m_hFile, 1, position, size, (void*)buffer);
}

int C_File::Seek(int method, int64_t offset)
{
    if (!m_hFile) {
        SetLastErrorCode(kErrorInvalidHandle);
        return 0;
    }
    QM_HOOK(kHookSeek, this, nullptr, nullptr, (uint32_t)method, nullptr, (uint64_t)offset, 0);
    static const int whence[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (method < 0 || method > 2) {
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    if (lseek(State(m_hFile)->fd, offset, whence[method]) < 0)
        return FailWithErrno();
    return 1;
}

int C_File::SetEnd()
{
    QM_HOOK(kHookSetEnd, this, nullptr, nullptr, 0, nullptr, 0, 0);
    const int fd = Descriptor(m_hFile);
    if (fd < 0)
        return 0;
    const off_t position = lseek(fd, 0, SEEK_CUR);
    struct stat st;
    if (position < 0 || fstat(fd, &st) != 0)
        return FailWithErrno();
    // A grown file gets its blocks now, as Windows gives a file its clusters when it sets the
    // end: a full disk shows here, and later writes into the new part only overwrite. Without
    // it, each first write into a hole would also pay for the file system's block allocation,
    // and a random-write figure would measure the allocator rather than the device.
    if (position > st.st_size) {
        if (fallocate(fd, 0, st.st_size, position - st.st_size) == 0)
            return 1;
        const int error = errno;
        if (error != EOPNOTSUPP && error != ENOSYS) {
            // Blocks taken before the refusal go again; the length stays what it was.
            const int restored = ftruncate(fd, st.st_size);
            (void)restored; // the refusal is what the caller hears of
            errno = error;
            return FailWithErrno();
        }
        // File systems without allocation ahead of time get a sparse length.
    }
    if (ftruncate(fd, position) != 0)
        return FailWithErrno();
    return 1;
}

int C_File::Flush()
{
    QM_HOOK(kHookFlush, this, nullptr, nullptr, 0, nullptr, 0, 0);
    const int fd = Descriptor(m_hFile);
    if (fd < 0)
        return 0;
    return fdatasync(fd) == 0 ? 1 : FailWithErrno();
}

int C_File::GetSize(uint64_t* size)
{
    struct stat st;
    const int fd = Descriptor(m_hFile);
    if (fd < 0)
        return 0;
    if (fstat(fd, &st) != 0)
        return FailWithErrno();
    *size = (uint64_t)st.st_size;
    return 1;
}

int C_File::Close()
{
    int closed = 0;
    if (m_pView) {
        munmap(m_pView, State(m_hFile)->viewSize);
        m_pView = nullptr;
        closed = 1;
    }
    m_hMapping = nullptr;
    if (m_hFile) {
        C_FileState* s = State(m_hFile);
        ::close(s->fd);
        delete s;
        m_hFile = nullptr;
        closed = 1;
    }
    return closed;
}

int C_File::DeviceControl(uint32_t, void*, uint32_t, void*, uint32_t, uint32_t* returned, void*)
{
    // Device control codes are Windows'; POSIX devices answer other requests.
    if (returned)
        *returned = 0;
    SetLastErrorCode(m_hFile ? kErrorNotSupported : kErrorInvalidHandle);
    return 0;
}

void* C_File::Map(uint64_t offset, uint64_t size, const char* mappingName, uint32_t access)
{
    if (!m_hFile) {
        SetLastErrorCode(kErrorInvalidHandle);
        return nullptr;
    }
    if (mappingName) {
        // Named mappings are a Windows object; a POSIX file maps only itself.
        Close();
        SetLastErrorCode(kErrorNotSupported);
        return nullptr;
    }
    C_FileState* s = State(m_hFile);
    if (m_pView) {
        munmap(m_pView, s->viewSize);
        m_pView = nullptr;
    }
    const size_t length = (size_t)(uint32_t)size;
    const int protection = (access == kMapRead || m_nMode == kOpenRead) ? PROT_READ : PROT_READ | PROT_WRITE;
    void* view = length ? mmap(nullptr, length, protection, MAP_SHARED, s->fd, (off_t)offset) : MAP_FAILED;
    if (view == MAP_FAILED) {
        const uint32_t error = length ? ErrorFromErrno(errno) : kErrorInvalidParameter;
        Close();
        SetLastErrorCode(error);
        return nullptr;
    }
    s->viewSize = length;
    m_hMapping = s;
    m_pView = view;
    return view;
}
