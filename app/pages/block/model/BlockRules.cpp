#include "app/pages/block/model/BlockRules.h"
#include <cinttypes>
#include "app/pages/block/model/UdmaCrc.h"
#include "app/settings/Flags.h"
#include "core/Text.h"

namespace {
// One row per block test kind, in the order the run bits are read.
const struct {
    uint32_t kind;
    uint32_t run;
    BlockPattern pattern;
} kKindRows[] = {{kFlagKindLinear, kFlagRunLinear, kPatternLinear},
                 {kFlagKindRandom, kFlagRunRandom, kPatternRandom},
                 {kFlagKindSeek, kFlagRunSeek, kPatternSeek}};
} // namespace

uint32_t RunFlagOfKind(uint32_t kind)
{
    for (const auto& row : kKindRows)
        if (row.kind == kind)
            return row.run;
    return kFlagRunSeek;
}

BlockPattern PatternOfRunFlags(uint32_t flags)
{
    for (const auto& row : kKindRows)
        if (flags & row.run)
            return row.pattern;
    return kPatternSeek;
}

const char* const kNoDeviceSelectedText = "select a testdrive dude...";

int ParseBlockNumber(const std::string& text, uint64_t* value)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return 0;
    uint64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const uint64_t digit = uint64_t(text[i] - '0');
        v = v > (UINT64_MAX - digit) / 10 ? UINT64_MAX : v * 10 + digit;
    }
    *value = v;
    return 1;
}

void CheckBlockValues(const C_BlockFields& f, uint64_t firstBlock, uint64_t blockCount, C_BlockValues* v,
                      C_BlockRewrites* rewrites)
{
    ParseBlockNumber(f.start, &v->start);
    ParseBlockNumber(f.end, &v->end);
    ParseBlockNumber(f.skip, &v->skip);
    ParseBlockNumber(f.repeats, &v->repeats);
    uint64_t calc = 0;
    if (ParseBlockNumber(f.calcEvery, &calc))
        v->calcEvery = calc > UINT32_MAX ? UINT32_MAX : uint32_t(calc);
    v->blocks = 0;
    ParseBlockNumber(f.blocks, &v->blocks);

    *rewrites = C_BlockRewrites();
    if (v->blocks == 0) {
        v->blocks = 1;
        rewrites->blocks = true;
    }
    if (v->calcEvery == 0) {
        v->calcEvery = 1;
        rewrites->calcEvery = true;
    }
    if (firstBlock > v->start)
        v->start = firstBlock;
    if (v->end <= v->start)
        v->end = v->start == UINT64_MAX ? UINT64_MAX : v->start + 1;
    if (blockCount < v->end)
        v->end = blockCount;
    if (v->end <= v->start)
        v->start = v->end;
}

std::string BufferSizeText(uint64_t bytes)
{
    const char* unit = "Byte";
    uint64_t shown = bytes;
    if (bytes > 10239) {
        shown = bytes / 1024;
        unit = "kByte";
        if (shown > 10239) {
            shown = bytes / 1048576;
            unit = "MByte";
        }
    }
    return StringPrintf("%" PRIu64 " %s%c", shown, unit, shown == 1 ? ' ' : 's');
}

std::string BufferTooBigText(uint64_t blocks, uint32_t blockSize)
{
    if (blockSize == 0)
        return "The device reports no block size, so no access can be made.";
    return StringPrintf("%" PRIu64 " blocks of %u bytes make a buffer of 4 GByte or more per access, "
                        "more than one transfer can move.\n\nPlease decrease the 'blocks per access' value.",
                        blocks, blockSize);
}

std::string BufferAllocationText(uint32_t bytes)
{
    return StringPrintf("Can't allocate the buffer of %u bytes (%s) for one access.\n\n"
                        "Try to decrease the 'blocks per access' value.",
                        bytes, FormatByteSize(bytes).c_str());
}

C_GroupRate GroupRate(uint32_t bufferBytes, uint32_t calcEvery, uint64_t microseconds)
{
    C_GroupRate rate;
    if (microseconds == 0) {
        rate.text = "[too fast]";
        return rate;
    }
    rate.kiloBytesPerSecond =
        float(bufferBytes) * float(calcEvery) / 1024.0f * 1000.0f * 1000.0f / float(microseconds);
    rate.megaBytesPerSecond = rate.kiloBytesPerSecond / 1024.0f;
    const uint64_t wholeKilo = uint64_t(rate.kiloBytesPerSecond);
    rate.text = StringPrintf("%s/sec - %" PRIu64 " msec", FormatByteSize(wholeKilo * 1024).c_str(),
                             microseconds / 1000);
    return rate;
}

std::string WriteConfirmationName(const std::string& vendor, const std::string& product,
                                  const std::string& revision, const std::string& serial,
                                  const std::string& name, const std::string& letters)
{
    return vendor + " " + product + " " + revision + " " + serial + " " + name + " " + letters;
}

std::string NoCapabilityText(const std::string& device, int write)
{
    return StringPrintf("The device \xBB%s\xAB doesn't support '%s'", device.c_str(),
                        write ? "write" : "read");
}

std::string WriteQuestionText(const std::string& device, const std::string& description)
{
    const std::string about = description.empty() ? std::string() : description + "\n\n";
    return StringPrintf("Are you sure that you wanna write to device \xBB%s\xAB?\n\n"
                        "%s"
                        "This will destroy the filesystem.\n\n"
                        "Please press 'NO', if your brain is not turned on...\n\n"
                        "If you are sure that you wanna write, press YES, you will never asked again on "
                        "this device.",
                        device.c_str(), about.c_str());
}

std::string DeviceChangedText(const std::string& device)
{
    return StringPrintf(
        "The device \xBB%s\xAB has changed since the list was made. Press F5 to refresh the list.",
        device.c_str());
}

std::string VolumeInUseText(const std::string& volume, const std::string& device)
{
    return StringPrintf("The volume \xBB%s\xAB on the device \xBB%s\xAB is in use and can't be locked, so "
                        "nothing was written.\n\nClose the programs and windows that use it and try again.",
                        volume.c_str(), device.c_str());
}

std::string SystemDeviceText(const std::string& device, char windowsLetter)
{
    return StringPrintf("The device \xBB%s\xAB holds Windows (drive %c:).\n\nIt is never written to.",
                        device.c_str(), windowsLetter);
}

std::string UnaddressableRangeText(uint64_t lastBlock, uint32_t blockSize)
{
    return StringPrintf("Can't access block 0x%" PRIX64 " of %u bytes: its byte offset lies beyond what 64 "
                        "bits can address.",
                        lastBlock, blockSize);
}

std::string AccessFailedText(uint64_t blocks, uint64_t position, uint32_t error, const std::string& errorText)
{
    return StringPrintf("Can't access %" PRIu64 " blocks starting at 0x%" PRIX64 ". Win32Error: %u - %s%s",
                        blocks, position, error, errorText.c_str(),
                        error == 87 ? "\nTry to decrease the 'blocks per access' value.\n" : "");
}

std::string OpenDataFileText(const std::string& file, int forWriting)
{
    return StringPrintf("Can't open file \xBB%s\xAB for %s.", file.c_str(),
                        forWriting ? "writing" : "reading");
}

std::string ReadDataFileText(const std::string& file)
{
    return StringPrintf("Can't read from file \xBB%s\xAB.", file.c_str());
}

std::string WriteDataFileText(const std::string& file)
{
    return StringPrintf("Can't write to file \xBB%s\xAB.", file.c_str());
}

std::string BlockFailureText(const C_EngineFailure& f, const std::string& device, uint64_t blocks,
                             uint32_t blockSize, const std::string& errorText)
{
    switch (f.op) {
    case kOpBufferSize:
        return BufferTooBigText(blocks, blockSize);
    case kOpRange:
        return UnaddressableRangeText(f.position, blockSize);
    case kOpChanged:
        return DeviceChangedText(device);
    case kOpAllocate:
        return BufferAllocationText(BufferBytes(blocks, blockSize));
    case kOpSinkOpen:
        return OpenDataFileText(f.detail, 1);
    case kOpSourceOpen:
        return OpenDataFileText(f.detail, 0);
    case kOpSourceRead:
        return ReadDataFileText(f.detail);
    case kOpSinkWrite:
        return WriteDataFileText(f.detail);
    case kOpVolumeInUse:
        return VolumeInUseText(f.detail, device);
    case kOpRead:
    case kOpWrite:
        return AccessFailedText(blocks, f.position, f.error, errorText);
    default:
        return std::string();
    }
}

C_BlockRatePoint BlockRatePoint(uint32_t bufferBytes, uint64_t graphScale, uint64_t accesses, uint64_t bytes,
                                uint64_t microseconds)
{
    // The group's size in buffers, so the rate is worked out as for the group itself.
    const uint32_t buffers = bufferBytes ? uint32_t(bytes / bufferBytes) : 0;
    const C_GroupRate rate = GroupRate(bufferBytes, buffers, microseconds);
    C_BlockRatePoint point;
    point.text = rate.text;
    point.x = int((accesses - 1) / graphScale);
    point.megaBytesPerSecond = int(rate.megaBytesPerSecond);
    return point;
}

std::string UdmaCrcText(const void* data, uint32_t bytes)
{
    return StringPrintf("0x%04X", UdmaCrc(data, bytes));
}
