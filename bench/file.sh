#!/bin/bash
# File test rates of the FileAccess worker against fio on the same file, size and block size
# (64 KiB and 1 MiB), run alternately several times. Prints the medians per block size and
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
bench_build FileBench
exe=$(find "$root/build/$run_arch/bench/file" -name FileBench.exe | head -n 1)
work="$root/build/bench-file"
rm -rf "$work"; mkdir -p "$work"
file="$work/_file.bin"
winfile="Z:$(echo "$file" | tr / '\\')"

declare -A ours_w ours_r fio_w fio_r
run_ours() {   # block
    out=$("$root/cmake/wine-run.sh" "$exe" "$winfile" "$size" "$1")
    ours_w[$1]+=" $(to_bytes "$(echo "$out" | sed -n 's/^text file-write //p')")"
    ours_r[$1]+=" $(to_bytes "$(echo "$out" | sed -n 's/^text file-read //p')")"
    rm -f "$file"
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
    # Alternate who goes first: the disk's write-back of the previous file lands on whoever follows.
    for i in $(seq "$runs"); do
        sync
        if [ $((i % 2)) = 1 ]; then run_ours $block; sync; run_fio $block; else run_fio $block; sync; run_ours $block; fi
    done
done
/usr/bin/python3 - "${ours_w[65536]}" "${fio_w[65536]}" "${ours_r[65536]}" "${fio_r[65536]}" \
    "${ours_w[1048576]}" "${fio_w[1048576]}" "${ours_r[1048576]}" "${fio_r[1048576]}" <<'PY'
import statistics, sys
v = [[float(x) for x in a.split()] for a in sys.argv[1:9]]
ratios = {"write": [], "read": []}
for name, (ow, fw, orr, fr) in (("64k", v[0:4]), ("1m", v[4:8])):
    mib = lambda xs: " ".join("%.0f" % (x / 1048576) for x in xs)
    print("ours  file-write-%s MiB/s: %s" % (name, mib(ow)))
    print("fio   file-write-%s MiB/s: %s" % (name, mib(fw)))
    print("ours  file-read-%s  MiB/s: %s" % (name, mib(orr)))
    print("fio   file-read-%s  MiB/s: %s" % (name, mib(fr)))
    w = statistics.median(ow) / statistics.median(fw)
    r = statistics.median(orr) / statistics.median(fr)
    print("ratio file-write-%s %.2f" % (name, w))
    print("ratio file-read-%s %.2f" % (name, r))
    ratios["write"].append(w)
    ratios["read"].append(r)
print("ratio file-write %.2f" % min(ratios["write"]))
print("ratio file-read %.2f" % min(ratios["read"]))
PY
rm -rf "$work"
