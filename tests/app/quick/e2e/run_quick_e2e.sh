#!/bin/sh
# Runs the QuickAccess driver under Wine: two folders of the output become drives T: and U:
# of the prefix, /proc becomes V:, and the screen captures become PNG files.
# Arguments: driver, program, output folder, prefix, wine loader.
set -e
driver=$1; program=$2; out=$3; prefix=$4
: "${DISPLAY:?the GUI test needs an X display (DISPLAY)}"
mkdir -p "$out/drive_t" "$out/drive_u"
rm -f "$out"/*.bmp "$out"/*.png
rm -rf "$out/drive_t/"* "$out/drive_u/"*
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
export QM_WINEPREFIX=$prefix QM_WINE=$5
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../../../cmake/wine-prefix.sh" "$prefix"
# Wine's mount manager reads the drive links when its session starts: an earlier test's
# session must have ended before the links are made.
WINEPREFIX=$prefix wineserver -w 2>/dev/null || WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
ln -sfn "$out/drive_t" "$prefix/dosdevices/t:"
ln -sfn "$out/drive_u" "$prefix/dosdevices/u:"
# A drive where not even root may create a folder.
ln -sfn /proc "$prefix/dosdevices/v:"
sh "$here/../../e2e_common/own-desktop.sh" "$prefix"
# Stands in for the web browser: notes the address and opens nothing.
rm -f "$out/browser.txt"
cat > "$out/browser.sh" <<'END'
#!/bin/sh
printf '%s\n' "$1" >> "$(dirname "$0")/browser.txt"
END
chmod +x "$out/browser.sh"
status=0
# The update check of the program talks to a port where nothing listens, never to the vendor.
export QUELLMOR_UPDATE_SERVER=http://127.0.0.1:9
"$here/../../../../cmake/wine-run.sh" "$driver" "$(winpath "$program")" "$(winpath "$out")" T U V "$out/browser.sh" || status=$?
rm -f "$prefix/dosdevices/t:" "$prefix/dosdevices/u:" "$prefix/dosdevices/v:"
for f in "$out"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
exit $status
