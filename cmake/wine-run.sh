#!/bin/sh
# Runs a Windows program under Wine in the build's private prefix.
# QM_WINEPREFIX (set by CMake) names the prefix; it is created on first use.
# QM_WINE names the loader: "wine" for 32-bit builds, the wine64 loader for 64-bit ones.
set -e
here=$(dirname "$0")
: "${QM_WINEPREFIX:?QM_WINEPREFIX is not set}"
export WINEPREFIX="$QM_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
# No debugger on a crash: a test that crashes fails at once instead of waiting for a debugger
# that nobody answers until its timeout, holding the prefix for the tests after it.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
"$here/wine-prefix.sh" "$QM_WINEPREFIX"
exec "${QM_WINE:-wine}" "$@"
