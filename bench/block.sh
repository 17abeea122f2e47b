#!/bin/bash
# Linear block read and write of an image file through a drive letter (the block engine
# over \\.\X:) against fio on the same image file with the same transfer size, run
# alternately several times. Prints the medians and
#   ratio block-read VALUE    (ours / fio)
#   ratio block-write VALUE
# Under Wine both sides run buffered: the image's blocks come from and go to the page cache
# (fio with --invalidate=0 and no final fsync, as the block run does not flush either).
# Usage: bench/block.sh [size-MiB] [transfer-bytes] [runs]
set -euo pipefail
. "$(dirname "$0")/../tools/common.sh"
. "$(dirname "$0")/common.sh"
size=${1:-512}
transfer=${2:-1048576}
runs=${3:-5}
bench_build QuellmorBench
exe=$(find "$root/build/$run_arch/bench/engine" -name QuellmorBench.exe | head -n 1)
work="$root/build/bench-block"
rm -rf "$work"; mkdir -p "$work"
image="$work/x.img"
head -c "$((size * 1048576))" /dev/urandom >"$image"
# A prefix of its own: drive X: opens the image as a raw device.
export QM_WINEPREFIX="$work/prefix" QM_WINE="$run_wine"
"$root/cmake/wine-prefix.sh" "$QM_WINEPREFIX"
WINEPREFIX=$QM_WINEPREFIX wineserver -w 2>/dev/null || true
ln -sfn "$image" "$QM_WINEPREFIX/dosdevices/x:"
ln -sfn "$image" "$QM_WINEPREFIX/dosdevices/x::"

declare -A ours_rate fio_rate
run_ours() {   # read|write
    "$root/cmake/wine-run.sh" "$exe" '\\.\X:' "$size" "block-$1" $((transfer / 1024)) >"$work/ours.txt"
    ours_rate[$1]+=" $(figure "$work/ours.txt" "block-$1-bytes-per-sec")"
}
run_fio() {   # read|write
    fio --name="block$1" --filename="$image" --rw="$1" --bs="$transfer" --size="${size}M" \
        --ioengine=psync --invalidate=0 --output-format=json >"$work/f.json"
    fio_rate[$1]+=" $(fio_bytes "$work/f.json" "$1")"
}
# Warm the page cache once so that neither side pays for the first read from the disk.
cat "$image" >/dev/null
for i in $(seq "$runs"); do
    for dir in read write; do
        bench_round "$i" : run_ours run_fio $dir
    done
done
echo "ours  block-read  MiB/s: $(bench_stats values 1048576 %.0f "${ours_rate[read]}")"
echo "fio   block-read  MiB/s: $(bench_stats values 1048576 %.0f "${fio_rate[read]}")"
echo "ours  block-write MiB/s: $(bench_stats values 1048576 %.0f "${ours_rate[write]}")"
echo "fio   block-write MiB/s: $(bench_stats values 1048576 %.0f "${fio_rate[write]}")"
echo "ratio block-read $(bench_stats ratio 2 "${ours_rate[read]}" "${fio_rate[read]}")"
echo "ratio block-write $(bench_stats ratio 2 "${ours_rate[write]}" "${fio_rate[write]}")"
rm -f "$QM_WINEPREFIX/dosdevices/x:" "$QM_WINEPREFIX/dosdevices/x::"
rm -f "$image"
