// QuellmorDevices: refreshes the device list the way the pages do and prints every
// record. The first thing to run when a drive is missing or looks wrong.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include "core/Timer.h"
#include "devices/DeviceList.h"
#include "devices/DeviceReport.h"
#include "devices/win/Enumerators.h"

namespace {

void Announce(uint32_t event, C_Device* device, uintptr_t, void* owner)
{
    if (*static_cast<int*>(owner))
        printf("%s %s\n", event == kDeviceAdded ? "+" : "-", device->strName.c_str());
}

int Print(C_Device* device, void*)
{
    fputs(FormatDeviceReport(*device).c_str(), stdout);
    return 1;
}

void Usage()
{
    puts("QuellmorDevices [-b] [-q] [-a] [-v]\n"
         "  -b  block device list only (logical and physical drives, CD-ROMs, tracks)\n"
         "  -q  drive letters and identity records only\n"
         "  -a  include drive A:\n"
         "  -v  show additions and removals while refreshing");
}

unsigned Milliseconds(C_Timer& timer) { return unsigned(timer.Peek()); }

} // namespace

int main(int argc, char** argv)
{
    int block = 1, quick = 1, verbose = 0;
    uint32_t floppy = 0;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "-b"))
            quick = 0;
        else if (!strcmp(argv[i], "-q"))
            block = 0;
        else if (!strcmp(argv[i], "-a"))
            floppy = kOptFloppy;
        else if (!strcmp(argv[i], "-v"))
            verbose = 1;
        else {
            Usage();
            return 2;
        }
    }
    C_DeviceList& list = C_DeviceList::Instance();
    if (block) {
        RegisterDevices(list, Announce, &verbose, kOptBlockAccess | floppy);
        C_Timer timer;
        timer.Start();
        RefreshForBlockAccess(list);
        printf("== block device list (%u ms)\n", Milliseconds(timer));
        list.ForEach(Print, nullptr, 0);
        list.Clear();
    }
    if (quick) {
        RegisterDevices(list, Announce, &verbose, floppy);
        C_Timer timer;
        timer.Start();
        RefreshForQuickAccess(list);
        printf("== drive letters and identity (%u ms)\n", Milliseconds(timer));
        list.ForEach(Print, nullptr, 0);
        list.Clear();
    }
    fflush(stdout);
    return 0;
}
