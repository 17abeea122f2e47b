// Prints a sample report, "json" or "csv", of a "pass", "fail" or "stop" run or of a "check" or
// a "lost" check, for the format checks that parse it back.
#include <cstdio>
#include <string>
#include "tests/core/report/SampleReports.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string kind = argv[2];
    const C_Report report = kind == "check" || kind == "lost" ? SampleCheckReport(kind) : SampleReport(kind);
    const std::string text =
        std::string(argv[1]) == "csv" ? FormatCsvReport(report) : FormatJsonReport(report);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
