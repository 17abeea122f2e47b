// The page's live speed reads the random pass's clock from its display timer while the
// pass runs: the reading must follow the measuring time and leave the pass's own figure alone.
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include "app/pages/quick/model/DriveEntries.h"
#include "core/RandomAccessPass.h"
#include "core/File.h"
#include "core/SequentialPass.h"

namespace {

class C_NeverStop : public C_PassChannel {
public:
    void Report(const std::string&) override {}
};

TEST(QuickLiveReading, RandomPassClockFollowsTheMeasuringTimeOnly)
{
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
    const std::string path =
        std::string(temp) + "QmQuickLive" + std::to_string(GetCurrentProcessId()) + ".bin";
    void* buffer = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, buffer);
    memset(buffer, 0x5A, 4096);

    C_AccessTest test;
    EXPECT_EQ(0u, test.GetElapsedMicroseconds()) << "a clock before any pass";

    std::atomic<int> done{0};
    std::atomic<uint64_t> first{0}, last{0}, readings{0};
    std::atomic<int> backwards{0}, liveTexts{0};
    std::thread display([&]() {
        // As the page's timer does, only much more often.
        while (!done.load()) {
            const uint64_t us = test.GetElapsedMicroseconds();
            if (us) {
                if (!first.load())
                    first.store(us);
                if (us < last.load())
                    ++backwards;
                last.store(us);
                ++readings;
                const std::string live = LiveRandomText(test.GetAccessCount(), us);
                if (live.size() > 5 && live.compare(live.size() - 5, 5, "/sec ") == 0)
                    ++liveTexts;
            }
            Sleep(1);
        }
    });

    C_AccessPassArgs args;
    args.direction = 1;
    args.path = path.c_str();
    args.buffer = buffer;
    args.fileSize = 8 * 1048576;
    C_NeverStop channel;
    std::string text;
    const int ok = test.Run(args, channel, text);
    done.store(1);
    display.join();

    ASSERT_EQ(1, ok) << "error " << test.GetFailureCode();
    EXPECT_EQ(0u, test.GetElapsedMicroseconds()) << "the clock still runs after the pass";
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
    const double seconds = test.GetAccessCount() / iops;
    EXPECT_NEAR(6.0, seconds, 0.3) << text;

    DeleteFileForce(path.c_str());
    VirtualFree(buffer, 0, MEM_RELEASE);
}

} // namespace
