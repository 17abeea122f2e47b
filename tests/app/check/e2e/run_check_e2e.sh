#!/bin/sh
# Runs the CheckAccess driver under Wine: two FUSE file systems without a page cache become
# drives T: (honest, 96 MiB) and U: (claims 1 GiB, keeps 256 MiB, addresses wrap), and the
# screen captures become PNG files. Wine ignores the cache bypass, so only a file system
# without a page cache shows the program what the drive really kept.
# Arguments: driver, program, fake file system script, output folder, prefix, wine loader.
set -e
driver=$1; program=$2; fakefs=$3; out=$4; prefix=$5
: "${DISPLAY:?the GUI test needs an X display (DISPLAY)}"
if [ "$(id -u)" != 0 ] || [ ! -w /dev/fuse ] || ! /usr/bin/python3 -c 'import fusepy' 2>/dev/null; then
    echo "skipped: mounting the fake drives needs root, /dev/fuse and python3-fusepy"
    exit 0
fi
mkdir -p "$out/mnt_t" "$out/mnt_u"
rm -f "$out"/*.bmp "$out"/*.png
unmount() {
    for m in "$out/mnt_t" "$out/mnt_u"; do
        mountpoint -q "$m" && umount "$m" || true
    done
    rm -f "$prefix/dosdevices/t:" "$prefix/dosdevices/u:"
}
trap unmount EXIT
unmount
MiB=1048576
/usr/bin/python3 "$fakefs" "$out/mnt_t" full $((96 * MiB)) $((96 * MiB))
/usr/bin/python3 "$fakefs" "$out/mnt_u" wrap $((1024 * MiB)) $((256 * MiB))
mountpoint -q "$out/mnt_t" && mountpoint -q "$out/mnt_u"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
export QM_WINEPREFIX=$prefix QM_WINE=$6
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../../../cmake/wine-prefix.sh" "$prefix"
# Wine's mount manager reads the drive links when its session starts: an earlier test's
# session must have ended before the links are made.
WINEPREFIX=$prefix wineserver -w 2>/dev/null || WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
ln -sfn "$out/mnt_t" "$prefix/dosdevices/t:"
ln -sfn "$out/mnt_u" "$prefix/dosdevices/u:"
sh "$here/../../e2e_common/own-desktop.sh" "$prefix"
status=0
# The update check of the program talks to a port where nothing listens, never to the vendor.
export QUELLMOR_UPDATE_SERVER=http://127.0.0.1:9
"$here/../../../../cmake/wine-run.sh" "$driver" "$(winpath "$program")" "$(winpath "$out")" T U || status=$?
for f in "$out"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
exit $status
