#!/bin/bash
# File test rates of FileAccess's passes (the sequential engine, buffered) against fio in the
# same folder, with the same size and block size (64 KiB and 1 MiB), run alternately several times. Prints the medians per block size and
#   ratio file-write VALUE   (ours / fio, the lower of the two block sizes)
#   ratio file-read VALUE
# Under Wine the cache bypass is ignored, so both sides run buffered: fio with a final fsync
# for writes (the worker's write pass flushes before its clock stops) and reads from the
# page cache (--invalidate=0).
# Usage: bench/file.sh [size-MiB] [runs]
set -euo pipefail
. "$(dirname "$0")/../tools/common.sh"
. "$(dirname "$0")/common.sh"
size=${1:-512}
runs=${2:-3}
bench_build QuellmorBench
exe=$(find "$root/build/$run_arch/bench/engine" -name QuellmorBench.exe | head -n 1)
work="$root/build/bench-file"
rm -rf "$work"; mkdir -p "$work"
file="$work/_file.bin"
winwork="Z:$(echo "$work" | tr / '\\')"

declare -A ours_w ours_r fio_w fio_r
run_ours() {   # block
    "$root/cmake/wine-run.sh" "$exe" "$winwork" "$size" file $(($1 / 1024)) >"$work/ours.txt"
    ours_w[$1]+=" $(figure "$work/ours.txt" file-write-bytes-per-sec)"
    ours_r[$1]+=" $(figure "$work/ours.txt" file-read-bytes-per-sec)"
}
run_fio() {   # block
    fio --name=filew --filename="$file" --rw=write --bs="$1" --size="${size}M" \
        --ioengine=psync --end_fsync=1 --output-format=json >"$work/fw.json"
    fio --name=filer --filename="$file" --rw=read --bs="$1" --size="${size}M" \
        --ioengine=psync --invalidate=0 --output-format=json >"$work/fr.json"
    fio_w[$1]+=" $(fio_bytes "$work/fw.json" write)"
    fio_r[$1]+=" $(fio_bytes "$work/fr.json" read)"
    rm -f "$file"
}
for block in 65536 1048576; do
    for i in $(seq "$runs"); do
        bench_round "$i" sync run_ours run_fio $block
    done
done
write_ratios=(); read_ratios=()
for pair in "64k 65536" "1m 1048576"; do
    read -r name block <<<"$pair"
    echo "ours  file-write-$name MiB/s: $(bench_stats values 1048576 %.0f "${ours_w[$block]}")"
    echo "fio   file-write-$name MiB/s: $(bench_stats values 1048576 %.0f "${fio_w[$block]}")"
    echo "ours  file-read-$name  MiB/s: $(bench_stats values 1048576 %.0f "${ours_r[$block]}")"
    echo "fio   file-read-$name  MiB/s: $(bench_stats values 1048576 %.0f "${fio_r[$block]}")"
    w=$(bench_stats ratio 2 "${ours_w[$block]}" "${fio_w[$block]}")
    r=$(bench_stats ratio 2 "${ours_r[$block]}" "${fio_r[$block]}")
    echo "ratio file-write-$name $w"
    echo "ratio file-read-$name $r"
    write_ratios+=("$w"); read_ratios+=("$r")
done
# The lower of the two; rounding keeps the order, so the lower rounded ratio is the lower one rounded.
echo "ratio file-write $(printf '%s\n' "${write_ratios[@]}" | sort -g | head -n 1)"
echo "ratio file-read $(printf '%s\n' "${read_ratios[@]}" | sort -g | head -n 1)"
rm -rf "$work"
