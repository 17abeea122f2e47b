#!/bin/sh
# End-to-end run of QuellmorDevices.exe under Wine in a private prefix: drive C: and a drive
# letter mapped to a folder must be listed with a size, drive A: only when asked for, and
# every refresh must finish well under a second.
# usage: devices_e2e.sh <QuellmorDevices.exe> <prefix> <wine loader> <cmake folder>
set -u
exe=$1
export QM_WINEPREFIX=$2 QM_WINE=$3
tools=$4
fail() { echo "FAIL: $*"; echo "---- output"; cat "$work/out.txt" 2>/dev/null; exit 1; }

"$tools/wine-prefix.sh" "$QM_WINEPREFIX" || { echo "FAIL: no prefix"; exit 1; }
work=$(mktemp -d)
mkdir -p "$work/tee" "$work/floppy"
echo "test data" >"$work/tee/file.txt"
ln -sfn "$work/tee" "$QM_WINEPREFIX/dosdevices/t:"
ln -sfn "$work/floppy" "$QM_WINEPREFIX/dosdevices/a:"
# X: is an image file that opens as a raw device and answers no capacity query.
head -c 1048576 /dev/zero >"$work/x.img"
ln -sfn "$work/x.img" "$QM_WINEPREFIX/dosdevices/x:"
ln -sfn "$work/x.img" "$QM_WINEPREFIX/dosdevices/x::"
trap 'rm -f "$QM_WINEPREFIX/dosdevices/t:" "$QM_WINEPREFIX/dosdevices/a:" "$QM_WINEPREFIX/dosdevices/x:" "$QM_WINEPREFIX/dosdevices/x::"; rm -rf "$work"' EXIT

run() {
    timeout 120 "$tools/wine-run.sh" "$exe" "$@" >"$work/raw.txt" 2>"$work/err.txt"
    status=$?
    tr -d '\r' <"$work/raw.txt" >"$work/out.txt"
    [ $status -eq 0 ] || fail "exit status $status for $*"
}

# The lines of one record: from its header up to the next header.
record() { awk -v h="$1" 'index($0, h) == 1 { on = 1; print; next } /^\[/ { on = 0 } on' "$work/out.txt"; }
mib() { record "$1" | sed -n 's/.*(\([0-9]*\) MiB).*/\1/p' | head -n 1; }

check_times() {
    for ms in $(sed -n 's/^== .*(\([0-9]*\) ms)$/\1/p' "$work/out.txt"); do
        [ "$ms" -lt 1000 ] || fail "a refresh took $ms ms"
    done
    grep -q '^== ' "$work/out.txt" || fail "no refresh reported"
}

run -b
check_times
record '[logical 00000043]' | grep -q 'letters: C$' || fail "drive C: missing from the block list"
[ "$(mib '[logical 00000043]')" -gt 0 ] || fail "drive C: without a size"
record '[logical 00000041]' | grep -q . && fail "drive A: listed without floppy support"
record '[logical 00000058]' | grep -q '^  size: 2048 blocks of 512 bytes' || fail "image drive X: without its size"
# No partition query answers on the image, so nothing may address it on a disk.
record '[logical 00000058]' | grep -q '^  first block/offset: 0 / unknown$' || fail "image drive X: with an offset"

run -q
check_times
record '[letter 00000043]' | grep -q 'letters: C$' || fail "drive letter C: missing"
record '[letter 00000054]' | grep -q 'letters: T$' || fail "mapped drive letter T: missing"
[ "$(mib '[letter 00000054]')" -gt 0 ] || fail "drive T: without a size"
record '[letter 00000054]' | grep -q '^  free: [1-9]' || fail "drive T: without free space"
record '[letter 00000041]' | grep -q . && fail "drive A: listed without floppy support"

run -q -a
check_times
record '[letter 00000041]' | grep -q 'letters: A$' || fail "drive A: missing with floppy support"

echo "PASS"
