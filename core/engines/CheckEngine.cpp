#include "core/engines/CheckEngine.h"
#include <cstring>
#include <string>
#include "core/AlignedBuffer.h"
#include "core/ErrorCodes.h"
#include "core/File.h"
#include "core/PathRules.h"
#include "core/Random.h"
#include "core/Timer.h"

namespace {
constexpr uint32_t kDefaultBlockBytes = 1u << 20;
// Data is stamped before and checked after this much is moved, outside the timed transfers; a
// chunk up to this size is timed in one span.
constexpr uint64_t kBatchBytes = 16u << 20;

uint64_t Min(uint64_t a, uint64_t b) { return a < b ? a : b; }

bool IsDiskFull(uint32_t error) { return error == kErrorDiskFull || error == kErrorHandleDiskFull; }

// The test files the run made, removed with their folder on every way out unless kept. Files
// that were there before are never opened for writing, so never removed either.
class C_CheckFiles {
public:
    C_CheckFiles(const std::string& folder, int keep) : m_folder(folder), m_keep(keep) {}
    ~C_CheckFiles()
    {
        if (m_keep)
            return;
        const uint32_t error = GetLastErrorCode(); // the failure being reported stays
        for (const std::string& path : m_made)
            DeleteFileForce(path.c_str());
        if (m_folderMade)
            RemoveFolder(FolderOfPath(Path(0), PathSeparator()).c_str()); // stays when not empty
        SetLastErrorCode(error);
    }
    C_CheckFiles(const C_CheckFiles&) = delete;
    C_CheckFiles& operator=(const C_CheckFiles&) = delete;

    std::string Path(uint32_t index) const
    {
        return CheckFilePathIn(m_folder.c_str(), index, PathSeparator());
    }
    int MakeFolder() { return m_folderMade = CreateDirectoryTree(Path(0).c_str(), 1); }
    void Made(const std::string& path) { m_made.push_back(path); }

private:
    std::string m_folder;
    int m_keep;
    int m_folderMade = 0;
    std::vector<std::string> m_made;
};

class C_CheckRun {
public:
    C_CheckRun(const C_EngineJob& job, I_EngineEvents& events, C_CheckOutcome& out)
        : m_job(job), m_events(events), m_out(out), m_files(job.path, job.keepFiles),
          m_block(job.blockSize ? job.blockSize : kDefaultBlockBytes)
    {
    }
    C_EngineResult Run();

private:
    C_EngineResult& Fail(EngineOp op, uint64_t position, uint32_t error, const std::string& detail = "")
    {
        return EndRunWithFailure(m_result, m_events, op, position, error, detail);
    }
    bool Ended() const { return m_result.failure.op != kOpNone || m_result.stopped; }
    int WriteFile(uint32_t index);
    int ReadFile(uint32_t index);
    void AddChunk(std::vector<C_ChunkTime>& chunks, const C_ChunkTime& time, uint64_t passDone);

    const C_EngineJob& m_job;
    I_EngineEvents& m_events;
    C_CheckOutcome& m_out;
    C_CheckFiles m_files;
    C_EngineResult m_result;
    const uint32_t m_block;
    uint64_t m_batchBytes = 0;
    uint8_t* m_buffer = nullptr;
    std::vector<uint64_t> m_fileWritten; // bytes each file holds for the read pass
    uint64_t m_passDone = 0;
    C_StampCounts m_counts;
};

void C_CheckRun::AddChunk(std::vector<C_ChunkTime>& chunks, const C_ChunkTime& time, uint64_t passDone)
{
    chunks.push_back(time);
    m_result.bytes += time.bytes;
    m_result.microseconds += time.microseconds;
    m_events.RatePoint(passDone, time.bytes, time.microseconds);
}

// Writes file index of the plan; 0 when the write pass ends with it (failure, stop, full disk).
int C_CheckRun::WriteFile(uint32_t index)
{
    const C_FillPlan& plan = m_out.plan;
    const uint64_t fillStart = uint64_t(index) * plan.fileBytes;
    const uint64_t fileBytes = FillFileBytes(plan, index);
    const std::string path = m_files.Path(index);
    C_File file;
    if (!file.Open(path.c_str(), kOpenWriteNew, kOpenNoBuffering, 0)) {
        const uint32_t error = GetLastErrorCode();
        if (IsDiskFull(error))
            return m_out.diskFull = 1, 0;
        Fail(kOpOpen, fillStart, error, path);
        return 0;
    }
    m_files.Made(path);
    m_fileWritten.push_back(0);
    uint64_t& written = m_fileWritten.back();
    while (written < fileBytes) {
        const uint64_t chunkBytes = Min(plan.chunkBytes, fileBytes - written);
        C_ChunkTime time;
        while (time.bytes < chunkBytes && !Ended() && !m_out.diskFull) {
            const uint64_t batch = Min(m_batchBytes, chunkBytes - time.bytes);
            const uint64_t at = fillStart + written;
            FillStamped(m_buffer, size_t(batch / kStampSectorBytes), at / kStampSectorBytes, m_out.runId);
            // A batch of a fast drive lasts a few milliseconds: the millisecond clock would put
            // a whole step of error into every one of them, and a chunk's rate with them.
            const uint64_t started = FineClockNanoseconds();
            uint64_t moved = 0;
            while (moved < batch) {
                if (m_events.IsStopRequested()) {
                    m_result.stopped = 1;
                    break;
                }
                if (!file.Write(m_block, m_buffer + moved)) {
                    const uint32_t error = GetLastErrorCode();
                    if (IsDiskFull(error))
                        m_out.diskFull = 1;
                    else
                        Fail(kOpWrite, at + moved, error, path);
                    break;
                }
                moved += m_block;
                m_events.Progress(m_passDone + moved);
            }
            const bool fileEnds = written + moved == fileBytes || m_out.diskFull;
            // The file's flush belongs to its last chunk: the data is on the medium only then.
            if (fileEnds && m_result.failure.op == kOpNone && !file.Flush() && !m_out.diskFull) {
                const uint32_t error = GetLastErrorCode();
                if (IsDiskFull(error))
                    m_out.diskFull = 1;
                else
                    Fail(kOpFlush, at + moved, error, path);
            }
            time.bytes += moved;
            time.microseconds += (FineClockNanoseconds() - started) / 1000;
            written += moved;
            m_passDone += moved;
            m_out.writtenBytes += moved;
        }
        if (m_result.failure.op != kOpNone || m_result.stopped)
            return 0;
        if (time.bytes)
            AddChunk(m_out.writeChunks, time, m_passDone);
        if (m_out.diskFull)
            return 0;
    }
    return 1;
}

// Reads back what file index holds and sorts its sectors; 0 when the run ends with it.
int C_CheckRun::ReadFile(uint32_t index)
{
    const C_FillPlan& plan = m_out.plan;
    const uint64_t fillStart = uint64_t(index) * plan.fileBytes;
    const uint64_t fileBytes = m_fileWritten[index];
    const std::string path = m_files.Path(index);
    C_File file;
    if (!file.Open(path.c_str(), kOpenRead, kOpenNoBuffering, kShareReadWrite)) {
        Fail(kOpOpen, fillStart, GetLastErrorCode(), path);
        return 0;
    }
    uint64_t read = 0;
    while (read < fileBytes) {
        const uint64_t chunkBytes = Min(plan.chunkBytes, fileBytes - read);
        C_ChunkTime time;
        while (time.bytes < chunkBytes) {
            const uint64_t batch = Min(m_batchBytes, chunkBytes - time.bytes);
            const uint64_t at = fillStart + read;
            const uint64_t started = FineClockNanoseconds();
            uint64_t moved = 0;
            while (moved < batch) {
                if (m_events.IsStopRequested()) {
                    m_result.stopped = 1;
                    return 0;
                }
                uint32_t got = 0;
                if (!file.ReadSome(m_block, m_buffer + moved, &got)) {
                    Fail(kOpRead, at + moved, GetLastErrorCode(), path);
                    return 0;
                }
                // A file that came back shorter than written lost its end: it reads as zeros.
                if (got < m_block)
                    memset(m_buffer + moved + got, 0, m_block - got);
                moved += m_block;
                m_events.Progress(m_passDone + moved);
            }
            const uint64_t elapsedNs = FineClockNanoseconds() - started;
            CheckStamped(m_buffer, size_t(batch / kStampSectorBytes), at / kStampSectorBytes, m_out.runId,
                         &m_counts);
            m_out.tally = TallyFromCounts(m_counts);
            time.bytes += moved;
            time.microseconds += elapsedNs / 1000;
            read += moved;
            m_passDone += moved;
        }
        AddChunk(m_out.readChunks, time, m_passDone);
    }
    return 1;
}

C_EngineResult C_CheckRun::Run()
{
    m_out = C_CheckOutcome();
    m_out.runId = m_job.runId;
    while (!m_out.runId)
        if (!FillRandom(&m_out.runId, sizeof m_out.runId, 0))
            m_out.runId = (uint64_t(C_Timer::Now()) << 32) | 0x9E3779B9u;

    uint64_t freeBytes = 0;
    if (!GetFreeBytes(m_job.path.c_str(), &freeBytes))
        return Fail(kOpFreeSpace, 0, GetLastErrorCode(), m_job.path);
    m_out.plan = PlanFill(freeBytes, m_job.size, m_block);
    if (m_out.plan.totalBytes == 0)
        return Fail(kOpFreeSpace, 0, kErrorDiskFull, m_job.path);
    const uint64_t unit = FillUnit(m_block);
    m_batchBytes = kBatchBytes > unit ? kBatchBytes / unit * unit : unit;
    C_AlignedBuffer memory;
    if (m_batchBytes >= (1ull << 32) || !memory.Allocate(uint32_t(m_batchBytes)))
        return Fail(kOpAllocate, 0, kErrorNotEnoughMemory);
    m_buffer = static_cast<uint8_t*>(memory.Get());
    if (!m_files.MakeFolder())
        return Fail(kOpOpen, 0, GetLastErrorCode(), FolderOfPath(m_files.Path(0), PathSeparator()));

    m_events.Begin(m_out.plan.totalBytes);
    for (uint32_t index = 0; index < m_out.plan.files; ++index)
        if (!WriteFile(index))
            break;
    if (Ended())
        return m_result;
    // A volume that takes nothing at all has nothing to verify: that is no passed check.
    if (m_out.writtenBytes == 0)
        return Fail(kOpFreeSpace, 0, kErrorDiskFull, m_job.path);

    m_out.reading = 1;
    m_passDone = 0;
    m_events.Begin(m_out.writtenBytes);
    for (uint32_t index = 0; index < m_fileWritten.size(); ++index)
        if (!ReadFile(index))
            return m_result;
    m_result.complete = 1;
    return m_result;
}
} // namespace

C_EngineResult RunCheckEngine(const C_EngineJob& job, I_EngineEvents& events)
{
    C_CheckOutcome own;
    C_CheckRun run(job, events, job.check ? *job.check : own);
    C_EngineResult result = run.Run();
    result.accesses = result.bytes / (job.blockSize ? job.blockSize : kDefaultBlockBytes);
    FinishRates(result);
    return result;
}
