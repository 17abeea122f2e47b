// Decisions of the FileAccess test that need no window and no file: test paths, block
// sizes, the medium of a drive, the result text, progress and the messages the worker shows.
#pragma once
#include <cstdint>
#include <string>

// The longest test file path the page keeps (260 bytes with the terminator).
const size_t kMaxTestPath = 259;

// PASS_SPIN_UP is the pre-read: an untimed read of the file's start that brings an optical
// drive up to speed before the timed read.
enum FilePass { PASS_READ = 0, PASS_SPIN_UP = 1, PASS_WRITE = 2 };

// What decides the speed suffix of a result.
enum MediumClass { kMediumNone = 0, kMediumCd = 1, kMediumDvd = 2 };

// Optical media of 760 MiB total and more count as DVD, smaller ones as CD; other drives
// get no class.
MediumClass MediumFromTotalBytes(uint64_t totalBytes, bool isCdrom);

// "X:\" when the second character is a colon, else the path itself.
std::string VolumeRootOf(const std::string& path);
// The last component: the text after the last backslash, the whole path without one.
std::string LastComponent(const std::string& path);

// Where a write pass writes, only names that begin with an underscore being allowed.
struct C_WriteTarget {
    std::string path;    // the path to write (after the answer, when one is asked)
    bool ask = false;    // the user must agree to renaming the file to path
    std::string oldName; // the name asked about
};
// A folder (or a path ending in a backslash) gets "_TestFile" inside it; a name without the
// leading underscore is proposed as "_" + name in the same folder.
C_WriteTarget WriteTargetFor(const std::string& path, bool isFolder);

// The next multiple of the sector size above a block size that is not one; the block size
// itself when it already is (or the sector size is 0).
uint32_t ProposeBlockSize(uint32_t blockSize, uint32_t sectorSize);

// The transfer loop's end test: after position bytes, is there no further whole block?
inline bool PassComplete(uint64_t position, uint32_t blockSize, uint64_t size)
{
    return position + blockSize > size;
}
// Requests a pass makes on a file of size bytes: at least one, never a partial block.
uint64_t RequestCount(uint64_t size, uint32_t blockSize);

// Result of a complete pass from the bytes actually moved: "12.3 MByte/sec", with
// " - 8.1x dvd" or " - 3.0x cd-rom" for optical media; "[too fast]" within 10 microseconds.
std::string FormatFileResult(uint64_t bytesMoved, uint64_t elapsedMicroseconds, MediumClass medium);

// Decimal field texts: leading blanks, then digits; false when there are none. Values that
// do not fit saturate (a 64-bit field times 1048576 as well).
bool ParseDecimal(const std::string& text, uint64_t* value);
// MiB of a field as bytes; 0 when it is not a number.
uint64_t MiBFieldBytes(const std::string& text);

// The list entry a written file shows as: the name without a final extension of up to
// three characters ("_test.bin" -> "_test").
std::string ListTextOfFile(const std::string& name);

// Worker messages, exact texts of the page's message boxes.
std::string MsgRenameForWrite(const std::string& name);
std::string MsgEnterSize();
std::string MsgFreeSpaceTooSmall(uint64_t freeBytes, uint64_t testSize);
std::string MsgNoFreeSpace();
std::string MsgBlockNotSectorMultiple(uint32_t blockSize, uint32_t sectorSize, uint32_t proposal);
std::string MsgSmallFile(uint64_t size);
std::string MsgFileTooSmall();
std::string MsgCannotOpenSave(const std::string& path, uint32_t error, const char* errorText);
std::string MsgMissingFileTitle(const std::string& path);
std::string MsgPathTooLong(const std::string& path);
