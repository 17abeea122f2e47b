// What both console end-to-end tests expect of a run with the random passes and a JSON report:
// the random lines after the sequential one in the console text, and in the report a timed
// latency for every access the random read counted.
#pragma once
#include <gtest/gtest.h>
#include <regex>
#include <string>

inline void ExpectRandomPassesReported(const std::string& report, const std::string& text,
                                       const char* lineEnd)
{
    const std::string number = "[0-9]+\\.[0-9]";
    const std::string line = "IOPS " + number + " latency-us p50 " + number + " p90 " + number + " p99 " +
                             number + " p99\\.9 " + number + " max " + number + lineEnd;
    EXPECT_TRUE(std::regex_search(text, std::regex("read: [0-9]+ write: [0-9]+" + std::string(lineEnd) +
                                                   "random-write: " + line + "random-read: " + line + "$")))
        << text;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        report, m,
        std::regex("\"name\": \"random-read\"[^}]*\"accesses\": ([0-9]+)[^}]*\"count\": ([0-9]+)")))
        << report;
    EXPECT_GT(std::stoull(m[1].str()), 0u);
    EXPECT_EQ(m[1].str(), m[2].str());
}
