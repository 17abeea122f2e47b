#!/bin/bash
# Starts the dialog program, Quellmor.exe, under Wine from the Windows build this machine can
# run (the 32-bit one where 32-bit Wine starts, else the 64-bit build of the same sources),
# building it first when needed. It opens on the user's X display; when there is none, or it
# does not answer, on a private Xvfb, which is stopped again when the program ends.
#   tools/gui.sh [Quellmor switches]     for example tools/gui.sh -z (settings in Quellmor.ini)
set -e
. "$(dirname "$0")/common.sh"
"$root/tools/install-deps.sh"
choose_windows_build
build="$root/build/$run_arch"
mkdir -p "$root/build"

# An existing build folder keeps its own choices (a test build stays one); a new one is made
# for the programs alone.
tests=()
[ -f "$build/CMakeCache.txt" ] || tests=(-DQM_BUILD_TESTS=OFF)
echo "Building Quellmor.exe in build/$run_arch, the build this machine runs ..."
BUILD_TARGETS=Quellmor configure_and_build "$run_arch" "$run_toolchain" "${tests[@]}"

xvfb_pid=""
stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap stop_xvfb EXIT

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Quellmor opens on your display $DISPLAY."
else
    if [ -n "${DISPLAY:-}" ]; then
        echo "Your display $DISPLAY does not answer."
    fi
    number=90
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done
    # In a session of its own, so Ctrl+C ends the program and not its display under it.
    setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb $DISPLAY did not start." >&2; exit 1; }
        sleep 0.1
    done
    echo "No X display: Quellmor runs on a private Xvfb, display $DISPLAY, until it ends."
    echo "To look at it, from another shell: DISPLAY=$DISPLAY import -window root quellmor.png"
    echo "(a screenshot with ImageMagick)."
    echo "Ctrl+C here ends the program."
fi

echo "Starting build/$run_arch/dist/Quellmor.exe${*:+ $*} under $run_wine ..."
# Wine does not end a GUI program on Ctrl+C: the script asks it to end instead.
QM_WINEPREFIX="$build/wineprefix" QM_WINE="$run_wine" "$root/cmake/wine-run.sh" "$build/dist/Quellmor.exe" "$@" &
program_pid=$!
trap 'kill -TERM "$program_pid" 2>/dev/null || true' INT TERM
set +e
wait "$program_pid"
status=$?
# A signal ends the wait before the program has ended; wait for the program itself.
while kill -0 "$program_pid" 2>/dev/null; do
    wait "$program_pid"
    status=$?
done
set -e
echo "Quellmor ended (exit code $status)."
exit $status
