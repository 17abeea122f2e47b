// Runs the sequential and the random access passes of the class library on one folder and
// prints one "figure NAME VALUE" line per figure, for scripts that compare them with a peer.
//   QuellmorBench <folder> <size MiB> [seq|random|random-write|random-read|all] [block KiB]
// "random-write" leaves its file for a later "random-read", which removes it.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "core/Random.h"
#include "core/SequentialPass.h"
#include "core/System.h"
#include "core/TestFile.h"
#include "core/Timer.h"
#include "core/engines/EngineTable.h"

namespace {

class C_BenchChannel : public C_PassChannel {
public:
    void Report(const std::string& text) override { fprintf(stderr, "%s\n", text.c_str()); }
};

int Sequential(const std::string& path, uint64_t size, uint32_t blockSize, void* buffer)
{
    C_BenchChannel channel;
    for (int direction : {1, 0}) {
        const char* name = direction ? "seq-write" : "seq-read";
        C_SeqPassArgs args;
        args.direction = direction;
        args.path = path.c_str();
        args.buffer = buffer;
        args.blockSize = blockSize;
        args.fileSize = size;
        std::atomic<uint64_t> done{0};
        C_SeqPassResult result;
        C_Timer timer;
        const double cpu = GetProcessCpuSeconds();
        if (!RunSequentialPass(args, done, channel, result, &timer)) {
            fprintf(stderr, "%s pass failed\n", name);
            return 0;
        }
        const double transfers = (double)done.load() / blockSize;
        printf("figure %s-bytes-per-sec %.0f\n", name, (double)result.bytesPerSecond);
        printf("figure %s-ms %" PRIu64 "\n", name, timer.GetMilliseconds());
        printf("figure %s-cpu-per-transfer-us %.3f\n", name,
               (GetProcessCpuSeconds() - cpu) * 1e6 / (transfers > 0 ? transfers : 1));
        printf("text %s %s\n", name, result.text.c_str());
    }
    return 1;
}

int Random(const std::string& path, uint64_t size, int direction, void* buffer)
{
    const char* name = direction ? "random-write" : "random-read";
    C_EngineJob job;
    job.kind = kEngineRandom;
    job.write = direction;
    job.path = path;
    job.buffer = buffer;
    job.size = size;
    I_EngineEvents events; // the bench never stops a run and shows nothing while it goes
    const double cpu = GetProcessCpuSeconds();
    const uint32_t begin = C_Timer::Now();
    const C_EngineResult result = RunEngine(job, events);
    const uint32_t ms = C_Timer::Now() - begin;
    const double cpuSeconds = GetProcessCpuSeconds() - cpu;
    const std::string text = FormatAccessResult(result);
    if (!result.complete || text.empty()) {
        fprintf(stderr, "%s pass failed, error %u\n", name, result.failure.error);
        return 0;
    }
    const uint64_t count = result.accesses;
    // IOPS from the result line itself, so the figure is the one the user sees.
    const char* iops = strstr(text.c_str(), ", ");
    printf("figure %s-iops %.1f\n", name, iops ? atof(iops + 2) : 0.0);
    printf("figure %s-accesses %" PRIu64 "\n", name, count);
    printf("figure %s-pass-ms %u\n", name, ms);
    printf("figure %s-cpu-seconds %.3f\n", name, cpuSeconds);
    printf("figure %s-cpu-per-access-us %.3f\n", name, count ? cpuSeconds * 1e6 / count : 0.0);
    printf("text %s %s\n", name, text.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: QuellmorBench <folder> <size MiB> [seq|random|random-write|random-read|all] "
                        "[block KiB]\n");
        return 2;
    }
    const uint64_t size = strtoull(argv[2], nullptr, 10) * 1048576;
    const std::string what = argc > 3 ? argv[3] : "all";
    const uint32_t blockSize = (argc > 4 ? (uint32_t)strtoul(argv[4], nullptr, 10) : 1024) * 1024;
    if (size < 1048576 || blockSize < 4096 || blockSize % 4096) {
        fprintf(stderr, "size must be at least 1 MiB and the block a multiple of 4 KiB\n");
        return 2;
    }
    C_AlignedBuffer buffer;
    if (!buffer.Allocate(blockSize) || !FillRandom(buffer.Get(), blockSize, 0)) {
        fprintf(stderr, "no buffer\n");
        return 1;
    }
    // The test file lives where the programs put theirs, and goes when the run ends, except
    // after "random-write", whose file a later "random-read" reads and removes.
    C_TestFile testFile(argv[1]);
    if (!(what == "random-read" ? testFile.MakeFolder() : testFile.Prepare())) {
        fprintf(stderr, "cannot make the test folder, error %u\n", GetLastErrorCode());
        return 1;
    }
    const std::string& path = testFile.Path();
    const int bypass = ProbeCacheBypass(path.c_str());
    printf("figure cache-bypass %d\n", bypass); // a CacheBypass value: 0 = the device is measured
    fputs(FormatCacheNote(bypass, testFile.Folder()).c_str(), stderr);
    int ok = 1;
    if (what == "seq" || what == "all")
        ok = ok && Sequential(path, size, blockSize, buffer.Get());
    if (what == "random" || what == "random-write" || what == "all")
        ok = ok && Random(path, size, 1, buffer.Get());
    if (what == "random" || what == "random-read" || what == "all")
        ok = ok && Random(path, size, 0, buffer.Get());
    if (what == "random-write" && ok)
        testFile.Keep(); // for "random-read"
    testFile.Remove();
    return ok ? 0 : 1;
}
