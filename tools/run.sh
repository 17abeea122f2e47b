#!/bin/bash
# The main job: install what is missing, build both Windows programs, then measure this
# machine's storage with the native console program (the same engine on the POSIX class
# library, cache bypassed with O_DIRECT) on build/testdrive or the folder given.
#   tools/run.sh [folder] [QuellmorCmd options]     default options: -s 1000 -b 1024
#   tools/run.sh --wine [QuellmorCmd options]       QuellmorCmd.exe under Wine instead (Wine
#                                                   ignores the cache bypass: read = memory)
set -e
. "$(dirname "$0")/common.sh"
wine_run=0
if [ "${1:-}" = --wine ]; then
    wine_run=1
    shift
fi
folder="$root/build/testdrive"
if [ $wine_run = 0 ] && [ $# -gt 0 ] && [ "${1#-}" = "$1" ] && [ "${1#@}" = "$1" ]; then
    folder=$1
    shift
fi
"$root/tools/install-deps.sh"
choose_windows_build
mkdir -p "$root/build" "$folder"
folder=$(cd "$folder" && pwd)
echo "Building the programs (32-bit Windows) into build/win32/dist ..."
configure_and_build win32 mingw-i686 -DQM_BUILD_TESTS=OFF
[ $# -gt 0 ] || set -- -s 1000 -b 1024
cd "$folder"

if [ $wine_run = 1 ]; then
    exe="$root/build/win32/dist/QuellmorCmd.exe"
    if [ "$run_arch" = win64 ]; then
        echo "This machine cannot execute 32-bit code; running the 64-bit build of the same sources."
        configure_and_build win64 mingw-x86_64 -DQM_BUILD_TESTS=OFF
        exe="$root/build/win64/dist/QuellmorCmd.exe"
    fi
    winfolder="Z:$(echo "$folder" | tr / '\\')"
    echo "QuellmorCmd.exe -d $winfolder $* (under Wine)"
    QM_WINEPREFIX="$root/build/$run_arch/wineprefix" QM_WINE="$run_wine" \
        "$root/cmake/wine-run.sh" "$exe" -d "$winfolder" "$@"
else
    echo "Building the native console program into build/native-release ..."
    build_native_release QuellmorCmd
    echo "QuellmorCmd -d $folder $* (native, cache bypassed)"
    "$root/build/native-release/cmd/QuellmorCmd" -d "$folder" "$@"
fi
echo "Log: $folder/QuellmorCmd.txt"
