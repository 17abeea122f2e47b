// The machine-readable reports: whole outputs of a passing, a failing (full disk) and an
// interrupted run, the escaping of names, and the summary of repeated runs.
#include <gtest/gtest.h>
#include "tests/core/report/SampleReports.h"

namespace {
const char* const kPassingJson = R"json({
  "format": "quellmor-report",
  "format_version": 1,
  "program": "QuellmorCmd",
  "version": "1.0",
  "timestamp": "2026-12-09T07:49:02Z",
  "settings": {
    "file_bytes": 1048576000,
    "block_bytes": 1048576,
    "random_passes": true,
    "random_threads": 32,
    "random_block_bytes": 4096,
    "random_seconds": 6,
    "runs": 1
  },
  "target": {
    "folder": "E:\\Quellmor \"test\"",
    "file_system": "NTFS",
    "device": "Stick, 32 GB",
    "usb_speed": "usb3",
    "cache_bypass": "bypassed"
  },
  "runs": [
    {
      "run": 1,
      "outcome": "complete",
      "passes": [
        {
          "name": "sequential-write",
          "complete": true,
          "stopped": false,
          "bytes": 1048576000,
          "elapsed_us": 4000000,
          "bytes_per_second": 262144000.0
        },
        {
          "name": "sequential-read",
          "complete": true,
          "stopped": false,
          "bytes": 1048576000,
          "elapsed_us": 2500000,
          "bytes_per_second": 419430400.0
        },
        {
          "name": "random-write",
          "complete": true,
          "stopped": false,
          "bytes": 491520000,
          "elapsed_us": 6000000,
          "bytes_per_second": 81920000.0,
          "accesses": 120000,
          "iops": 20000.0,
          "latency_ns": {"count": 120000, "min": 41000, "p50": 1500000, "p90": 3000000, "p99": 7500000, "p99_9": 13500000, "max": 48000000}
        },
        {
          "name": "random-read",
          "complete": true,
          "stopped": false,
          "bytes": 1228800000,
          "elapsed_us": 6000000,
          "bytes_per_second": 204800000.0,
          "accesses": 300000,
          "iops": 50000.0,
          "latency_ns": {"count": 300000, "min": 41000, "p50": 620000, "p90": 1240000, "p99": 3100000, "p99_9": 5580000, "max": 48000000}
        }
      ],
      "failure": null
    }
  ],
  "summary": [
    {
      "pass": "sequential-write",
      "runs": 1,
      "bytes_per_second": {"median": 262144000.0, "best": 262144000.0, "spread_percent": 0.0}
    },
    {
      "pass": "sequential-read",
      "runs": 1,
      "bytes_per_second": {"median": 419430400.0, "best": 419430400.0, "spread_percent": 0.0}
    },
    {
      "pass": "random-write",
      "runs": 1,
      "bytes_per_second": {"median": 81920000.0, "best": 81920000.0, "spread_percent": 0.0},
      "iops": {"median": 20000.0, "best": 20000.0, "spread_percent": 0.0},
      "latency_p50_ns": {"median": 1500000.0, "best": 1500000.0, "spread_percent": 0.0},
      "latency_p99_ns": {"median": 7500000.0, "best": 7500000.0, "spread_percent": 0.0}
    },
    {
      "pass": "random-read",
      "runs": 1,
      "bytes_per_second": {"median": 204800000.0, "best": 204800000.0, "spread_percent": 0.0},
      "iops": {"median": 50000.0, "best": 50000.0, "spread_percent": 0.0},
      "latency_p50_ns": {"median": 620000.0, "best": 620000.0, "spread_percent": 0.0},
      "latency_p99_ns": {"median": 3100000.0, "best": 3100000.0, "spread_percent": 0.0}
    }
  ]
}
)json";

const char* const kFailingJson = R"json({
  "format": "quellmor-report",
  "format_version": 1,
  "program": "QuellmorCmd",
  "version": "1.0",
  "timestamp": "2026-12-09T07:49:02Z",
  "settings": {
    "file_bytes": 1048576000,
    "block_bytes": 1048576,
    "random_passes": true,
    "random_threads": 32,
    "random_block_bytes": 4096,
    "random_seconds": 6,
    "runs": 1
  },
  "target": {
    "folder": "E:\\Quellmor \"test\"",
    "file_system": "NTFS",
    "device": "Stick, 32 GB",
    "usb_speed": "usb3",
    "cache_bypass": "bypassed"
  },
  "runs": [
    {
      "run": 1,
      "outcome": "failed",
      "passes": [
        {
          "name": "sequential-write",
          "complete": false,
          "stopped": false,
          "bytes": 734003200,
          "elapsed_us": 0,
          "bytes_per_second": null
        }
      ],
      "failure": {
        "pass": "sequential-write",
        "operation": "write",
        "position": 734003200,
        "error": 112,
        "error_text": "There is not enough space on the disk.",
        "detail": ""
      }
    }
  ],
  "summary": []
}
)json";

const std::string kCsvHeader =
    "program,version,timestamp,folder,file_system,device,usb_speed,cache_bypass,file_bytes,block_bytes,"
    "random_threads,run,outcome,sequential_write_bytes,sequential_write_elapsed_us,sequential_write_bytes_"
    "per_second,sequential_read_bytes,sequential_read_elapsed_us,sequential_read_bytes_per_second,random_"
    "write_bytes,random_write_elapsed_us,random_write_bytes_per_second,random_write_accesses,random_write_"
    "iops,random_write_latency_p50_ns,random_write_latency_p90_ns,random_write_latency_p99_ns,random_write_"
    "latency_p99_9_ns,random_write_latency_max_ns,random_read_bytes,random_read_elapsed_us,random_read_bytes_"
    "per_second,random_read_accesses,random_read_iops,random_read_latency_p50_ns,random_read_latency_p90_ns,"
    "random_read_latency_p99_ns,random_read_latency_p99_9_ns,random_read_latency_max_ns,failure_pass,failure_"
    "operation,failure_position,failure_error,failure_error_text,failure_detail\n";
} // namespace

TEST(JsonReport, WholeOutputOfAPassingRun)
{
    EXPECT_EQ(kPassingJson, FormatJsonReport(SampleReport("pass")));
}

TEST(JsonReport, AFailureIsDataBesideThePassItEnded)
{
    EXPECT_EQ(kFailingJson, FormatJsonReport(SampleReport("fail")));
}

TEST(JsonReport, AnInterruptedRunKeepsItsFiguresButLeavesTheSummary)
{
    // The passing run's output, but for the stopped pass and the summary without it.
    std::string expected = kPassingJson;
    auto replace = [&expected](const std::string& from, const std::string& to) {
        const size_t at = expected.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        expected.replace(at, from.size(), to);
    };
    replace("\"outcome\": \"complete\"", "\"outcome\": \"interrupted\"");
    const std::string readPass =
        "\"name\": \"random-read\",\n          \"complete\": true,\n          \"stopped\": false";
    replace(readPass,
            "\"name\": \"random-read\",\n          \"complete\": false,\n          \"stopped\": true");
    const size_t summary = expected.find("{\n      \"pass\": \"random-read\"");
    ASSERT_NE(std::string::npos, summary);
    expected.replace(summary - 6, expected.find("\n  ]\n}") - summary + 6, "");
    EXPECT_EQ(expected, FormatJsonReport(SampleReport("stop")));
}

TEST(CsvReport, WholeOutputsWithQuotedFields)
{
    EXPECT_EQ(kCsvHeader +
                  "QuellmorCmd,1.0,2026-12-09T07:49:02Z,\"E:\\Quellmor \"\"test\"\"\",NTFS,\"Stick, 32 "
                  "GB\",usb3,bypassed,1048576000,1048576,32,1,complete,1048576000,4000000,262144000.0,"
                  "1048576000,2500000,419430400.0,491520000,6000000,81920000.0,120000,20000.0,1500000,"
                  "3000000,7500000,13500000,48000000,1228800000,6000000,204800000.0,300000,50000.0,620000,"
                  "1240000,3100000,5580000,48000000,,,,,,\n",
              FormatCsvReport(SampleReport("pass")));
    EXPECT_EQ(kCsvHeader +
                  "QuellmorCmd,1.0,2026-12-09T07:49:02Z,\"E:\\Quellmor \"\"test\"\"\",NTFS,\"Stick, 32 "
                  "GB\",usb3,bypassed,1048576000,1048576,32,1,failed,734003200,0,,,,,,,,,,,,,,,,,,,,,,,,,"
                  "sequential-write,write,734003200,112,There is not enough space on the disk.,\n",
              FormatCsvReport(SampleReport("fail")));
    EXPECT_EQ(kCsvHeader +
                  "QuellmorCmd,1.0,2026-12-09T07:49:02Z,\"E:\\Quellmor \"\"test\"\"\",NTFS,\"Stick, 32 "
                  "GB\",usb3,bypassed,1048576000,1048576,32,1,interrupted,1048576000,4000000,262144000.0,"
                  "1048576000,2500000,419430400.0,491520000,6000000,81920000.0,120000,20000.0,1500000,"
                  "3000000,7500000,13500000,48000000,1228800000,6000000,204800000.0,300000,50000.0,620000,"
                  "1240000,3100000,5580000,48000000,,,,,,\n",
              FormatCsvReport(SampleReport("stop")));
}

TEST(JsonReport, NamesAreEscapedAndStayValidUtf8)
{
    C_Report report = SampleReport("pass");
    // Quotes, backslashes and control characters escaped; UTF-8 kept as it is (a 2- and a
    // 4-byte sequence); bytes of a code page, a lone continuation byte, an overlong form and a
    // cut-off sequence each become U+FFFD.
    report.target.device = std::string("a\"b\\c\td\ne\x01 M\xC3\xBCller \xF0\x9F\x92\xBE "
                                       "\xFC\x80\xC0\xAF\xE2\x82");
    const std::string json = FormatJsonReport(report);
    EXPECT_NE(std::string::npos,
              json.find("\"device\": \"a\\\"b\\\\c\\td\\ne\\u0001 M\xC3\xBCller \xF0\x9F\x92\xBE "
                        "\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\",\n"))
        << json;
    // In CSV a line break keeps the field in quotes.
    report.target.device = "two\nlines";
    EXPECT_NE(std::string::npos, FormatCsvReport(report).find(",NTFS,\"two\nlines\",usb3,"));
}

TEST(ReportSummary, MedianBestAndSpreadOverTheRunsThatCompletedAPass)
{
    C_Report report;
    const double rates[] = {100e6, 300e6, 200e6, 250e6};
    const uint64_t p99[] = {900000, 400000, 700000, 500000};
    for (int i = 0; i < 4; ++i) {
        C_ReportRun run;
        run.passes.push_back(SamplePass("sequential-write", 1 << 30, 1000000, rates[i]));
        C_ReportPass random = SampleRandomPass("random-read", 1000, rates[i] / 1e4, 100000);
        random.latency.p99 = p99[i];
        if (i == 3) { // stopped: not a figure to compare
            random.result.stopped = 1;
            random.result.complete = 0;
        }
        run.passes.push_back(random);
        report.runs.push_back(run);
    }
    C_ReportRun failed; // a run that failed in its first pass gives no figure at all
    failed.passes.push_back(SamplePass("sequential-write", 0, 0, 0));
    failed.passes.back().result.failure.op = kOpOpen;
    report.runs.push_back(failed);

    const std::vector<C_ReportFigure> f = SummariseRuns(report);
    ASSERT_EQ(5u, f.size());
    EXPECT_EQ("sequential-write", f[0].pass);
    EXPECT_EQ(4u, f[0].runs);
    EXPECT_DOUBLE_EQ(225e6, f[0].median); // the middle two of four
    EXPECT_DOUBLE_EQ(300e6, f[0].best);
    EXPECT_DOUBLE_EQ(200e6 / 225e6 * 100, f[0].spreadPercent);
    EXPECT_EQ("random-read", f[1].pass);
    EXPECT_EQ("bytes_per_second", f[1].figure);
    EXPECT_EQ(3u, f[1].runs);
    EXPECT_DOUBLE_EQ(20000.0 * 4096, f[1].median);
    EXPECT_EQ("iops", f[2].figure);
    EXPECT_DOUBLE_EQ(30000, f[2].best);
    EXPECT_EQ("latency_p99_ns", f[4].figure);
    EXPECT_DOUBLE_EQ(700000, f[4].median);
    EXPECT_DOUBLE_EQ(400000, f[4].best); // the lowest latency is the best
    EXPECT_DOUBLE_EQ(500000.0 / 700000 * 100, f[4].spreadPercent);

    EXPECT_STREQ("interrupted", RunOutcome(report.runs[3]));
    EXPECT_STREQ("failed", RunOutcome(report.runs[4]));
    EXPECT_STREQ("incomplete", RunOutcome(C_ReportRun()));
}

TEST(Report, TimestampsAndNames)
{
    EXPECT_EQ("1970-01-01T00:00:00Z", FormatUtcTimestamp(0));
    EXPECT_EQ("1969-12-31T23:59:59Z", FormatUtcTimestamp(-1));
    EXPECT_EQ("2000-02-29T23:59:59Z", FormatUtcTimestamp(951868799));
    EXPECT_EQ("2026-12-09T07:49:02Z", FormatUtcTimestamp(1796802542));
    EXPECT_EQ("2100-03-01T00:00:00Z", FormatUtcTimestamp(4107542400));

    EXPECT_STREQ("bypassed", CacheBypassName(kBypassDevice));
    EXPECT_STREQ("refused", CacheBypassName(kBypassRefused));
    EXPECT_STREQ("ignored", CacheBypassName(kBypassIgnored));
    EXPECT_STREQ("memory", CacheBypassName(kBypassMemory));
    EXPECT_EQ(nullptr, CacheBypassName(-1));
    EXPECT_STREQ("usb2", UsbSpeedName(kUsbHighSpeed));
    EXPECT_STREQ("usb3-on-usb2-controller", UsbSpeedName(kUsb3OnUsb2));
    EXPECT_EQ(nullptr, UsbSpeedName(-1));
    EXPECT_STREQ("seek-start", EngineOpName(kOpSeekStart));
    EXPECT_STREQ("sink-write", EngineOpName(kOpSinkWrite));
}

TEST(JsonReport, ACheckCarriesItsVerdictAndOtherTestsDoNot)
{
    const std::string json = FormatJsonReport(SampleCheckReport("lost"));
    EXPECT_NE(json.find("    \"runs\": 1,\n    \"verify\": true,\n    \"fill\": true\n  },"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"(      "failure": null,
      "verify": {
        "intact": false,
        "checked_bytes": 33449574400,
        "intact_bytes": 8283750400,
        "moved_bytes": 25165824000,
        "lost_bytes": 0,
        "changed_bytes": 0,
        "first_bad_byte": 8283750400,
        "trusted_bytes": 8199864320
      }
    }
  ],)"),
              std::string::npos)
        << json;
    EXPECT_NE(FormatJsonReport(SampleCheckReport("check")).find("\"first_bad_byte\": null,"),
              std::string::npos);
    EXPECT_EQ(FormatJsonReport(SampleReport("pass")).find("verify"), std::string::npos);

    const std::string csv = FormatCsvReport(SampleCheckReport("lost"));
    EXPECT_NE(
        csv.find(",failure_detail,verify_intact,verify_checked_bytes,verify_intact_bytes,verify_moved_bytes,"
                 "verify_lost_bytes,verify_changed_bytes,verify_first_bad_byte,verify_trusted_bytes\n"),
        std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",,,,,,false,33449574400,8283750400,25165824000,0,0,8283750400,8199864320\n"),
              std::string::npos)
        << csv;
    EXPECT_EQ(FormatCsvReport(SampleReport("pass")).find("verify"), std::string::npos);
    EXPECT_STREQ("free-space", EngineOpName(kOpFreeSpace));
}
