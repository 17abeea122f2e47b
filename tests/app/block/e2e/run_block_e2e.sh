#!/bin/sh
# Runs the BlockAccess driver under Wine: drive X: of the prefix opens an image file as a
# raw device, the program runs from the output folder beside the test ASPI layer, and the
# screen captures become PNG files.
# Arguments: driver, program, test ASPI layer, output folder, prefix, wine loader.
set -e
driver=$1; program=$2; aspi=$3; out=$4; prefix=$5
: "${DISPLAY:?the GUI test needs an X display (DISPLAY)}"
mkdir -p "$out"
rm -f "$out"/*.bmp "$out"/*.png "$out"/*.bin "$out"/x.img
cp "$program" "$out/Quellmor.exe"
cp "$aspi" "$out/wnaspi32.dll"
truncate -s 2M "$out/x.img"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
export QM_WINEPREFIX=$prefix QM_WINE=$6
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../../../cmake/wine-prefix.sh" "$prefix"
# Wine reads the drive links when its session starts: the earlier session must be over.
WINEPREFIX=$prefix wineserver -w 2>/dev/null || WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
ln -sfn "$out/x.img" "$prefix/dosdevices/x:"
ln -sfn "$out/x.img" "$prefix/dosdevices/x::"
# Wine's own ASPI layer must give way to the test layer beside the program.
export WINEDLLOVERRIDES="mscoree,mshtml=;wnaspi32=n"
export QM_TEST_ASPI_CRC=30,31,77 QM_TEST_ASPI_SLOW_FROM=600
export QUELLMOR_UPDATE_SERVER=http://127.0.0.1:9
status=0
"$here/../../../../cmake/wine-run.sh" "$driver" "$(winpath "$out/Quellmor.exe")" "$(winpath "$out")" || status=$?
WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
rm -f "$prefix/dosdevices/x:" "$prefix/dosdevices/x::"
for f in "$out"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
exit $status
