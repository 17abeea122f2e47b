#!/bin/sh
# Runs the GUI driver under Wine on the X display of the test run and turns its screen
# captures into PNG files.  Arguments: driver, program, output folder, prefix, wine loader.
set -e
driver=$1; program=$2; out=$3
: "${DISPLAY:?the GUI test needs an X display (DISPLAY)}"
mkdir -p "$out/work"
rm -f "$out"/*.bmp "$out"/*.png
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
status=0
# The update check of the program talks to a port where nothing listens, never to the vendor.
export QUELLMOR_UPDATE_SERVER=http://127.0.0.1:9
QM_WINEPREFIX=$4 QM_WINE=$5 "$(dirname "$0")/../../../../cmake/wine-run.sh" "$driver" \
    "$(winpath "$program")" "$(winpath "$out")" "$(winpath "$out/work")" || status=$?
for f in "$out"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
exit $status
