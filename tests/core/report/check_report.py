"""Reads a report from standard input with Python's own parsers and checks the keys, columns and
types that other programs rely on. Arguments: the format (json, csv) and the run's kind (pass,
fail, stop; check, lost: a check whose data came back whole or not), whose outcome the report
must give."""
import csv
import io
import json
import sys

OUTCOMES = {"pass": "complete", "fail": "failed", "stop": "interrupted", "check": "complete",
            "lost": "complete"}
VERIFY_BYTES = ["checked_bytes", "intact_bytes", "moved_bytes", "lost_bytes", "changed_bytes",
                "trusted_bytes"]
PASS_NAMES = ["sequential-write", "sequential-read", "random-write", "random-read"]
LATENCY_KEYS = ["count", "min", "p50", "p90", "p99", "p99_9", "max"]
NUMBER = (int, float)
USB_SPEEDS = ["usb1", "usb2", "usb3-on-usb2-controller", "usb3-at-usb2-speed", "usb3"]
CACHE_BYPASS = ["bypassed", "refused", "ignored", "memory"]


def expect(condition, what):
    if not condition:
        sys.exit("report check failed: " + what)


def has(obj, key, kind):
    expect(isinstance(obj, dict) and key in obj, "missing key %r" % key)
    expect(isinstance(obj[key], kind) and not (kind == NUMBER and isinstance(obj[key], bool)),
           "%r is %r" % (key, obj[key]))
    return obj[key]


def check_verify(verify, kind):
    """A check's verdict as data: the byte counts add up, and the first bad byte is there
    exactly when not everything came back."""
    for key in VERIFY_BYTES:
        has(verify, key, int)
    intact = has(verify, "intact", bool)
    expect(intact == (kind == "check"), "intact %r" % intact)
    first = verify["first_bad_byte"] if "first_bad_byte" in verify else "absent"
    expect((first is None) == intact and (first is None or isinstance(first, int)), "first_bad_byte")
    parts = sum(verify[k] for k in ("intact_bytes", "moved_bytes", "lost_bytes", "changed_bytes"))
    expect(parts == verify["checked_bytes"], "the kinds add up to what was checked")
    expect(verify["trusted_bytes"] <= verify["intact_bytes"], "trusted within the intact bytes")


def check_json(text, kind):
    report = json.loads(text)
    expect(has(report, "format", str) == "quellmor-report", "format")
    has(report, "format_version", int)
    for key in ("program", "version", "timestamp"):
        has(report, key, str)
    settings = has(report, "settings", dict)
    for key in ("file_bytes", "block_bytes", "runs"):
        has(settings, key, int)
    has(settings, "random_passes", bool)
    checking = kind in ("check", "lost")
    expect(settings.get("verify", False) == checking, "verify only for a check")
    if checking:
        has(settings, "fill", bool)
    target = has(report, "target", dict)
    for key in ("folder", "file_system", "device"):
        has(target, key, str)
    # Every run that reached its passes knows the file system of its folder.
    expect(target["file_system"] != "", "file_system is known")
    for key, names in (("usb_speed", USB_SPEEDS), ("cache_bypass", CACHE_BYPASS)):
        expect(key in target and (target[key] is None or target[key] in names), "%s %r" % (key, target.get(key)))
    runs = has(report, "runs", list)
    expect(1 <= len(runs) <= settings["runs"], "an entry per run that started")
    for run in runs:
        expect(has(run, "outcome", str) == OUTCOMES[kind], "outcome %r" % run["outcome"])
        for p in has(run, "passes", list):
            expect(has(p, "name", str) in PASS_NAMES, "pass name")
            has(p, "complete", bool)
            has(p, "stopped", bool)
            has(p, "bytes", int)
            has(p, "elapsed_us", int)
            expect("bytes_per_second" in p, "bytes_per_second")
            if p["name"].startswith("random-"):
                has(p, "accesses", int)
                latency = has(p, "latency_ns", dict)
                for key in LATENCY_KEYS:
                    has(latency, key, int)
        failure = run.get("failure", "absent")
        if kind == "fail":
            for key in ("pass", "operation", "error_text", "detail"):
                has(failure, key, str)
            for key in ("position", "error"):
                has(failure, key, int)
        else:
            expect(failure is None, "failure is null")
        if checking:
            check_verify(has(run, "verify", dict), kind)
        else:
            expect("verify" not in run, "no verdict without a check")
    for entry in has(report, "summary", list):
        has(entry, "pass", str)
        has(entry, "runs", int)
        expect(isinstance(has(entry, "bytes_per_second", dict)["median"], NUMBER), "summary median")


def check_csv(text, kind):
    rows = list(csv.reader(io.StringIO(text, newline="")))
    expect(len(rows) == 2, "a header and one run")
    header, row = rows
    expect(len(row) == len(header), "as many fields as columns")
    fields = dict(zip(header, row))
    expect(fields["outcome"] == OUTCOMES[kind], "outcome")
    for name in PASS_NAMES:
        prefix = name.replace("-", "_") + "_"
        for key in ("bytes", "elapsed_us", "bytes_per_second"):
            expect(prefix + key in fields, prefix + key)
    expect(fields["file_system"] != "", "file_system is known")
    expect(fields["usb_speed"] in USB_SPEEDS + [""], "usb_speed")
    expect(float(fields["sequential_write_bytes"]) > 0, "figures are numbers")
    expect((fields["failure_operation"] != "") == (kind == "fail"), "failure only when one ended the run")
    checking = kind in ("check", "lost")
    expect(("verify_intact" in fields) == checking, "verify columns only for a check")
    if checking:
        verify = {key: int(fields["verify_" + key]) for key in VERIFY_BYTES}
        verify["intact"] = {"true": True, "false": False}[fields["verify_intact"]]
        first = fields["verify_first_bad_byte"]
        verify["first_bad_byte"] = int(first) if first else None
        check_verify(verify, kind)


text = sys.stdin.read()
(check_json if sys.argv[1] == "json" else check_csv)(text, sys.argv[2])
