#include "app/pages/block/run/BlockRun.h"
#include <cstring>
#include <ctime>
#include "app/pages/block/model/UdmaCrc.h"
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/System.h"
#include "core/Text.h"
#include "core/Timer.h"
#include "core/ErrorCodes.h"

int ReadBlocksRetryingCrc(C_Device& device, uint64_t position, uint32_t blocks, uint8_t* buffer)
{
    if (device.ReadBlocks(position, blocks, buffer))
        return 1;
    if (GetLastErrorCode() != kErrorCrc)
        return 0;
    for (uint32_t i = 0; i < blocks; ++i) {
        uint8_t* at = buffer + uint64_t(i) * device.dwBlockSize;
        if (device.ReadBlocks(position + i, 1, at))
            continue;
        const uint32_t error = GetLastErrorCode();
        if (error != kErrorCrc && error != kErrorIoDevice)
            return 0;
        memset(at, 0, device.dwBlockSize);
    }
    return 1;
}

namespace {
// Owns the record's open for the length of the run.
class C_DeviceOpen {
public:
    explicit C_DeviceOpen(C_Device& d) : m_device(d), m_open(d.Open()) {}
    ~C_DeviceOpen()
    {
        if (m_open)
            m_device.Close();
    }

private:
    C_Device& m_device;
    int m_open;
};

// Holds the device's volumes for the run's writes until the run ends, on every path.
class C_WriteHold {
public:
    explicit C_WriteHold(C_Device& d) : m_device(d) {}
    ~C_WriteHold()
    {
        if (m_held)
            m_device.EndWrites();
    }
    int Take(std::string* busy) { return m_held = m_device.BeginWrites(busy); }

private:
    C_Device& m_device;
    int m_held = 0;
};
} // namespace

C_BlockRunResult C_BlockRun::Run(const C_BlockRunSetup& setup, C_BlockChannel& channel)
{
    C_BlockRunResult result;
    Rand15Seed(C_Timer::Now());
    count = 0;
    loopMax = 0;
    C_Device& device = *setup.device;
    const C_BlockValues& v = setup.values;
    const bool linear = setup.pattern == kPatternLinear;
    const uint64_t loops = BlockLoopCount(setup.pattern, v);

    // Refused before anything moves: a buffer of 4 GiB or more would wrap its 32-bit size.
    const uint32_t bytes = BufferBytes(v.blocks, device.dwBlockSize);
    if (bytes == 0) {
        channel.Report(BufferTooBigText(v.blocks, device.dwBlockSize));
        result.failed = 1;
        return result;
    }
    if (!RangeAddressable(v, device.dwBlockSize)) {
        channel.Report(UnaddressableRangeText(v.end, device.dwBlockSize));
        result.failed = 1;
        return result;
    }
    // The list may be older than what is plugged in now: a write goes only to the very
    // device the user chose, so it is asked again before anything is written.
    if (setup.write) {
        C_DeviceAnswers now;
        if (!device.AskAgain(&now) || !SameDeviceAnswers(device, now)) {
            channel.Report(DeviceChangedText(device.strName));
            result.failed = 1;
            return result;
        }
    }
    const uint64_t scale = GraphScale(loops);
    const bool graph = linear && setup.graph;
    if (graph)
        channel.GraphSetup(int(loops / scale));
    C_AlignedBuffer memory;
    if (!memory.Allocate(bytes)) {
        channel.Report(BufferAllocationText(bytes));
        result.failed = 1;
        return result;
    }
    uint8_t* buffer = static_cast<uint8_t*>(memory.Get());
    // A write without a data file writes this buffer: zeros, never leftovers of the process.
    memset(buffer, 0, bytes);

    C_File data;
    const bool saving = linear && setup.saveData && !setup.write;
    if (linear && setup.saveData) {
        const char* name = setup.dataFile.c_str();
        if (!setup.write) {
            if (!data.Open(name, kOpenWriteCreate, kOpenSequentialScan, 0)) {
                channel.Report(OpenDataFileText(setup.dataFile, 1));
                result.failed = 1;
                return result;
            }
        } else {
            if (!data.Open(name, kOpenRead, kOpenSequentialScan, kShareReadWrite)) {
                channel.Report(OpenDataFileText(setup.dataFile, 0));
                result.failed = 1;
                return result;
            }
            if (!data.Read(bytes, buffer)) {
                channel.Report(ReadDataFileText(setup.dataFile));
                result.failed = 1;
                return result;
            }
            data.Close();
        }
    }

    C_DeviceOpen open(device);
    // Taken once, outside the timed accesses, on handles the run holds to its end.
    C_WriteHold hold(device);
    std::string busy;
    if (setup.write && !hold.Take(&busy)) {
        channel.Report(VolumeInUseText(busy, device.strName));
        result.failed = 1;
        return result;
    }
    loopMax = loops;
    if (graph && v.calcEvery != 1)
        channel.GraphPoint(0, 0);
    C_Timer timer;
    uint64_t position = v.start;
    uint32_t group = 1;
    while (count.load() < loops && !channel.IsStopRequested()) {
        if (group == 1)
            timer.Start();
        const int ok = setup.write ? device.WriteBlocks(position, uint32_t(v.blocks), buffer)
                                   : ReadBlocksRetryingCrc(device, position, uint32_t(v.blocks), buffer);
        if (!ok) {
            const uint32_t error = GetLastErrorCode();
            channel.Report(AccessFailedText(v.blocks, position, error, ErrorText(error)));
            result.lastFailed = result.failed = 1;
            break;
        }
        ++result.accesses;
        if (group == v.calcEvery) {
            timer.Stop();
            const C_GroupRate rate = GroupRate(bytes, v.calcEvery, timer.GetMicroseconds());
            channel.ShowSpeed(rate.text);
            if (graph)
                channel.GraphPoint(int(count.load() / scale), int(rate.megaBytesPerSecond));
            group = 1;
        } else {
            ++group;
        }
        if (saving && !data.Write(bytes, buffer)) {
            channel.Report(WriteDataFileText(setup.dataFile));
            result.failed = 1;
            break;
        }
        if (linear && setup.udmaCrc) {
            channel.ShowCrc("");
            channel.ShowCrc(StringPrintf("0x%04X", UdmaCrc(buffer, bytes)));
        }
        position = NextBlockPosition(setup.pattern, v, position, Rand15());
        ++count;
    }
    return result;
}
