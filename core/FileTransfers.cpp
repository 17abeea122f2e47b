// The parts of the file library that are the same on every system: whole transfers with the
// piecewise retry, line reading, the test seam, and paths ending in the system's separator.
// Each system supplies RawTransfer, ReadSome and PathSeparator.
#include "core/File.h"
#include "core/FileHookCall.h"
#include <cstring>

#ifdef QM_TEST_HOOKS
static C_FileHook g_pfnHook = nullptr;
static void* g_pHookContext = nullptr;

void SetFileHook(C_FileHook hook, void* context)
{
    g_pHookContext = context;
    g_pfnHook = hook;
}

int CallFileHook(C_FileHookCall& call) { return g_pfnHook ? g_pfnHook(call, g_pHookContext) : -1; }
#endif

static const uint32_t kPieceSize = 0x100000;

// Repeats a refused large transfer in pieces of at most 1 MiB.
int C_File::TransferPieces(int write, uint32_t size, void* buffer)
{
    uint8_t* p = (uint8_t*)buffer;
    while (size) {
        uint32_t piece = size < kPieceSize ? size : kPieceSize;
        uint32_t done = 0;
        if (!RawTransfer(write, piece, p, &done))
            return 0;
        if (done != piece) {
            SetLastErrorCode(write ? kErrorDiskFull : kErrorHandleEof);
            return 0;
        }
        p += piece;
        size -= piece;
    }
    return 1;
}

static int WholeTransfer(C_File& file, int write, uint32_t size, void* buffer,
                         int (C_File::*raw)(int, uint32_t, void*, uint32_t*),
                         int (C_File::*pieces)(int, uint32_t, void*))
{
    if (!file.IsOpen()) {
        SetLastErrorCode(kErrorInvalidHandle);
        return 0;
    }
    uint32_t done = 0;
    if (!(file.*raw)(write, size, buffer, &done)) {
        if (GetLastErrorCode() == kErrorNoSystemResources)
            return (file.*pieces)(write, size, buffer);
        return 0;
    }
    if (done != size) {
        // A short write without an error means the medium is full.
        SetLastErrorCode(write ? kErrorDiskFull : kErrorHandleEof);
        return 0;
    }
    return 1;
}

int C_File::Read(uint32_t size, void* buffer)
{
    return WholeTransfer(*this, 0, size, buffer, &C_File::RawTransfer, &C_File::TransferPieces);
}

int C_File::Write(uint32_t size, const void* buffer)
{
    return WholeTransfer(*this, 1, size, (void*)buffer, &C_File::RawTransfer, &C_File::TransferPieces);
}

static int FileLineSource(void* context, uint8_t* buffer, uint32_t size, uint32_t* got)
{
    return ((C_File*)context)->ReadSome(size, buffer, got);
}

int C_File::ReadLine(std::string& text, int wide, int quote)
{
    if (!IsOpen()) {
        text.clear();
        SetLastErrorCode(kErrorInvalidHandle);
        return 0;
    }
    return m_lineReader.ReadLine(text, wide, quote, FileLineSource, this);
}

void AppendBackslash(char* path)
{
    const size_t n = strlen(path);
    if (n == 0 || path[n - 1] != PathSeparator()) {
        path[n] = PathSeparator();
        path[n + 1] = 0;
    }
}

void AppendBackslash(std::string& path)
{
    if (path.empty() || path.back() != PathSeparator())
        path += PathSeparator();
}
