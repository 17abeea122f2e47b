#!/bin/bash
# Paint speed of the graph control under Wine and Xvfb: the time of one full paint of 5000
# points and the paints per second while a worker adds values, at the graph window's default
# size and at a maximised size, over several runs (medians). There is no peer program for a
# graph; the ratio printed is one paint's share of a 60 Hz frame (well under 1 is the aim).
# Usage: bench/graph.sh [runs]
set -euo pipefail
. "$(dirname "$0")/../tools/common.sh"
runs=${1:-3}
"$root/tools/install-deps.sh"
choose_windows_build
# Only the benchmark is built; the folder keeps whatever test setting it has.
BUILD_TARGETS=GraphBench configure_and_build "$run_arch" "$run_toolchain"
exe="$root/build/$run_arch/bench/graph/GraphBench.exe"
export QM_WINEPREFIX="$root/build/$run_arch/wineprefix" QM_WINE="$run_wine"

display=""
for n in $(seq 141 170); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=":$display"
sleep 1

for size in "544 244" "1264 985"; do
    out=()
    for i in $(seq "$runs"); do
        # shellcheck disable=SC2086
        out+=("$("$root/cmake/wine-run.sh" "$exe" $size | tr -d '\r' | tr '\n' ';')")
    done
    /usr/bin/python3 - "$size" "${out[@]}" <<'PY'
import statistics, sys
size, runs = sys.argv[1], sys.argv[2:]
figures = {}
for run in runs:
    for line in run.split(";"):
        parts = line.split()
        if len(parts) == 3 and parts[0] in ("graph", "ratio") and parts[1] != "surface":
            figures.setdefault(parts[0] + " " + parts[1], []).append(float(parts[2]))
w, h = size.split()
print("plot %sx%s, %d runs" % (w, h, len(runs)))
for name, values in figures.items():
    print("%s %.3f   (runs: %s)" % (name, statistics.median(values), " ".join("%g" % v for v in values)))
PY
done
