#!/bin/bash
# Which build tools/gui.sh starts Quellmor.exe from, and on which X display: on a machine that
# runs 32-bit code and on one that cannot, with and without a display that answers.
# tools/gui.sh runs in a scratch copy of the scripts with stand-ins for the installer, the
# probe, cmake, Xvfb, xdpyinfo and the Wine starter; each records what it was asked.
#   gui_start_test.sh <source root>
set -u
src=$1
. "$(dirname "$0")/script_checks.sh"

run_case() {   # name can-run-32-bit(0/1) DISPLAY-value display-answers(0/1) [existing-build-folder]
    root=$work/$1
    mkdir -p "$root/tools" "$root/cmake" "$root/bin"
    cp "$src/tools/common.sh" "$src/tools/gui.sh" "$root/tools/"
    printf '#!/bin/sh\nexit 0\n' >"$root/tools/install-deps.sh"
    printf '#!/bin/sh\n[ %s = 1 ] && echo wine\nexit 0\n' "$2" >"$root/cmake/wine-probe.sh"
    cat >"$root/bin/cmake" <<'STUB'
#!/bin/sh
echo "$*" >>"$CALLS"
exit 0
STUB
    # A display answers when it is listed; the stand-in Xvfb lists its own and then waits.
    cat >"$root/bin/xdpyinfo" <<'STUB'
#!/bin/sh
grep -qx -- "$DISPLAY" "$DISPLAYS" 2>/dev/null
STUB
    cat >"$root/bin/Xvfb" <<'STUB'
#!/bin/sh
echo "$1" >>"$DISPLAYS"
echo "$1" >"$XVFB_STARTED"
echo $$ >"$XVFB_STARTED.pid"
exec sleep 30
STUB
    cat >"$root/cmake/wine-run.sh" <<'STUB'
#!/bin/sh
echo "wine=$QM_WINE prefix=$QM_WINEPREFIX display=$DISPLAY program=$*" >"$STARTED"
# The private display must still be there while the program runs.
xdpyinfo && echo "display answered" >>"$STARTED"
exit 3
STUB
    chmod +x "$root/tools/"*.sh "$root/cmake/"*.sh "$root/bin/"*
    : >"$root/displays"
    [ "$4" = 1 ] && echo "$3" >"$root/displays"
    if [ -n "${5:-}" ]; then
        mkdir -p "$root/build/$5"
        touch "$root/build/$5/CMakeCache.txt"
    fi
    (
        cd "$root" || exit 1
        if [ -n "$3" ]; then export DISPLAY=$3; else unset DISPLAY; fi
        CALLS=$root/calls DISPLAYS=$root/displays XVFB_STARTED=$root/xvfb STARTED=$root/started \
            PATH="$root/bin:$PATH" bash "$root/tools/gui.sh" -z >"$root/out" 2>&1
        echo $? >"$root/status"
    )
    configure_calls=$(grep -- "-S " "$root/calls" 2>/dev/null || true)
    build_calls=$(grep -- "--build" "$root/calls" 2>/dev/null || true)
    started=$(cat "$root/started" 2>/dev/null || true)
}

run_case i686_no_display 1 "" 0
check 'echo "$configure_calls" | grep -q "mingw-i686.cmake.*QM_BUILD_TESTS=OFF"' \
    "32-bit Wine, new build folder: the i686 build is configured without tests"
check 'echo "$build_calls" | grep -q "build/win32 .*--target Quellmor"' "32-bit Wine: only Quellmor is built"
check 'echo "$started" | grep -q "^wine=wine prefix=$root/build/win32/wineprefix display=:[0-9]* program=$root/build/win32/dist/Quellmor.exe -z$"' \
    "32-bit Wine: the i686 Quellmor.exe starts with its switches under wine in its build's prefix"
check '[ -s "$root/xvfb" ] && echo "$started" | grep -q "display=$(cat "$root/xvfb") "' \
    "no display: the program runs on the private Xvfb"
check 'echo "$started" | grep -q "display answered"' "no display: the private Xvfb answers while the program runs"
check 'grep -q "^No X display: Quellmor runs on a private Xvfb, display $(cat "$root/xvfb")" "$root/out" && grep -q "import -window root" "$root/out"' \
    "no display: the script says so and how to look at it"
check '[ -s "$root/xvfb.pid" ] && ! kill -0 "$(cat "$root/xvfb.pid")" 2>/dev/null' \
    "no display: the private Xvfb is stopped when the program ends"
check '[ "$(cat "$root/status")" = 3 ]' "the program's exit code is the script's"

run_case x64_own_display 0 ":7" 1 win64
check '! echo "$configure_calls" | grep -q "mingw-i686"' "no 32-bit code: no i686 build is made to start"
check 'echo "$configure_calls" | grep -q "mingw-x86_64.cmake" && ! echo "$configure_calls" | grep -q "QM_BUILD_TESTS"' \
    "no 32-bit code, existing build folder: the 64-bit build keeps its own test setting"
check 'echo "$started" | grep -q "^wine=/usr/lib/wine/wine64 prefix=$root/build/win64/wineprefix display=:7 program=$root/build/win64/dist/Quellmor.exe -z$"' \
    "no 32-bit code, own display: the 64-bit Quellmor.exe starts under wine64 on the user's display"
check '[ ! -e "$root/xvfb" ] && grep -q "^Quellmor opens on your display :7" "$root/out"' \
    "own display: no Xvfb is started"

run_case x64_dead_display 0 ":8" 0
check '[ -s "$root/xvfb" ] && echo "$started" | grep -q "display=$(cat "$root/xvfb") " && grep -q "^Your display :8 does not answer" "$root/out"' \
    "a display that does not answer: the script says so and uses a private Xvfb"

finish
