#!/bin/bash
# Paint speed of the graph control under Wine and Xvfb: the time of one full paint of 5000
# points and the paints per second while a worker adds values, at the graph window's default
# size and at a maximised size, over several runs (medians). There is no peer program for a
# graph; the ratio printed is one paint's share of a 60 Hz frame (well under 1 is the aim).
# Usage: bench/graph.sh [runs]
set -euo pipefail
. "$(dirname "$0")/../tools/common.sh"
. "$(dirname "$0")/common.sh"
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
    # The "graph NAME VALUE" and "ratio NAME VALUE" figures of every run, by name in the order
    # they first appear.
    names=()
    declare -A values=()
    for run in "${out[@]}"; do
        IFS=';' read -ra lines <<<"$run"
        for line in "${lines[@]}"; do
            read -ra parts <<<"$line"
            [ "${#parts[@]}" = 3 ] && [ "${parts[1]}" != surface ] || continue
            [ "${parts[0]}" = graph ] || [ "${parts[0]}" = ratio ] || continue
            name="${parts[0]} ${parts[1]}"
            [ -n "${values[$name]+set}" ] || names+=("$name")
            values[$name]+=" ${parts[2]}"
        done
    done
    read -r w h <<<"$size"
    echo "plot ${w}x${h}, ${#out[@]} runs"
    for name in "${names[@]}"; do
        echo "$name $(bench_stats median 3 "${values[$name]}")   (runs: $(bench_stats values 1 %g "${values[$name]}"))"
    done
    unset values
done
