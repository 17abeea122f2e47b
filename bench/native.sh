#!/bin/bash
# The device measured natively: our console program (sequential 1 MiB) and our random engine
# (4 KiB, 32 threads) on the POSIX class library against fio with --direct=1 on the same
# folder, file size and block size, alternating who goes first, several runs. Prints
#   ratio native-seq-write VALUE            (ours / fio, medians)
#   ratio native-seq-read VALUE
#   ratio native-random-read-iops VALUE
#   ratio native-random-write-iops VALUE
# and the spread of each side's figures over the runs, and whether our median lies within 5%
# of fio's. Like for like: the writes go to a file whose blocks are allocated but not yet
# written (the engines size their file first, and sizing allocates), the random reads read a
# file written in full on both sides, so neither reads holes. Each figure is taken from both
# sides back to back, the order alternating from run to run, because this storage's speed
# drifts over minutes. The engine's random positions are 32768 evenly spread blocks; on a
# 128 MiB file those are all the blocks, the set fio draws from, so the random passes use that
# size by default.
# With --throttle, both sides run on a device of known speed instead (bench/throttle.sh): an
# ext4 loop volume held by the blkio cgroup to READ and WRITE MiB/s and READ_IOPS reads a
# second, so the figures do not drift; the sequential file is sized so that each pass lasts
# four seconds or more (the throttle lets about a tenth of a second's worth through at once).
# Then it also prints each side's median against the throttle:
#   throttled native-seq-read ours/limit VALUE fio/limit VALUE
# (4 KiB random writes are held by the write rate, to WRITE * 256 IOPS).
# Usage: bench/native.sh [folder] [size-MiB] [runs] [random-size-MiB]
#        bench/native.sh --throttle READ WRITE READ_IOPS [runs]   (as root)
set -euo pipefail
. "$(dirname "$0")/../tools/common.sh"
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/throttle.sh"
throttled=""
if [ "${1:-}" = --throttle ]; then
    [ $# -ge 4 ] || { echo "usage: bench/native.sh --throttle READ WRITE READ_IOPS [runs]" >&2; exit 2; }
    throttled="$2 $3 $4"
    size=$((4 * ($2 > $3 ? $2 : $3)))
    runs=${5:-2}
    rsize=128
else
    folder=${1:-$root/build/testdrive}
    size=${2:-2048}
    runs=${3:-8}
    rsize=${4:-128}
fi
runtime=6
"$root/tools/install-deps.sh"
mkdir -p "$root/build"
build_native_release "QuellmorCmd QuellmorBench"
trap throttle_down EXIT
if [ -n "$throttled" ]; then
    # shellcheck disable=SC2086
    throttle_up $throttled $((size + rsize + 160))
    folder=$throttle_mount
fi
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
cmd="$root/build/native-release/cmd/QuellmorCmd"
bench="$root/build/native-release/bench/engine/QuellmorBench"
work=$(mktemp -d /tmp/qm-native-bench.XXXXXX)
testfile="$folder/QuellmorTest/QuellmorTest.bin"
cleanup() { rm -rf "$work" "$folder/fio.bin" "$folder/QuellmorTest"; throttle_down; }
trap cleanup EXIT

fill() {   # path: the whole random file written, past the page cache
    dd if=/dev/zero of="$1" bs=1M count="$rsize" oflag=direct conv=notrunc status=none
}
fio_random() {   # rw output
    fio --name=random --filename="$folder/fio.bin" --size="${rsize}M" --bs=4k --rw="$1" --ioengine=psync \
        --direct=1 --numjobs=32 --thread --time_based --runtime=$runtime --norandommap --group_reporting \
        --output-format=json >"$2"
}
fio_iops() {   # json side
    bench_stats fio "$1" "$2" iops
}

declare -A got
add() { got[$1]="${got[$1]:-} $2"; }

ours_seq() {
    (cd "$work" && rm -f QuellmorCmd.txt && "$cmd" -d "$folder" -s "$size" -b 1024 >"$work/cmd.txt")
    local line
    line=$(tail -n 1 "$work/QuellmorCmd.txt")
    add ours-seq-read "$(to_bytes "$(echo "$line" | cut -f3)")"
    add ours-seq-write "$(to_bytes "$(echo "$line" | cut -f6)")"
}
fio_seq() {
    rm -f "$folder/fio.bin"
    fallocate -l "${size}M" "$folder/fio.bin"
    fio --name=seqw --filename="$folder/fio.bin" --rw=write --bs=1M --size="${size}M" --ioengine=psync \
        --direct=1 --end_fsync=1 --output-format=json >"$work/fw.json"
    fio --name=seqr --filename="$folder/fio.bin" --rw=read --bs=1M --size="${size}M" --ioengine=psync \
        --direct=1 --output-format=json >"$work/fr.json"
    add fio-seq-write "$(fio_bytes "$work/fw.json" write)"
    add fio-seq-read "$(fio_bytes "$work/fr.json" read)"
    rm -f "$folder/fio.bin"
}
ours_random_write() {
    "$bench" "$folder" "$rsize" random-write >"$work/rw.txt"
    add ours-random-write "$(figure "$work/rw.txt" random-write-iops)"
    bypass=$(figure "$work/rw.txt" cache-bypass)
    rm -rf "$folder/QuellmorTest"
}
fio_random_write() {
    rm -f "$folder/fio.bin"
    fallocate -l "${rsize}M" "$folder/fio.bin"
    fio_random randwrite "$work/frw.json"
    add fio-random-write "$(fio_iops "$work/frw.json" write)"
    rm -f "$folder/fio.bin"
}
ours_random_read() {
    mkdir -p "$(dirname "$testfile")"
    fill "$testfile"
    "$bench" "$folder" "$rsize" random-read >"$work/rr.txt"
    add ours-random-read "$(figure "$work/rr.txt" random-read-iops)"
}
fio_random_read() {
    rm -f "$folder/fio.bin"
    fill "$folder/fio.bin"
    fio_random randread "$work/frr.json"
    add fio-random-read "$(fio_iops "$work/frr.json" read)"
    rm -f "$folder/fio.bin"
}

bypass=0
for i in $(seq "$runs"); do
    for what in seq random_write random_read; do
        bench_round "$i" sync "ours_$what" "fio_$what"
    done
done

echo "# folder $folder ($(stat -f -c %T "$folder")), file $size MiB (random $rsize MiB), $runs runs alternating, fio $(fio --version)"
[ "$bypass" = 0 ] || echo "# WARNING: the cache bypass does not reach a device here (kind $bypass); these are cache figures"
names=(native-seq-write native-seq-read native-random-read-iops native-random-write-iops)
keys=(seq-write seq-read random-read random-write)
units=(MiB/s MiB/s IOPS IOPS)
scales=(1048576 1048576 1 1)
for i in 0 1 2 3; do
    printf "# ours %-26s %s: %s\n" "${names[i]}" "${units[i]}" \
        "$(bench_stats values "${scales[i]}" %.0f "${got[ours-${keys[i]}]}")"
    printf "# fio  %-26s %s: %s\n" "${names[i]}" "${units[i]}" \
        "$(bench_stats values "${scales[i]}" %.0f "${got[fio-${keys[i]}]}")"
done
# Each run took both figures back to back; the median of those pairs' ratios is less exposed
# to the storage's drift than the ratio of the medians.
for i in 0 1 2 3; do
    echo "# paired ${names[i]} $(bench_stats paired 3 "${got[ours-${keys[i]}]}" "${got[fio-${keys[i]}]}")"
done
for i in 0 1 2 3; do
    echo "ratio ${names[i]} $(bench_stats ratio 3 "${got[ours-${keys[i]}]}" "${got[fio-${keys[i]}]}")"
done
for i in 0 1 2 3; do
    echo "spread ours ${names[i]} $(bench_stats spread 1 "${got[ours-${keys[i]}]}")%"
    echo "spread fio ${names[i]} $(bench_stats spread 1 "${got[fio-${keys[i]}]}")%"
done
for i in 0 1 2 3; do
    echo "within-5% ${names[i]} $(bench_stats within 5 "${got[ours-${keys[i]}]}" "${got[fio-${keys[i]}]}")"
done
if [ -n "$throttled" ]; then
    read -r tread twrite tiops <<<"$throttled"
    limits=($((twrite * 1048576)) $((tread * 1048576)) "$tiops" $((twrite * 256)))
    echo "# throttle: read $tread MiB/s, write $twrite MiB/s, read $tiops IOPS"
    for i in 0 1 2 3; do
        echo "throttled ${names[i]} ours/limit $(bench_stats ratio 3 "${got[ours-${keys[i]}]}" "${limits[i]}")" \
            "fio/limit $(bench_stats ratio 3 "${got[fio-${keys[i]}]}" "${limits[i]}")"
    done
fi
