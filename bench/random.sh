#!/bin/bash
# Random 4 KiB transfers with 32 in flight: our engine (QuellmorBench under Wine) against fio
# on the same folder in the same run. Prints "ratio NAME VALUE" lines (ours / fio).
#   bench/random.sh [folder] [size MiB]
# BUILD names a 64-bit Windows build folder (default build/bench-win64; configured and built
# here when QuellmorBench is missing).
# Under Wine the cache bypass is ignored, so both sides run buffered: the reads come from the
# page cache and the figures compare per-access overhead, not the disk.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
folder=${1:-}
size=${2:-64}
build=${BUILD:-$root/build/bench-win64}
wine=/usr/lib/wine/wine64
runtime=6

own_folder=""
if [ -z "$folder" ]; then
    folder=$(mktemp -d /tmp/qm-random-bench.XXXXXX)
    own_folder=$folder
fi
folder=$(cd "$folder" && pwd)
work=$(mktemp -d /tmp/qm-random-out.XXXXXX)
cleanup() {
    [ -n "${QM_WINEPREFIX:-}" ] && WINEPREFIX=$QM_WINEPREFIX "$(dirname "$wine")/wineserver" -k 2>/dev/null
    rm -rf "$folder/fio.bin" "$folder/QuellmorTest"
    [ -n "$own_folder" ] && rmdir "$own_folder" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

tool=$build/bench/engine/QuellmorBench.exe
if [ ! -x "$tool" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" -j2 --target QuellmorBench >/dev/null
fi
export QM_WINEPREFIX=$build/wineprefix QM_WINE=$wine

# Z: is the Linux root in every prefix.
winfolder="Z:$(echo "$folder" | tr / '\\')"

# The wineserver of our prefix does part of every transfer's work; its CPU time is read from
# /proc so the report can show where the time goes.
"$root/cmake/wine-prefix.sh" "$QM_WINEPREFIX"
# One server for the whole run (it would otherwise end between the passes).
WINEPREFIX=$QM_WINEPREFIX "$(dirname "$wine")/wineserver" -w
WINEPREFIX=$QM_WINEPREFIX "$(dirname "$wine")/wineserver" -p 300
sleep 1
server_pid=""
for p in /proc/[0-9]*; do
    case "$(readlink "$p/exe" 2>/dev/null)" in */wineserver*) ;; *) continue ;; esac
    if tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$QM_WINEPREFIX"; then
        server_pid=${p#/proc/}
    fi
done
server_cpu() {   # seconds of user + system time of the wineserver
    if [ -n "$server_pid" ] && [ -r "/proc/$server_pid/stat" ]; then
        awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); printf "%.3f\n", ($12 + $13) / hz }' \
            "/proc/$server_pid/stat"
    else
        echo 0
    fi
}

run_ours() {   # direction
    local before after
    before=$(server_cpu)
    "$root/cmake/wine-run.sh" "$tool" "$winfolder" "$size" "random-$1" >"$work/ours-$1.txt"
    after=$(server_cpu)
    local server accesses process
    server=$(echo "$after - $before" | bc -l)
    accesses=$(figure "$work/ours-$1.txt" "random-$1-accesses")
    process=$(figure "$work/ours-$1.txt" "random-$1-cpu-seconds")
    {
        echo "figure server-cpu-seconds $server"
        [ -n "$accesses" ] && [ "$accesses" != 0 ] &&
            echo "figure random-$1-cpu-incl-server-per-access-us $(echo "($process + $server) * 1000000 / $accesses" | bc -l)"
        true
    } >>"$work/ours-$1.txt"
}

run_fio() {   # direction
    local rw=randread extra=""
    [ "$1" = write ] && rw=randwrite && extra="--end_fsync=1"
    /usr/bin/time -f "%U %S" -o "$work/fio-$1.time" \
        fio --name="random-$1" --filename="$folder/fio.bin" --size="${size}M" --bs=4k --rw=$rw \
            --ioengine=psync --direct=0 --numjobs=32 --thread --time_based --runtime=$runtime \
            --norandommap --group_reporting --output-format=json $extra >"$work/fio-$1.json"
    local side=read json="$work/fio-$1.json" ios cpu
    [ "$1" = write ] && side=write
    ios=$(bench_stats fio "$json" $side total_ios)
    cpu=$(awk '{ printf "%.3f", $1 + $2 }' "$work/fio-$1.time")
    {
        echo "figure random-$1-iops $(bench_stats fio "$json" $side iops)"
        echo "figure random-$1-accesses $ios"
        echo "figure random-$1-cpu-seconds $cpu"
        echo "figure random-$1-cpu-per-access-us $(echo "$cpu * 1000000 / ($ios + ($ios == 0))" | bc -l)"
    } >"$work/fio-$1.txt"
}

# fio lays its file out before it is timed.
fio --name=layout --filename="$folder/fio.bin" --size="${size}M" --rw=write --bs=1M \
    --create_only=1 >/dev/null

for d in write read; do
    run_ours $d
    run_fio $d
done

ratio() {   # name ours-file fio-file figure
    local a b
    a=$(figure "$2" "$4"); b=$(figure "$3" "$4")
    if [ -z "$a" ] || [ -z "$b" ] || [ "$(echo "$b == 0" | bc)" = 1 ]; then
        echo "ratio $1 n/a"
    else
        echo "ratio $1 $(bench_stats ratio 3 "$a" "$b")"
    fi
}

echo "# folder $folder, file ${size} MiB, 32 threads/jobs, 4 KiB, ${runtime} s, buffered"
for d in write read; do
    for f in iops accesses cpu-seconds cpu-per-access-us; do
        echo "# ours random-$d-$f $(figure "$work/ours-$d.txt" "random-$d-$f")" \
             " fio $(figure "$work/fio-$d.txt" "random-$d-$f")"
    done
    echo "# ours random-$d wineserver-cpu-seconds $(figure "$work/ours-$d.txt" server-cpu-seconds)"
    tr -d '\r' <"$work/ours-$d.txt" | grep '^text' | sed 's/^/# ours /'
done
for d in write read; do
    ratio "random-$d-iops" "$work/ours-$d.txt" "$work/fio-$d.txt" "random-$d-iops"
    ratio "random-$d-cpu-per-access" "$work/ours-$d.txt" "$work/fio-$d.txt" "random-$d-cpu-per-access-us"
done
# The same with the wineserver's share of our accesses added (Wine's cost, not the engine's).
for d in write read; do
    a=$(figure "$work/ours-$d.txt" "random-$d-cpu-incl-server-per-access-us")
    b=$(figure "$work/fio-$d.txt" "random-$d-cpu-per-access-us")
    if [ -n "$a" ] && [ -n "$b" ]; then
        echo "ratio random-$d-cpu-per-access-incl-wineserver $(bench_stats ratio 3 "$a" "$b")"
    fi
done
