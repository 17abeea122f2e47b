#!/bin/bash
# Installs what is missing, builds everything and runs every test: the Windows tests under
# Wine (with Xvfb for the GUI), the native tests under the sanitizers, and the fuzz targets.
set -u
. "$(dirname "$0")/common.sh"
"$root/tools/install-deps.sh" || exit 1
choose_windows_build
echo "== Windows tests will run on the $run_build_text"
mkdir -p "$root/build"

status=0
echo "== build: programs for 32-bit Windows"
# Tests are asked for explicitly: run.sh and the benchmarks configure the same folders without them.
if [ "$run_arch" = win32 ]; then
    configure_and_build win32 mingw-i686 -DQM_BUILD_TESTS=ON || exit 1
else
    configure_and_build win32 mingw-i686 -DQM_BUILD_TESTS=OFF || exit 1
    echo "== build: 64-bit Windows test build"
    configure_and_build win64 mingw-x86_64 -DQM_BUILD_TESTS=ON || exit 1
fi
echo "== build: native with sanitizers and fuzzers"
configure_and_build native native || exit 1

# A private X display for the GUI tests.
display=""
for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
trap 'kill $xvfb_pid 2>/dev/null; [ -d "$root/build/$run_arch/wineprefix" ] && WINEPREFIX="$root/build/$run_arch/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null' EXIT

summary() {   # folder
    grep -E "tests passed|tests failed" "$root/build/$1.ctest.log" | tail -1
}
echo "== tests: Windows, $run_build_text"
ctest --test-dir "$root/build/$run_arch" --output-on-failure -j "$jobs" 2>&1 | tee "$root/build/$run_arch.ctest.log" | grep -vE "^ *[0-9]+/[0-9]+ Test" || true
[ "${PIPESTATUS[0]}" = 0 ] || status=1
echo "== tests: native (sanitizers, fuzzers)"
ctest --test-dir "$root/build/native" --output-on-failure -j "$jobs" 2>&1 | tee "$root/build/native.ctest.log" | grep -vE "^ *[0-9]+/[0-9]+ Test" || true
[ "${PIPESTATUS[0]}" = 0 ] || status=1

passed=0; failed=0
for f in "$root/build/$run_arch.ctest.log" "$root/build/native.ctest.log"; do
    line=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$f" | tail -1)
    total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
    bad=$(echo "$line" | sed -E 's/.*, ([0-9]+) tests failed.*/\1/')
    # A run that found no tests is a failure, not a pass.
    [ -n "$total" ] && [ "$total" -gt 0 ] || { echo "no tests ran in $f" >&2; status=1; continue; }
    passed=$((passed + total - bad)); failed=$((failed + bad))
done
echo "Windows tests ran on the $run_build_text"
echo "tests: $passed passed, $failed failed"
exit $status
