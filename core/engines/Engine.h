// Every measurement has one shape: a job says what to measure, the engine tells its caller
// what happens through the events while it runs, and hands back one result. Engines format
// no text; the words a user reads are chosen by the program that ran the job, from the
// failure and the figures given here as data.
#pragma once
#include <cstdint>
#include <string>
#include "core/engines/BlockPositions.h"

class I_BlockTarget;
class I_DataSink;
class C_LatencyHistogram;
struct C_CheckOutcome;

enum EngineKind : uint32_t {
    kEngineSequential, // one file from its first byte to its end in equal blocks
    kEngineRandom,     // 4 KiB accesses at random positions of one file, many threads at once
    kEngineBlock,      // raw blocks of a device in a pattern
    kEngineCheck,      // a folder's free space filled with stamped files, then all of it read back
    kEngineKinds
};

// What failed. Positions are bytes into the file for file engines and block numbers for
// the block engine.
enum EngineOp : uint32_t {
    kOpNone,
    kOpOpen,      // the file or device
    kOpSeekEnd,   // sizing a file before it is written
    kOpSetEnd,    //   (not fatal: the writes still run)
    kOpSeekStart, //   back to its start
    kOpWrite,
    kOpRead,
    kOpFlush,       // a written file's data to the medium
    kOpAllocate,    // the data buffer
    kOpStartThread, // an access thread, or an event it waits on
    kOpBufferSize,  // one access would need 4 GiB or more (or the device has no block size)
    kOpRange,       // the range reaches past what 64 bits can address
    kOpChanged,     // the device answers differently from the record the user chose
    kOpVolumeInUse, // a volume of the device could not be held for the writes
    kOpSourceOpen,  // the data file a write takes its data from
    kOpSourceRead,
    kOpSinkOpen, // the file a read saves its data into
    kOpSinkWrite,
    kOpFreeSpace, // the volume's free space: not to be had, or too little to check (kErrorDiskFull)
};

struct C_EngineFailure {
    EngineOp op = kOpNone;
    uint64_t position = 0;
    uint32_t error = 0; // the system error code, 0 when the operation sets none
    std::string detail; // what the code cannot say: the busy volume, the file's name
};

struct C_EngineResult {
    int complete = 0;          // every planned transfer done (and a written file flushed)
    int stopped = 0;           // ended by the stop request
    uint64_t bytes = 0;        // moved in the timed part
    uint64_t microseconds = 0; // length of the timed part
    uint64_t accesses = 0;     // transfers that succeeded
    double bytesPerSecond = 0; // 0 when the timed part was shorter than the clock's step
    double iops = 0;
    C_EngineFailure failure; // what ended the run; kOpNone when nothing did
};

// The caller's side of a run. Every member has a default, so a caller overrides what it uses.
// Called on the engine's thread, never on an access thread.
class I_EngineEvents {
public:
    virtual ~I_EngineEvents() = default;
    // Polled between transfers (the random engine: every few milliseconds); a yes ends the
    // run after the transfer under way.
    virtual int IsStopRequested() { return 0; }
    // The timed part starts now; planned: bytes (sequential), accesses (block), seconds (random).
    virtual void Begin(uint64_t planned) { (void)planned; }
    // How far the run is, in the unit of Begin.
    virtual void Progress(uint64_t done) { (void)done; }
    // One point of the rate curve: the run's position (in the unit of Begin) after a timed
    // group of bytes that took microseconds.
    virtual void RatePoint(uint64_t position, uint64_t bytes, uint64_t microseconds)
    {
        (void)position, (void)bytes, (void)microseconds;
    }
    // The data of the last access, for runs that check it as it goes (the block engine's CRC).
    virtual void AccessData(const void* data, uint32_t bytes) { (void)data, (void)bytes; }
    // A failure as it happens. One that ends the run is the result's failure as well; others
    // (kOpSetEnd) leave the run going.
    virtual void Failure(const C_EngineFailure& failure) { (void)failure; }
};

// Where a read's data goes as it is read (the FileAccess "save the read data" file).
class I_DataSink {
public:
    virtual ~I_DataSink() = default;
    // 0 with the system error set ends the run with kOpSinkWrite.
    virtual int Take(const void* data, uint32_t bytes) = 0;
};

// What to measure. One profile for every engine: each reads the part that concerns it.
struct C_EngineJob {
    EngineKind kind = kEngineSequential;
    int write = 0;

    // File engines.
    std::string path;
    void* buffer = nullptr; // one block, 4096-aligned; the data written, or room for reads
    uint32_t blockSize = 0;
    uint64_t size = 0;      // bytes the pass covers; the random engine's positions lie below it
    uint32_t openFlags = 0; // kOpenNoBuffering, kOpenWriteThrough, kOpenSequentialScan
    int sizeFirst = 1;      // a write sets the file's length before its first block
    I_DataSink* sink = nullptr;

    // Random engine.
    uint32_t threads = 32;
    uint32_t rounds = 6; // one-second rounds
    uint32_t roundMs = 1000;
    // A write into the file as it is, when this run has just written it in full: its blocks
    // stay data of this run, so a random read after it never reads blocks a file system
    // answers without the device. 0: the write starts a new file.
    int keepFile = 0;
    // The caller's, filled with the latency of every counted access; null leaves the accesses
    // untimed (the bench's measure of what the timing costs).
    C_LatencyHistogram* latency = nullptr;

    // Block engine (blockSize: the device's).
    I_BlockTarget* target = nullptr;
    BlockPattern pattern = kPatternLinear;
    C_BlockValues values;
    std::string sourceFile; // with dataFile, a linear write's data, or where a linear read's is copied
    int dataFile = 0;       // without it a write writes zeros and a read keeps nothing
    int checkData = 0;      // AccessData after every linear access
    int ratePoints = 0;     // RatePoint after every timed group

    // Capacity check (path: the folder checked; size: at most this much, 0 for all the free
    // space less the margin; blockSize: one transfer).
    int keepFiles = 0;               // leave the test files for a later look
    uint64_t runId = 0;              // the stamps' run identifier; 0 draws a random one
    C_CheckOutcome* check = nullptr; // the caller's, filled with the plan, tally and chunk rates
};

// Rate and IOPS of a result from its bytes, accesses and microseconds, as every engine
// reports them: none when less than one millisecond passed.
void FinishRates(C_EngineResult& result);

// Ends a run with a failure: the result carries it, and the caller hears of it once.
C_EngineResult& EndRunWithFailure(C_EngineResult& result, I_EngineEvents& events, EngineOp op,
                                  uint64_t position, uint32_t error, const std::string& detail = "");
