#include "app/pages/file/FileWorker.h"
#include <cinttypes>
#include <cstring>
#include "app/pages/file/FastestFile.h"
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/SeqMessages.h"
#include "core/System.h"
#include "core/Text.h"
#include "core/engines/EngineTable.h"
#include "core/engines/SequentialText.h"
#include "app/settings/Flags.h"

namespace {
std::string Decimal(uint64_t value) { return StringPrintf("%" PRIu64, value); }

// Keeps a read's data in the file the user chose. A block that cannot be kept does not end
// the measurement: the save is a by-product of it.
class C_SaveSink : public I_DataSink {
public:
    explicit C_SaveSink(C_File& file) : m_file(file) {}
    int Take(const void* data, uint32_t bytes) override
    {
        m_file.Write(bytes, data);
        return 1;
    }

private:
    C_File& m_file;
};
} // namespace

// A pass's side of the page: the position the progress timer reads, Stop, and the failures
// in the page's message box.
class C_FileAccessWorker::C_PassEvents : public I_EngineEvents {
public:
    explicit C_PassEvents(C_FileAccessWorker& worker) : m_worker(worker) {}
    int IsStopRequested() override { return m_worker.IsStopRequested(); }
    void Progress(uint64_t done) override { m_worker.ullTestPosition = done; }
    void Failure(const C_EngineFailure& failure) override
    {
        m_worker.Tell(FormatSeqFailure(kStyleGui, failure, m_worker.strTestFile, m_worker.dwTestBlockSize,
                                       m_worker.ullTestSize));
    }

private:
    C_FileAccessWorker& m_worker;
};

bool C_FileAccessWorker::ShowTestFile(bool ownSize)
{
    SetField(kFieldPath, strTestFile);
    uint32_t low = 0, high = 0;
    if (!ownSize || !GetFileSizeByName(strTestFile.c_str(), &low, &high))
        return false;
    const uint64_t size = ((uint64_t)high << 32) | low;
    SetField(kFieldSize, Decimal(size / 1024 / 1024));
    ullTestSize = size;
    return true;
}

void C_FileAccessWorker::ShowTestSize()
{
    if (ullTestSize)
        SetField(kFieldSize, Decimal(ullTestSize / 1024 / 1024));
}

void C_FileAccessWorker::UpdateFileFields(int flag)
{
    uint32_t& flags = WorkerFlags();
    const bool devicePath = strTestFile.compare(0, 2, "\\") == 0;
    if (ShowTestFile(!(flags & kFlagSizeFromCommandLine) && !(flag == 1 && devicePath)))
        return;
    flags &= ~kFlagSizeFromCommandLine;
    ShowTestSize();
}

void C_FileAccessWorker::UpdateFieldsFromRun()
{
    // The size given on the command line was shown when the page opened; the page ignores
    // its fields' changes while a run goes on, so nothing here needs the flag word.
    if (!ShowTestFile(true))
        ShowTestSize();
}

bool C_FileAccessWorker::TakeTestPath(const std::string& path)
{
    if (path.size() > kMaxTestPath) {
        Tell(MsgPathTooLong(path));
        return false;
    }
    strTestFile = path;
    return true;
}

void C_FileAccessWorker::TakeRunPlan()
{
    uint32_t& flags = WorkerFlags();
    m_plan.flags = flags;
    m_plan.path = GetField(kFieldPath);
    m_plan.sizeField = GetField(kFieldSize);
    m_plan.blockSizeField = GetField(kFieldBlockSize);
    m_plan.preReadSizeField = GetField(kFieldPreReadSize);
    flags &= ~(kFlagStartRead | kFlagStartWrite);
}

uint32_t C_FileAccessWorker::WorkerThread()
{
    EnableControls(0);
    RunRequests();
    StopProgress();
    EnableControls(1);
    return 0;
}

void C_FileAccessWorker::RunRequests()
{
    uint32_t& flags = m_plan.flags;
    if (!TakeTestPath(m_plan.path))
        return;
    ullTestSize = MiBFieldBytes(m_plan.sizeField);
    uint64_t block = 0;
    // A block of 0 bytes would never reach the end of the file: keep the previous size.
    if (ParseDecimal(m_plan.blockSizeField, &block) && block > 0)
        dwTestBlockSize = block > UINT32_MAX ? UINT32_MAX : (uint32_t)block;
    ullPreReadSize = MiBFieldBytes(m_plan.preReadSizeField);

    if (!(flags & kFlagStartWrite)) {
        if ((flags & kFlagBiggestFile) && !BiggestFileSearch())
            return;
        if ((flags & kFlagFastestFile) && !FastestFileSearch())
            return;
    }
    ullTestPosition = 0;
    StartProgress();
    if (flags & kFlagStartWrite) {
        flags &= ~kFlagStartWrite;
        if (!WorkerTestFunction(PASS_WRITE))
            return;
    }
    ullTestPosition = 0;
    ResetProgress();
    if ((flags & kFlagStartRead) && (flags & kFlagPreRead) && strTestFile.size() >= 1 &&
        IsCdromRoot(std::string(1, strTestFile[0]) + ":\\")) {
        if (!WorkerTestFunction(PASS_SPIN_UP)) {
            flags &= ~kFlagStartRead;
            return;
        }
    }
    ullTestPosition = 0;
    ResetProgress();
    if (flags & kFlagStartRead) {
        flags &= ~kFlagStartRead;
        WorkerTestFunction(PASS_READ);
    }
}

bool C_FileAccessWorker::ChoosePath(int pass)
{
    if (FileExists(strTestFile.c_str()))
        return true;
    std::string file = IsDirectory(strTestFile.c_str()) ? std::string() : strTestFile;
    (void)pass;
    if (!ChooseFile(0, MsgMissingFileTitle(strTestFile), "all files|*.*||", strTestFile, file))
        return false;
    return TakeTestPath(file);
}

bool C_FileAccessWorker::PrepareWritePath(const C_VolumeSpace& space)
{
    const C_WriteTarget target = WriteTargetFor(strTestFile, IsDirectory(strTestFile.c_str()) != 0);
    if (target.ask && !Ask(MsgRenameForWrite(target.oldName)))
        return false;
    if (!TakeTestPath(target.path))
        return false;
    UpdateFieldsFromRun();
    if (ullTestSize == 0) {
        Tell(MsgEnterSize());
        return false;
    }
    if (space.totalFree != 0) {
        if (space.callerFree < ullTestSize && !Ask(MsgFreeSpaceTooSmall(space.callerFree, ullTestSize)))
            return false;
    } else if (strTestFile.size() >= 2 && strTestFile[1] == ':' && !Ask(MsgNoFreeSpace())) {
        return false;
    }
    return true;
}

bool C_FileAccessWorker::AgreeBlockSize(const std::string& root)
{
    const uint32_t sector = GetSectorSize(root);
    const uint32_t proposal = ProposeBlockSize(dwTestBlockSize, sector);
    if (proposal == dwTestBlockSize)
        return true;
    if (!Ask(MsgBlockNotSectorMultiple(dwTestBlockSize, sector, proposal)))
        return false;
    dwTestBlockSize = proposal;
    SetField(kFieldBlockSize, Decimal(proposal));
    return true;
}

int C_FileAccessWorker::WorkerTestFunction(int pass)
{
    const uint32_t flags = m_plan.flags;
    const bool write = pass == PASS_WRITE, read = pass == PASS_READ;
    SetResultText("");

    MediumClass medium = kMediumNone;
    C_VolumeSpace space;
    if (pass != PASS_SPIN_UP) {
        const std::string root = VolumeRootOf(strTestFile);
        if (GetVolumeSpace(root, space))
            medium = MediumFromTotalBytes(space.total, IsCdromRoot(root));
        else
            space = C_VolumeSpace();
    }
    if (write ? !PrepareWritePath(space) : !ChoosePath(pass))
        return 0;

    uint32_t openFlags = kOpenSequentialScan;
    if (flags & kFlagNoBuffering) {
        openFlags |= kOpenNoBuffering;
        if (!AgreeBlockSize(VolumeRootOf(strTestFile)))
            return 0;
    }
    if (write && (flags & kFlagWriteThrough))
        openFlags |= kOpenWriteThrough;

    C_EngineJob job;
    job.kind = kEngineSequential;
    job.write = write;
    job.openFlags = openFlags;
    C_PassEvents events(*this);
    if (!write) {
        // The file's own size decides the pass, so it is asked for before the pass opens it.
        C_File probe;
        if (!probe.Open(strTestFile.c_str(), kOpenRead, openFlags, kShareReadWrite)) {
            C_EngineFailure open;
            open.op = kOpOpen;
            open.error = GetLastErrorCode();
            events.Failure(open);
            return 0;
        }
        uint64_t size = 0;
        if (!probe.GetSize(&size) || size == 0)
            size = MiBFieldBytes(m_plan.sizeField);
        probe.Close();
        if (read) {
            ullTestSize = size;
            SetField(kFieldSize, Decimal(size / 1024 / 1024));
            if (size < 1048576 && !Ask(MsgSmallFile(size)))
                return 0;
        } else {
            ullTestSize = size < ullPreReadSize ? size : ullPreReadSize;
        }
    }
    if (ullTestSize < dwTestBlockSize && ullTestSize != ullPreReadSize) {
        Tell(MsgFileTooSmall());
        return 0;
    }

    const bool saving = read && (flags & kFlagSaveReadData);
    C_File save;
    C_SaveSink sink(save);
    if (saving) {
        std::string chosen = "_Read_Data.bin";
        if (!ChooseFile(1, "select file storing the read data", "all|*.*||", std::string(), chosen))
            return 0;
        if (!save.Open(chosen.c_str(), kOpenWriteCreate, kOpenSequentialScan, kShareReadWrite)) {
            const uint32_t error = GetLastErrorCode();
            Tell(MsgCannotOpenSave(chosen, error, ErrorText(error).c_str()));
            return 0;
        }
        job.sink = &sink;
    }

    C_AlignedBuffer buffer;
    if (!buffer.Allocate(dwTestBlockSize)) {
        Tell(StringPrintf("Not enough memory for a block of %u bytes.", dwTestBlockSize));
        return 0;
    }
    if (read)
        memset(buffer.Get(), 0x2A, dwTestBlockSize & ~3u);
    else if (write)
        FillRandom(buffer.Get(), dwTestBlockSize, 0);

    job.path = strTestFile;
    job.buffer = buffer.Get();
    job.blockSize = dwTestBlockSize;
    job.size = ullTestSize;
    ullTestPosition = 0;
    const C_EngineResult result = RunEngine(job, events);
    const uint32_t closeError = GetLastErrorCode();
    Trace("C_FileAccess::WorkerTestFunction: CloseHandle() done. LastError: %u - %s", closeError,
          ErrorText(closeError).c_str());
    if (result.complete && pass != PASS_SPIN_UP) {
        // From the bytes moved: a tail shorter than one block is never transferred.
        SetResultText(FormatFileResult(result.bytes, result.microseconds, medium));
    }
    if (saving)
        save.Close();
    if (write) {
        const std::string written = strTestFile;
        RefreshBrowser();
        strTestFile = written;
        SelectListEntry(ListTextOfFile(LastComponent(written)));
        UpdateFieldsFromRun();
    }
    return result.complete;
}

int C_FileAccessWorker::BiggestFileSearch()
{
    ullTestSize = 0;
    std::string base = strTestFile;
    if (FileExists(base.c_str())) {
        const size_t slash = base.rfind('\\');
        if (slash == std::string::npos) {
            Tell("Please specify base search path.");
            return 0;
        }
        base.erase(slash + 1);
    } else if (base.empty() || base.back() != '\\') {
        base += '\\';
    }
    C_BiggestScan scan(DirectoryWalk());
    scan.stopRequested = [this] { return IsStopRequested() != 0; };
    scan.onCandidate = [this](const std::string& path, uint64_t size) {
        ullTestSize = size;
        strTestFile = path;
        UpdateFieldsFromRun();
    };
    scan.Scan(base);
    if (!scan.skippedPath.empty())
        Tell(MsgPathTooLong(scan.skippedPath));
    return 1;
}

int C_FileAccessWorker::SearchFastestFile(char drive, uint64_t minimum, std::string& path,
                                          std::string& message)
{
    return CDFSSearch(drive, minimum, path, message, nullptr, [this] { return IsStopRequested() != 0; });
}

int C_FileAccessWorker::FastestFileSearch()
{
    std::string found, message;
    const char drive = strTestFile.empty() ? '?' : strTestFile[0];
    if (!SearchFastestFile(drive, ullTestSize, found, message)) {
        if (!message.empty())
            Tell(message);
        return 0;
    }
    if (!TakeTestPath(found))
        return 0;
    UpdateFieldsFromRun();
    return 1;
}
