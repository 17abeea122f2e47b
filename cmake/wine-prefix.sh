#!/bin/sh
# Creates a Wine prefix once, without the Mono and Gecko prompts.
# Safe to call from parallel tests: creation is serialised by a lock file.
set -e
prefix="$1"
[ -f "$prefix/.qm-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.qm-ready" ]; then
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    "${QM_WINE:-wine}" wineboot -i >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w || true
    [ -d "$prefix/drive_c" ] || { echo "wine-prefix: could not create $prefix" >&2; exit 1; }
    touch "$prefix/.qm-ready"
fi
