// One driver over the engine table: it builds the jobs the programs build, runs them through
// RunEngine (or the null engine) on one target and prints one "figure NAME VALUE" line per
// figure, for the scripts that compare them with a peer.
//   QuellmorBench <target> <size MiB> [mode] [block KiB] [write-through]
// Modes: seq, random, random-write, random-read, all (seq and random) on a test file in the
// target folder; file (FileAccess's buffered write and read passes); block-read, block-write
// (the BlockAccess linear run over the target as a raw image or device); null (the jobs of
// "all" on the null engine, so the whole pipeline runs without a disk).
// "random-write" leaves its file for a later "random-read", which removes it. "random-timing"
// runs random writes in turn without and with every access timed (untimed, timed, untimed,
// timed), so the cost of the latency figures shows as the IOPS of one against the other.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/Rate.h"
#include "core/System.h"
#include "core/TestFile.h"
#include "core/Timer.h"
#include "core/engines/EngineTable.h"
#include "core/engines/ImageTarget.h"
#include "core/engines/LatencyHistogram.h"
#include "core/engines/NullEngine.h"

namespace {

struct C_BenchJob {
    const char* name;
    C_EngineJob job;
};

class C_BenchEvents : public I_EngineEvents {
public:
    void Failure(const C_EngineFailure& f) override
    {
        fprintf(stderr, "failure: operation %u at %" PRIu64 ", error %u %s\n", (unsigned)f.op, f.position,
                f.error, f.detail.c_str());
    }
};

// Runs one job and prints its figures; 0 when it did not complete.
int RunJob(const C_BenchJob& bench, const C_NullScript* null)
{
    C_BenchEvents events;
    const double cpu = GetProcessCpuSeconds();
    C_Timer timer;
    timer.Start();
    const C_EngineResult r = null ? RunNullEngine(bench.job, *null, events) : RunEngine(bench.job, events);
    timer.Stop();
    const double cpuSeconds = GetProcessCpuSeconds() - cpu;
    if (!r.complete) {
        fprintf(stderr, "%s did not complete\n", bench.name);
        return 0;
    }
    const double transfers = r.accesses ? double(r.accesses) : 1.0;
    printf("figure %s-bytes-per-sec %.0f\n", bench.name, r.bytesPerSecond);
    printf("figure %s-ms %" PRIu64 "\n", bench.name, r.microseconds / 1000);
    // The whole call, opening and sizing included, for runs whose peers time it so.
    printf("figure %s-run-ms %" PRIu64 "\n", bench.name, timer.GetMilliseconds());
    printf("figure %s-accesses %" PRIu64 "\n", bench.name, r.accesses);
    printf("figure %s-cpu-seconds %.3f\n", bench.name, cpuSeconds);
    printf("figure %s-cpu-per-access-us %.3f\n", bench.name, cpuSeconds * 1e6 / transfers);
    if (bench.job.kind == kEngineRandom) {
        printf("figure %s-iops %.1f\n", bench.name, r.iops);
        if (bench.job.latency) {
            const C_LatencyPercentiles p = bench.job.latency->Percentiles();
            printf("figure %s-latency-p50-ns %" PRIu64 "\n", bench.name, p.p50);
            printf("figure %s-latency-p99-ns %" PRIu64 "\n", bench.name, p.p99);
            printf("figure %s-latency-max-ns %" PRIu64 "\n", bench.name, p.maximum);
        }
        printf("text %s %s\n", bench.name, FormatAccessResult(uint32_t(r.accesses), r.microseconds).c_str());
    } else {
        printf("text %s %s\n", bench.name, ComputeRate(r.bytes, r.microseconds).text.c_str());
    }
    return 1;
}

C_EngineJob FileJob(EngineKind kind, int write, const std::string& path, void* buffer, uint32_t blockSize,
                    uint64_t size, uint32_t openFlags)
{
    C_EngineJob job;
    job.kind = kind;
    job.write = write;
    job.path = path;
    job.buffer = buffer;
    job.blockSize = blockSize;
    job.size = size;
    job.openFlags = openFlags;
    return job;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr,
                "usage: QuellmorBench <target> <size MiB> "
                "[seq|random|random-write|random-read|random-timing|all|file|block-read|block-write|null] "
                "[block KiB] [write-through]\n");
        return 2;
    }
    const uint64_t size = strtoull(argv[2], nullptr, 10) * 1048576;
    const std::string mode = argc > 3 ? argv[3] : "all";
    const uint32_t blockSize = (argc > 4 ? (uint32_t)strtoul(argv[4], nullptr, 10) : 1024) * 1024;
    const int writeThrough = argc > 5 && strcmp(argv[5], "write-through") == 0;
    if (size < 1048576 || blockSize < 4096 || blockSize % 4096) {
        fprintf(stderr, "size must be at least 1 MiB and the block a multiple of 4 KiB\n");
        return 2;
    }
    C_AlignedBuffer buffer;
    if (!buffer.Allocate(blockSize) || !FillRandom(buffer.Get(), blockSize, 0)) {
        fprintf(stderr, "no buffer\n");
        return 1;
    }

    std::vector<C_BenchJob> jobs;
    // The random passes time their accesses as the programs' do.
    std::unique_ptr<C_LatencyHistogram> latency(new C_LatencyHistogram);
    C_ImageTarget image(argv[1], 512);
    const bool block = mode == "block-read" || mode == "block-write";
    // The test file lives where the programs put theirs, and goes when the run ends, except
    // after "random-write", whose file a later "random-read" reads and removes.
    C_TestFile testFile(block ? "" : argv[1]);
    if (block) {
        if (!image.Measure() || image.MeasuredBytes() < blockSize) {
            fprintf(stderr, "cannot use %s as a block target, error %u\n", argv[1], GetLastErrorCode());
            return 1;
        }
        C_EngineJob job;
        job.kind = kEngineBlock;
        job.write = mode == "block-write";
        job.target = &image;
        job.blockSize = 512;
        job.pattern = kPatternLinear;
        job.values.start = 0;
        job.values.end = (size < image.MeasuredBytes() ? size : image.MeasuredBytes()) / 512;
        job.values.blocks = blockSize / 512;
        job.values.calcEvery = 1;
        jobs.push_back({job.write ? "block-write" : "block-read", job});
    } else {
        if (!(mode == "random-read" ? testFile.MakeFolder() : testFile.Prepare())) {
            fprintf(stderr, "cannot make the test folder, error %u\n", GetLastErrorCode());
            return 1;
        }
        const std::string& path = testFile.Path();
        const int bypass = ProbeCacheBypass(path.c_str());
        printf("figure cache-bypass %d\n", bypass); // a CacheBypass value: 0 = the device is measured
        fputs(FormatCacheNote(bypass, testFile.Folder()).c_str(), stderr);
        void* data = buffer.Get();
        // As the console and QuickAccess open their test file.
        const uint32_t direct = kOpenNoBuffering | kOpenSequentialScan;
        const bool all = mode == "all" || mode == "null";
        if (mode == "seq" || all) {
            jobs.push_back({"seq-write", FileJob(kEngineSequential, 1, path, data, blockSize, size, direct)});
            jobs.push_back({"seq-read", FileJob(kEngineSequential, 0, path, data, blockSize, size, direct)});
        }
        const C_EngineJob randomWrite = FileJob(kEngineRandom, 1, path, data, 4096, size, kOpenNoBuffering);
        if (mode == "random" || mode == "random-write" || all)
            jobs.push_back({"random-write", randomWrite});
        // A random read must read blocks that were written: the random write leaves most of
        // the file allocated but unwritten, which a file system answers with zeros without
        // touching the device. So the file is written in full first.
        if (mode == "random")
            jobs.push_back({"fill", FileJob(kEngineSequential, 1, path, data, blockSize, size, direct)});
        if (mode == "random" || mode == "random-read" || all)
            jobs.push_back(
                {"random-read", FileJob(kEngineRandom, 0, path, data, 4096, size, kOpenNoBuffering)});
        for (C_BenchJob& job : jobs)
            if (job.job.kind == kEngineRandom)
                job.job.latency = latency.get();
        if (mode == "random-timing") {
            C_EngineJob timed = randomWrite;
            timed.latency = latency.get();
            for (int i = 0; i < 2; ++i) {
                jobs.push_back({i ? "untimed-write-2" : "untimed-write-1", randomWrite});
                jobs.push_back({i ? "timed-write-2" : "timed-write-1", timed});
            }
        }
        if (mode == "file") {
            // FileAccess without its cache bypass, as the peer runs under Wine, which ignores it.
            const uint32_t flags = kOpenSequentialScan | (writeThrough ? kOpenWriteThrough : 0);
            jobs.push_back({"file-write", FileJob(kEngineSequential, 1, path, data, blockSize, size, flags)});
            jobs.push_back({"file-read",
                            FileJob(kEngineSequential, 0, path, data, blockSize, size, kOpenSequentialScan)});
        }
    }
    if (jobs.empty()) {
        fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    C_NullScript script;
    int ok = 1;
    for (const C_BenchJob& job : jobs)
        ok = ok && RunJob(job, mode == "null" ? &script : nullptr);
    if (mode == "random-write" && ok)
        testFile.Keep(); // for "random-read"
    testFile.Remove();
    return ok ? 0 : 1;
}
