#!/bin/bash
# The main job: install what is missing, build both programs and run the console
# benchmark under Wine on a test folder of this machine. Extra arguments go to QuellmorCmd.
set -e
. "$(dirname "$0")/common.sh"
"$root/tools/install-deps.sh"
choose_windows_build
mkdir -p "$root/build"
echo "Building the programs (32-bit Windows) into build/win32/dist ..."
configure_and_build win32 mingw-i686 -DQM_BUILD_TESTS=OFF
exe="$root/build/win32/dist/QuellmorCmd.exe"
if [ "$run_arch" = win64 ]; then
    echo "This machine cannot execute 32-bit code; running the 64-bit build of the same sources."
    configure_and_build win64 mingw-x86_64 -DQM_BUILD_TESTS=OFF
    exe="$root/build/win64/dist/QuellmorCmd.exe"
fi
folder="$root/build/testdrive"
mkdir -p "$folder"
winfolder="Z:$(echo "$folder" | tr / '\\')"
cd "$folder"
[ $# -gt 0 ] || set -- -s 1000 -b 1024
echo "QuellmorCmd -d $winfolder $*"
QM_WINEPREFIX="$root/build/$run_arch/wineprefix" QM_WINE="$run_wine" \
    "$root/cmake/wine-run.sh" "$exe" -d "$winfolder" "$@"
echo "Log: $folder/QuellmorCmd.txt"
