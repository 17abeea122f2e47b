// Runs the block engine without the BlockAccess page: one linear read or write over a drive
// letter's whole range with a given transfer size, and prints the bytes per second of the
// whole run as "rate block-read VALUE" or "rate block-write VALUE".
//   BlockBench <letter> <read|write> <transfer bytes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "app/pages/block/model/BlockRules.h"
#include "core/System.h"
#include "core/Timer.h"
#include "core/engines/EngineTable.h"
#include "devices/DeviceList.h"
#include "devices/win/Enumerators.h"

namespace {

struct C_Find {
    char letter;
    C_Device* found;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: BlockBench <letter> <read|write> <transfer bytes>\n");
        return 2;
    }
    C_DeviceList& list = C_DeviceList::Instance();
    RegisterDevices(list, nullptr, nullptr, kOptBlockAccess);
    EnumerateLogicalDrives(list);
    C_Find find = {argv[1][0], nullptr};
    list.ForEach(
        [](C_Device* d, void* context) {
            C_Find* f = static_cast<C_Find*>(context);
            if ((d->dwKind & kKindLogical) && d->HasLetter(f->letter))
                f->found = d;
            return f->found ? 0 : 1;
        },
        &find, 0);
    if (!find.found || !find.found->dwBlockSize) {
        fprintf(stderr, "drive %c: is not a block device here\n", find.letter);
        return 1;
    }
    C_EngineJob job;
    job.kind = kEngineBlock;
    job.target = find.found;
    job.blockSize = find.found->dwBlockSize;
    job.write = strcmp(argv[2], "write") == 0;
    job.values.start = 0;
    job.values.end = find.found->ullBlockCount;
    job.values.blocks = strtoul(argv[3], nullptr, 10) / find.found->dwBlockSize;
    job.values.calcEvery = 1;
    I_EngineEvents quiet;
    C_Timer timer;
    timer.Start();
    const C_EngineResult result = RunEngine(job, quiet);
    timer.Stop();
    if (result.failure.op != kOpNone) {
        const C_EngineFailure& f = result.failure;
        fprintf(stderr, "%s\n",
                BlockFailureText(f, find.found->strName, job.values.blocks, job.blockSize, ErrorText(f.error))
                    .c_str());
        return 1;
    }
    if (result.accesses == 0)
        return 1;
    const double bytes = double(result.accesses) * double(job.values.blocks) * find.found->dwBlockSize;
    const double seconds = double(timer.GetMilliseconds() ? timer.GetMilliseconds() : 1) / 1000.0;
    printf("rate block-%s %.0f\n", job.write ? "write" : "read", bytes / seconds);
    return 0;
}
