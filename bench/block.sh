#!/bin/bash
# Linear block read and write of an image file through a drive letter (the BlockAccess run
# over \\.\X:) against fio on the same image file with the same transfer size, run
# alternately several times. Prints the medians and
#   ratio block-read VALUE    (ours / fio)
#   ratio block-write VALUE
# Under Wine both sides run buffered: the image's blocks come from and go to the page cache
# (fio with --invalidate=0 and no final fsync, as the block run does not flush either).
# Usage: bench/block.sh [size-MiB] [transfer-bytes] [runs]
set -euo pipefail
. "$(dirname "$0")/../tools/common.sh"
. "$(dirname "$0")/rates.sh"
size=${1:-512}
transfer=${2:-1048576}
runs=${3:-5}
"$root/tools/install-deps.sh"
choose_windows_build
export BUILD_TARGETS=BlockBench
if [ "$run_arch" = win32 ]; then
    configure_and_build win32 mingw-i686 -DQM_BUILD_TESTS=OFF
else
    configure_and_build win64 mingw-x86_64 -DQM_BUILD_TESTS=OFF
fi
exe=$(find "$root/build/$run_arch/bench/block" -name BlockBench.exe | head -n 1)
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

ours_r=(); ours_w=(); fio_r=(); fio_w=()
run_ours() {   # read|write
    out=$("$root/cmake/wine-run.sh" "$exe" X "$1" "$transfer")
    echo "$out" | sed -n "s/^rate block-$1 //p"
}
run_fio() {   # read|write
    fio --name="block$1" --filename="$image" --rw="$1" --bs="$transfer" --size="${size}M" \
        --ioengine=psync --invalidate=0 --output-format=json >"$work/f.json"
    fio_bytes "$work/f.json" "$1"
}
# Warm the page cache once so that neither side pays for the first read from the disk.
cat "$image" >/dev/null
for i in $(seq "$runs"); do
    for dir in read write; do
        if [ $((i % 2)) = 1 ]; then
            o=$(run_ours $dir); f=$(run_fio $dir)
        else
            f=$(run_fio $dir); o=$(run_ours $dir)
        fi
        if [ $dir = read ]; then ours_r+=("$o"); fio_r+=("$f"); else ours_w+=("$o"); fio_w+=("$f"); fi
    done
done
/usr/bin/python3 - "${ours_r[*]}" "${fio_r[*]}" "${ours_w[*]}" "${fio_w[*]}" <<'PY'
import statistics, sys
orr, fr, ow, fw = ([float(x) for x in a.split()] for a in sys.argv[1:5])
def mib(v): return v / 1048576
print("ours  block-read  MiB/s:", " ".join("%.0f" % mib(v) for v in orr))
print("fio   block-read  MiB/s:", " ".join("%.0f" % mib(v) for v in fr))
print("ours  block-write MiB/s:", " ".join("%.0f" % mib(v) for v in ow))
print("fio   block-write MiB/s:", " ".join("%.0f" % mib(v) for v in fw))
print("ratio block-read %.2f" % (statistics.median(orr) / statistics.median(fr)))
print("ratio block-write %.2f" % (statistics.median(ow) / statistics.median(fw)))
PY
rm -f "$QM_WINEPREFIX/dosdevices/x:" "$QM_WINEPREFIX/dosdevices/x::"
rm -f "$image"
