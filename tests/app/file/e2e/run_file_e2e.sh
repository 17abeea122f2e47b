#!/bin/sh
# Runs the FileAccess driver under Wine: a folder of the output becomes drive T: of the
# prefix, holding files of known sizes, a tree with a link back to its own top and a big
# sparse file; the screen captures become PNG files.
# Arguments: driver, program, output folder, prefix, wine loader.
set -e
driver=$1; program=$2; out=$3; prefix=$4
: "${DISPLAY:?the GUI test needs an X display (DISPLAY)}"
drive="$out/drive_t"
rm -rf "$drive"
rm -f "$out"/*.bmp "$out"/*.png
disc="$out/drive_r"
rm -rf "$disc"
mkdir -p "$drive/data" "$drive/tree/a" "$drive/huge" "$drive/rw" "$disc/video"
# Big enough that reading it from the cache takes several clock ticks on any machine: its
# result must carry the speed factor, which "[too fast]" has not.
head -c $((64 * 1048576)) /dev/urandom > "$disc/video/movie.vob"
head -c $((64 * 1048576)) /dev/urandom > "$drive/data/big.bin"
head -c $((3 * 1048576)) /dev/urandom > "$drive/data/small.bin"
head -c $((5 * 1048576)) /dev/urandom > "$drive/tree/a/deep.bin"
head -c $((2 * 1048576)) /dev/urandom > "$drive/tree/top.bin"
# Links back to the tree's own top and to its folder: a walk that follows them never ends.
ln -s .. "$drive/tree/a/loop"
ln -s ../tree "$drive/tree/self"
truncate -s 16G "$drive/huge/sparse.bin"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
export QM_WINEPREFIX=$prefix QM_WINE=$5
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../../../cmake/wine-prefix.sh" "$prefix"
WINEPREFIX=$prefix wineserver -w 2>/dev/null || WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
ln -sfn "$drive" "$prefix/dosdevices/t:"
ln -sfn "$disc" "$prefix/dosdevices/r:"
# R: is an optical drive. The mount manager reads the drive types when a session starts, so
# the driver's session must be a new one.
WINEPREFIX=$prefix WINEDEBUG=-all "$5" reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f /reg:64 >/dev/null 2>&1
WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
sh "$here/../../e2e_common/own-desktop.sh" "$prefix"
export QUELLMOR_UPDATE_SERVER=http://127.0.0.1:9
status=0
"$here/../../../../cmake/wine-run.sh" "$driver" "$(winpath "$program")" "$(winpath "$out")" T R || status=$?
rm -f "$prefix/dosdevices/t:" "$prefix/dosdevices/r:"
# Other tests of the prefix must not find an optical drive type left behind.
WINEPREFIX=$prefix WINEDEBUG=-all "$5" reg delete 'HKLM\Software\Wine\Drives' /v r: /f /reg:64 >/dev/null 2>&1 || true
WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
rm -rf "$drive" "$disc"
for f in "$out"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
exit $status
