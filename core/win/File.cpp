// C_File on Win32: a thin owner of one file handle, its mapping and view.
#include <windows.h>
#include "core/File.h"
#include "core/FileHookCall.h"

C_File::C_File() : m_hFile(nullptr), m_hMapping(nullptr), m_pView(nullptr), m_nMode(0) {}

C_File::~C_File() { Close(); }

void C_File::Attach(void* handle, int mode)
{
    Close();
    m_hFile = (handle == INVALID_HANDLE_VALUE) ? nullptr : handle;
    m_nMode = mode;
}

int C_File::Open(const char* path, int mode, uint32_t flagsAndAttributes, uint32_t shareMode)
{
    static const DWORD access[7] = {GENERIC_READ,
                                    GENERIC_WRITE,
                                    GENERIC_WRITE,
                                    GENERIC_WRITE,
                                    GENERIC_READ | GENERIC_WRITE,
                                    GENERIC_READ | GENERIC_WRITE,
                                    GENERIC_WRITE};
    static const DWORD disposition[7] = {OPEN_EXISTING, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS,
                                         OPEN_ALWAYS,   OPEN_EXISTING, CREATE_NEW};
    Close();
    if (mode < 0 || mode > kOpenWriteNew) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    m_lineReader.Reset();
    QM_HOOK(kHookOpen, this, path, nullptr, 0, nullptr, 0, 0);
    HANDLE h =
        CreateFileA(path, access[mode], shareMode, nullptr, disposition[mode], flagsAndAttributes, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    m_hFile = h;
    m_nMode = mode;
    return 1;
}

// One ReadFile/WriteFile on the handle (the test seam sees each of them).
int C_File::RawTransfer(int write, uint32_t size, void* buffer, uint32_t* done)
{
    *done = 0;
    QM_HOOK(write ? kHookWrite : kHookRead, this, nullptr, buffer, size, done, 0, 0);
    DWORD n = 0;
    BOOL ok =
        write ? WriteFile(m_hFile, buffer, size, &n, nullptr) : ReadFile(m_hFile, buffer, size, &n, nullptr);
    *done = n;
    return ok ? 1 : 0;
}

int C_File::ReadSome(uint32_t size, void* buffer, uint32_t* done)
{
    DWORD got = 0;
    int r = ReadFile(m_hFile, buffer, size, &got, nullptr) ? 1 : 0;
    if (done)
        *done = got;
    return r;
}

int C_File::ReadAt(uint64_t position, uint32_t size, void* buffer)
{
    QM_HOOK(kHookRead, this, nullptr, buffer, size, nullptr, position, 1);
    OVERLAPPED ov = {};
    ov.Offset = (DWORD)position;
    ov.OffsetHigh = (DWORD)(position >> 32);
    DWORD done = 0;
    if (!ReadFile(m_hFile, buffer, size, &done, &ov))
        return 0;
    if (done != size) {
        SetLastError(ERROR_HANDLE_EOF);
        return 0;
    }
    return 1;
}

int C_File::WriteAt(uint64_t position, uint32_t size, const void* buffer)
{
    QM_HOOK(kHookWrite, this, nullptr, (void*)buffer, size, nullptr, position, 1);
    OVERLAPPED ov = {};
    ov.Offset = (DWORD)position;
    ov.OffsetHigh = (DWORD)(position >> 32);
    DWORD done = 0;
    if (!WriteFile(m_hFile, buffer, size, &done, &ov))
        return 0;
    if (done != size) {
        SetLastError(ERROR_DISK_FULL);
        return 0;
    }
    return 1;
}

int C_File::Seek(int method, int64_t offset)
{
    if (!m_hFile) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    QM_HOOK(kHookSeek, this, nullptr, nullptr, (uint32_t)method, nullptr, (uint64_t)offset, 0);
    LONG high = (LONG)(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(m_hFile, (LONG)(uint32_t)offset, &high, (DWORD)method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return 0;
    return 1;
}

int C_File::SetEnd()
{
    QM_HOOK(kHookSetEnd, this, nullptr, nullptr, 0, nullptr, 0, 0);
    return SetEndOfFile(m_hFile) ? 1 : 0;
}

int C_File::Flush()
{
    QM_HOOK(kHookFlush, this, nullptr, nullptr, 0, nullptr, 0, 0);
    return FlushFileBuffers(m_hFile) ? 1 : 0;
}

int C_File::GetSize(uint64_t* size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(m_hFile, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0;
    *size = ((uint64_t)high << 32) | low;
    return 1;
}

int C_File::Close()
{
    int closed = 0;
    if (m_pView) {
        UnmapViewOfFile(m_pView);
        m_pView = nullptr;
        closed = 1;
    }
    if (m_hMapping) {
        CloseHandle(m_hMapping);
        m_hMapping = nullptr;
        closed = 1;
    }
    if (m_hFile) {
        CloseHandle(m_hFile);
        m_hFile = nullptr;
        closed = 1;
    }
    return closed;
}

int C_File::DeviceControl(uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                          uint32_t* returned, void* overlapped)
{
    if (!m_hFile) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    DWORD local = 0;
    BOOL ok = DeviceIoControl(m_hFile, code, in, inSize, out, outSize, &local, (OVERLAPPED*)overlapped);
    if (returned)
        *returned = local;
    return ok ? 1 : 0;
}

void* C_File::Map(uint64_t offset, uint64_t size, const char* mappingName, uint32_t access)
{
    if (!m_hFile) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!m_hMapping) {
        if (mappingName)
            m_hMapping = OpenFileMappingA(access, FALSE, mappingName);
        else
            m_hMapping = CreateFileMappingA(m_hFile, nullptr,
                                            (m_nMode == 0 ? PAGE_READONLY : PAGE_READWRITE) | SEC_COMMIT, 0,
                                            0, nullptr);
        if (!m_hMapping) {
            DWORD e = GetLastError();
            Close();
            SetLastError(e);
            return nullptr;
        }
    }
    if (m_pView) {
        UnmapViewOfFile(m_pView);
        m_pView = nullptr;
    }
    m_pView = MapViewOfFile(m_hMapping, access, (DWORD)(offset >> 32), (DWORD)offset, (SIZE_T)(DWORD)size);
    if (!m_pView) {
        DWORD e = GetLastError();
        Close();
        SetLastError(e);
        return nullptr;
    }
    return m_pView;
}
