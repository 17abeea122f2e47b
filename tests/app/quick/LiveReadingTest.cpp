// The page's live speed reads the random pass's figures from its display timer while the
// engine runs: the reading must follow the measuring time and leave the pass's own figure alone.
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include "app/pages/common/model/DriveEntries.h"
#include "app/pages/quick/model/QuickRules.h"
#include "app/pages/quick/model/RandomLive.h"
#include "core/File.h"
#include "core/Rate.h"
#include "core/engines/EngineTable.h"

namespace {

TEST(QuickLiveReading, RandomPassClockFollowsTheMeasuringTimeOnly)
{
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
    const std::string path =
        std::string(temp) + "QmQuickLive" + std::to_string(GetCurrentProcessId()) + ".bin";
    void* buffer = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, buffer);
    memset(buffer, 0x5A, 4096);

    C_RandomLive figures; // never asks to stop
    figures.Reset();
    EXPECT_EQ(0u, figures.GetElapsedMicroseconds()) << "a clock before any pass";

    std::atomic<int> done{0};
    std::atomic<uint64_t> first{0}, last{0}, readings{0};
    std::atomic<int> backwards{0}, liveTexts{0};
    std::thread display([&]() {
        // As the page's timer does, only much more often.
        while (!done.load()) {
            const uint64_t us = figures.GetElapsedMicroseconds();
            if (us) {
                if (!first.load())
                    first.store(us);
                if (us < last.load())
                    ++backwards;
                last.store(us);
                ++readings;
                const std::string live = LiveRandomText(figures.GetAccessCount(), us);
                if (live.size() > 5 && live.compare(live.size() - 5, 5, "/sec ") == 0)
                    ++liveTexts;
            }
            Sleep(1);
        }
    });

    C_EngineJob job;
    job.kind = kEngineRandom;
    job.write = 1;
    job.path = path;
    job.buffer = buffer;
    job.size = 8 * 1048576;
    const C_EngineResult result = RunEngine(job, figures);
    const std::string text = FormatAccessResult(result);
    done.store(1);
    display.join();

    ASSERT_EQ(1, result.complete) << "error " << result.failure.error;
    const uint64_t shown = figures.GetElapsedMicroseconds();
    Sleep(100);
    EXPECT_EQ(shown, figures.GetElapsedMicroseconds()) << "the clock still runs after the pass";
    EXPECT_EQ(result.microseconds, shown);
    EXPECT_GT(readings.load(), 100u);
    EXPECT_EQ(0, backwards.load());
    EXPECT_GT(liveTexts.load(), 0);
    EXPECT_LT(first.load(), 500000u) << "the clock did not start with the measuring";
    EXPECT_GE(last.load(), 5500000u);
    EXPECT_LE(last.load(), 7000000u);

    // The pass's own figure: its accesses over its IOPS give the six seconds it measured.
    double iops = 0, ms = 0;
    const size_t comma = text.find(", ");
    ASSERT_NE(std::string::npos, comma) << text;
    ASSERT_EQ(2, sscanf(text.c_str() + comma + 2, "%lf IOPS, %lf ms", &iops, &ms)) << text;
    ASSERT_GT(iops, 0.0);
    EXPECT_EQ(result.accesses, figures.GetAccessCount());
    const double seconds = figures.GetAccessCount() / iops;
    EXPECT_NEAR(6.0, seconds, 0.3) << text;

    DeleteFileForce(path.c_str());
    VirtualFree(buffer, 0, MEM_RELEASE);
}

} // namespace
