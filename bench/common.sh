# Shared by the benchmark scripts: building the tool under test, rates out of our result
# texts and out of fio's reports, alternating the two sides' runs and the figures over the
# runs. Sourced after tools/common.sh.

# Builds one target of the Windows build this machine runs (tests off) and points
# wine-run.sh at its prefix.
bench_build() {   # target
    "$root/tools/install-deps.sh"
    choose_windows_build
    export BUILD_TARGETS=$1
    if [ "$run_arch" = win32 ]; then
        configure_and_build win32 mingw-i686 -DQM_BUILD_TESTS=OFF
    else
        configure_and_build win64 mingw-x86_64 -DQM_BUILD_TESTS=OFF
    fi
    export QM_WINEPREFIX="$root/build/$run_arch/wineprefix" QM_WINE="$run_wine"
}
# The figures of repeated runs (medians, ratios, spreads) come from one place: bench/stats.py.
bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bench_stats() {   # figure arguments... (see bench/stats.py)
    /usr/bin/python3 "$bench_dir/stats.py" "$@"
}
to_bytes() {   # "45.3 MByte/sec" -> bytes per second
    bench_stats bytes "$1"
}
fio_bytes() {   # fio JSON report, "read" or "write" -> bytes per second of the first job
    bench_stats fio "$1" "$2" bw_bytes
}
# "figure NAME VALUE" lines of our tools' output: the value of NAME.
figure() {   # output-file name
    tr -d '\r' <"$1" | awk -v n="$2" '$1 == "figure" && $2 == n { print $3 }'
}
# One round of a comparison run alternately: odd rounds run ours first, even rounds the
# peer, with SETTLE (sync, or : for nothing) before each side. Alternating spreads what one
# side leaves behind (the disk's write-back of its file) over both sides alike.
bench_round() {   # round settle ours peer [arguments of both]...
    local round=$1 settle=$2 ours=$3 peer=$4
    shift 4
    if [ $((round % 2)) = 1 ]; then
        $settle; "$ours" "$@"; $settle; "$peer" "$@"
    else
        $settle; "$peer" "$@"; $settle; "$ours" "$@"
    fi
}
