"""Figures of repeated benchmark runs, for the scripts in bench/ (through bench/common.sh).

A list of runs is one argument of numbers separated by blanks, in run order.
  values SCALE FORMAT RUNS   each run divided by SCALE, printed with FORMAT ("%.0f", "%g")
  median DIGITS RUNS         the median
  ratio DIGITS OURS PEER     median of ours / median of the peer's
  paired DIGITS OURS PEER    median of the per-run ratios ours / peer (runs where the peer has 0 left out)
  spread DIGITS RUNS         (largest - smallest) / median in percent; 0 when the median is 0
  within PERCENT OURS PEER   "yes" when the ratio of the medians lies within PERCENT of 1, else "no"
and single figures out of the two sides' outputs:
  bytes TEXT                 a rate text of ours ("45.3 MByte/sec") in bytes per second
  fio REPORT SIDE FIELD      a field of the first job's read or write side in fio's JSON report
                             (bw_bytes, iops, total_ios)
"""
import json
import statistics
import sys


def runs(text):
    return [float(x) for x in text.split()]


def main(argv):
    what, args = argv[1], argv[2:]
    if what == "bytes":
        t = args[0].split()
        if len(t) < 2:
            return "0"
        units = {"B": 1, "k": 1024, "M": 1024**2, "G": 1024**3, "T": 1024**4, "P": 1024**5}
        return "%.0f" % (float(t[0]) * units.get(t[1][0], 1))
    if what == "fio":
        with open(args[0]) as report:
            return str(json.load(report)["jobs"][0][args[1]][args[2]])
    if what == "values":
        scale, form = float(args[0]), args[1]
        return " ".join(form % (v / scale) for v in runs(args[2]))
    if what == "within":
        r = statistics.median(runs(args[1])) / statistics.median(runs(args[2]))
        return "yes" if abs(r - 1) <= float(args[0]) / 100 else "no"
    digits = "%." + args[0] + "f"
    if what == "median":
        return digits % statistics.median(runs(args[1]))
    if what == "ratio":
        return digits % (statistics.median(runs(args[1])) / statistics.median(runs(args[2])))
    if what == "paired":
        return digits % statistics.median(o / p for o, p in zip(runs(args[1]), runs(args[2])) if p)
    if what == "spread":
        v = runs(args[1])
        m = statistics.median(v)
        return digits % (100.0 * (max(v) - min(v)) / m if m else 0.0)
    raise SystemExit("stats.py: unknown figure " + what)


if __name__ == "__main__":
    print(main(sys.argv))
