// Reports of a passing, a failing (full disk) and an interrupted test, shared by the golden
// tests and by the program whose output the format checks parse.
#pragma once
#include <string>
#include "core/CacheNote.h"
#include "core/UsbHint.h"
#include "core/report/Report.h"

inline C_ReportPass SamplePass(const char* name, uint64_t bytes, uint64_t us, double rate)
{
    C_ReportPass p;
    p.name = name;
    p.result.complete = 1;
    p.result.bytes = bytes;
    p.result.microseconds = us;
    p.result.bytesPerSecond = rate;
    return p;
}

inline C_ReportPass SampleRandomPass(const char* name, uint64_t accesses, double iops, uint64_t p50)
{
    C_ReportPass p = SamplePass(name, accesses * 4096, 6000000, iops * 4096);
    p.random = 1;
    p.result.accesses = accesses;
    p.result.iops = iops;
    p.latency = {accesses, 41000, p50, p50 * 2, p50 * 5, p50 * 9, 48000000};
    return p;
}

inline C_Report SampleReport(const std::string& kind)
{
    C_Report r;
    r.program = "QuellmorCmd";
    r.version = "1.0";
    r.timestamp = "2026-12-09T07:49:02Z";
    r.settings.fileBytes = 1000ull << 20;
    r.settings.blockBytes = 1 << 20;
    r.settings.randomPasses = 1;
    r.target.folder = "E:\\Quellmor \"test\"";
    r.target.fileSystem = "NTFS";
    r.target.device = "Stick, 32 GB";
    r.target.usbSpeedClass = kUsbSuperSpeed;
    r.target.cacheBypass = kBypassDevice;
    C_ReportRun run;
    if (kind == "fail") {
        C_ReportPass write = SamplePass("sequential-write", 700ull << 20, 0, 0);
        write.result.complete = 0;
        write.result.failure.op = kOpWrite;
        write.result.failure.position = 700ull << 20;
        write.result.failure.error = 112;
        write.errorText = "There is not enough space on the disk.";
        run.passes.push_back(write);
    } else {
        run.passes.push_back(SamplePass("sequential-write", 1000ull << 20, 4000000, 262144000));
        run.passes.push_back(SamplePass("sequential-read", 1000ull << 20, 2500000, 419430400));
        run.passes.push_back(SampleRandomPass("random-write", 120000, 20000, 1500000));
        C_ReportPass read = SampleRandomPass("random-read", 300000, 50000, 620000);
        if (kind == "stop") {
            read.result.complete = 0;
            read.result.stopped = 1;
        }
        run.passes.push_back(read);
    }
    r.runs.push_back(run);
    return r;
}

// A check of the whole free space ("check": all intact; "lost": a drive whose addresses wrap
// after 7.9 GiB of 31.9 GiB), as the console reports it.
inline C_Report SampleCheckReport(const std::string& kind)
{
    C_Report r = SampleReport("pass");
    r.settings.fileBytes = 0;
    r.settings.randomPasses = 0;
    r.settings.verify = 1;
    r.settings.fill = 1;
    r.runs[0].passes.resize(2);
    C_ReportRun& run = r.runs[0];
    run.verified = 1;
    C_CheckTally& t = run.tally;
    t.checkedBytes = 31900ull << 20;
    t.intactBytes = kind == "lost" ? 7900ull << 20 : t.checkedBytes;
    t.movedBytes = t.checkedBytes - t.intactBytes;
    if (kind == "lost")
        t.firstBad = t.intactBytes;
    run.trustedBytes = kind == "lost" ? 7820ull << 20 : t.checkedBytes;
    return r;
}
