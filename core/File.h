// C_File and the free file helpers of the class library.
// Handles are kept as void* so that engines including this header never see <windows.h>.
#pragma once
#include <cstdint>
#include <string>
#include "core/CacheNote.h"
#include "core/ErrorCodes.h"
#include "core/LineReader.h"

// Open modes: access and creation disposition.
enum OpenMode {
    kOpenRead = 0,            // GENERIC_READ,  OPEN_EXISTING
    kOpenWriteCreate = 1,     // GENERIC_WRITE, CREATE_ALWAYS
    kOpenWriteExisting = 2,   // GENERIC_WRITE, OPEN_EXISTING
    kOpenWriteAlways = 3,     // GENERIC_WRITE, OPEN_ALWAYS
    kOpenReadWriteAlways = 4, // GENERIC_READ|GENERIC_WRITE, OPEN_ALWAYS
    kOpenReadWriteExisting = 5,
    kOpenWriteNew = 6 // GENERIC_WRITE, CREATE_NEW: fails when the file is there
};

// Values of the Win32 flags the engines pass through, so that engine code needs no Win32 header.
enum : uint32_t {
    kOpenNoBuffering = 0x20000000u,
    kOpenWriteThrough = 0x80000000u,
    kOpenSequentialScan = 0x08000000u,
    kOpenRandomAccess = 0x10000000u,
    kShareReadWrite = 3u,
    kSeekBegin = 0,
    kSeekCurrent = 1,
    kSeekEnd = 2,
    kMapRead = 4u,           // FILE_MAP_READ
    kMapAllAccess = 0xF001Fu // FILE_MAP_ALL_ACCESS
};

class C_File {
public:
    C_File();
    ~C_File();
    C_File(const C_File&) = delete;
    C_File& operator=(const C_File&) = delete;

    int Open(const char* path, int mode, uint32_t flagsAndAttributes, uint32_t shareMode);
    int Read(uint32_t size, void* buffer);
    int ReadSome(uint32_t size, void* buffer, uint32_t* done);
    int Write(uint32_t size, const void* buffer);
    // Positioned transfers: one request carrying its own offset, so several threads
    // may share a synchronous handle without a seek race.
    int ReadAt(uint64_t position, uint32_t size, void* buffer);
    int WriteAt(uint64_t position, uint32_t size, const void* buffer);
    int Seek(int method, int64_t offset);
    int SetEnd();
    int Flush();
    int GetSize(uint64_t* size);
    int Close();
    int DeviceControl(uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                      uint32_t* returned, void* overlapped);
    void* Map(uint64_t offset, uint64_t size, const char* mappingName, uint32_t access);
    // Reads one line (see LineReader). Wide: 16-bit units, stored little-endian in text.
    int ReadLine(std::string& text, int wide, int quote);

    void* GetHandle() const { return m_hFile; }
    int IsOpen() const { return m_hFile != nullptr; }
    int GetMode() const { return m_nMode; }
    // Device glue attaches handles it opened itself; the object then owns it.
    void Attach(void* handle, int mode);

private:
    int TransferPieces(int write, uint32_t size, void* buffer);
    int RawTransfer(int write, uint32_t size, void* buffer, uint32_t* done);

    void* m_hFile;
    void* m_hMapping;
    void* m_pView;
    int m_nMode;
    C_LineReader m_lineReader;
};

int FileExists(const char* path);
int IsDirectory(const char* path);
int GetFileSizeByName(const char* path, uint32_t* low, uint32_t* high);
// Bytes this process may still write on the volume that holds folder.
int GetFreeBytes(const char* folder, uint64_t* freeBytes);
// The file system, device and USB speed of the volume that holds folder, as far as the system
// tells them cheaply (core/VolumeFacts.h); 0 with the error set when the folder is not there.
struct C_VolumeFacts;
int GetVolumeFacts(const char* folder, C_VolumeFacts* facts);
// Shell folder numbers (CSIDL) or the pseudo numbers below; path holds 260 characters.
enum : uint32_t {
    kFolderProfiles = 0x10000,
    kFolderUserProfile = 0x10001,
    kFolderDefaultUserProfile = 0x10002,
    kFolderMachineTemp = 0x10003,
    kFolderWindows = 0x10004,
    kFolderTemp = 0x10005,
    kFolderSystem = 0x10006,
    kFolderCurrent = 0x10007
};
int GetSpecialFolder(uint32_t folder, char* path);
// Ends a folder path with the system's separator ("\\" on Windows, "/" on POSIX).
void AppendBackslash(char* path); // path holds at least strlen + 2 bytes
void AppendBackslash(std::string& path);
int CreateDirectoryTree(const char* path, int lastIsFile);
int DeleteFileForce(const char* path);
int RemoveFolder(const char* path);

// The system's path separator: "\" on Windows, "/" on POSIX.
char PathSeparator();
// Where the console makes its test folder when it is given none ("C:\" on Windows, the current
// folder on POSIX).
const char* DefaultTestFolder();
// What the cache bypass (kOpenNoBuffering) does for a file at path (a CacheBypass value). The
// folder must exist; a file made for the probe is removed again.
int ProbeCacheBypass(const char* path);
