#!/bin/bash
# Sequential write and read rates of QuellmorCmd against fio on the same folder, same file
# size and 1 MiB blocks, run alternately several times. Prints one line per figure:
#   ratio seq-write VALUE   (ours / fio, medians)
# Under Wine the cache bypass is ignored, so both sides run buffered: fio with a final fsync
# for writes (our write pass flushes before its clock stops) and reads from the page cache.
# Usage: bench/seq.sh [size-MiB] [runs]
set -euo pipefail
. "$(dirname "$0")/../tools/common.sh"
. "$(dirname "$0")/common.sh"
size=${1:-512}
runs=${2:-3}
bench_build QuellmorCmd
exe="$root/build/$run_arch/dist/QuellmorCmd.exe"
work="$root/build/bench-seq"
rm -rf "$work"; mkdir -p "$work"
winwork="Z:$(echo "$work" | tr / '\\')"

ours_w=(); ours_r=(); fio_w=(); fio_r=()
run_ours() {
    (cd "$work" && rm -f QuellmorCmd.txt && "$root/cmake/wine-run.sh" "$exe" -d "$winwork" -s "$size" -b 1024 >/dev/null)
    line=$(tail -n 1 "$work/QuellmorCmd.txt")
    ours_r+=("$(to_bytes "$(echo "$line" | cut -f3)")")
    ours_w+=("$(to_bytes "$(echo "$line" | cut -f6)")")
}
run_fio() {
    fio --name=seqw --directory="$work" --filename=fio.bin --rw=write --bs=1M --size="${size}M" \
        --ioengine=psync --end_fsync=1 --output-format=json >"$work/fw.json"
    fio --name=seqr --directory="$work" --filename=fio.bin --rw=read --bs=1M --size="${size}M" \
        --ioengine=psync --invalidate=0 --output-format=json >"$work/fr.json"
    fio_w+=("$(fio_bytes "$work/fw.json" write)")
    fio_r+=("$(fio_bytes "$work/fr.json" read)")
    rm -f "$work/fio.bin"
}
for i in $(seq "$runs"); do
    bench_round "$i" sync run_ours run_fio
done
echo "ours  seq-write MiB/s: $(bench_stats values 1048576 %.0f "${ours_w[*]}")"
echo "fio   seq-write MiB/s: $(bench_stats values 1048576 %.0f "${fio_w[*]}")"
echo "ours  seq-read  MiB/s: $(bench_stats values 1048576 %.0f "${ours_r[*]}")"
echo "fio   seq-read  MiB/s: $(bench_stats values 1048576 %.0f "${fio_r[*]}")"
echo "ratio seq-write $(bench_stats ratio 2 "${ours_w[*]}" "${fio_w[*]}")"
echo "ratio seq-read $(bench_stats ratio 2 "${ours_r[*]}" "${fio_r[*]}")"
rm -rf "$work"
