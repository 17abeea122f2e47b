// Runs the BlockAccess run without its page: one linear read or write over a drive
// letter's whole range with a given transfer size, and prints the bytes per second of the
// whole run as "rate block-read VALUE" or "rate block-write VALUE".
//   BlockBench <letter> <read|write> <transfer bytes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "app/pages/block/run/BlockRun.h"
#include "core/Timer.h"
#include "devices/DeviceList.h"
#include "devices/win/Enumerators.h"

namespace {

class C_ConsoleChannel : public C_BlockChannel {
public:
    int IsStopRequested() override { return 0; }
    void ShowSpeed(const std::string&) override {}
    void ShowCrc(const std::string&) override {}
    void GraphSetup(int) override {}
    void GraphPoint(int, int) override {}
    void Report(const std::string& message) override
    {
        fprintf(stderr, "%s\n", message.c_str());
        failed = 1;
    }
    int failed = 0;
};

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
    C_BlockRunSetup setup;
    setup.device = find.found;
    setup.write = strcmp(argv[2], "write") == 0;
    setup.values.start = 0;
    setup.values.end = find.found->ullBlockCount;
    setup.values.blocks = strtoul(argv[3], nullptr, 10) / find.found->dwBlockSize;
    setup.values.calcEvery = 1;
    C_ConsoleChannel channel;
    C_BlockRun run;
    C_Timer timer;
    timer.Start();
    const C_BlockRunResult result = run.Run(setup, channel);
    timer.Stop();
    if (channel.failed || result.accesses == 0)
        return 1;
    const double bytes = double(result.accesses) * double(setup.values.blocks) * find.found->dwBlockSize;
    const double seconds = double(timer.GetMilliseconds() ? timer.GetMilliseconds() : 1) / 1000.0;
    printf("rate block-%s %.0f\n", setup.write ? "write" : "read", bytes / seconds);
    return 0;
}
