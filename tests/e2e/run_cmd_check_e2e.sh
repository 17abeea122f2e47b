#!/bin/sh
# Runs the console's check end to end under Wine on a drive that lies: a FUSE file system that
# claims 256 MiB, keeps 64 MiB and wraps the addresses past them, mounted with direct_io (no page
# cache, as Wine ignores the cache bypass) and mapped as drive W: of the prefix.
# Arguments: test program, fake file system script, output folder, prefix, wine loader.
# Exits 77 (skipped), saying why, where the machine offers no FUSE.
set -e
tests=$1; fakefs=$2; out=$3; prefix=$4
claim=$((256 << 20)); real_mib=64
if [ "$(id -u)" != 0 ] || [ ! -w /dev/fuse ]; then
    echo "skipped: mounting FUSE here needs root and /dev/fuse"; exit 77
fi
if ! /usr/bin/python3 -c 'import fusepy' 2>/dev/null; then
    echo "skipped: python3-fusepy is not installed (tools/install-deps.sh)"; exit 77
fi
mount="$out/fake_drive"
mkdir -p "$mount"
umount "$mount" 2>/dev/null || true
/usr/bin/python3 "$fakefs" "$mount" wrap "$claim" $((real_mib << 20))
cleanup() {
    rm -f "$prefix/dosdevices/w:"
    umount "$mount" 2>/dev/null || true
}
trap cleanup EXIT
mountpoint -q "$mount" || { echo "the fake file system did not mount on $mount"; exit 1; }
export QM_WINEPREFIX=$prefix QM_WINE=$5
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../cmake/wine-prefix.sh" "$prefix"
# Wine's mount manager reads the drive links when its session starts: an earlier test's
# session must have ended before the link is made.
WINEPREFIX=$prefix wineserver -w 2>/dev/null || WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
ln -sfn "$mount" "$prefix/dosdevices/w:"
export QM_FAKE_DRIVE=W: QM_FAKE_REAL_MIB=$real_mib
status=0
"$here/../../cmake/wine-run.sh" "$tests" --gtest_filter='CmdEndToEnd.FillOfAFakeDrive*' || status=$?
# Wine's session holds the drive map: end it before the link goes.
WINEPREFIX=$prefix wineserver -w 2>/dev/null || WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
exit $status
