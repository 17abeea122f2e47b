#!/bin/bash
# Which Windows build tools/test.sh tests, on a machine where 32-bit Wine only exists once
# install-deps.sh has run (a fresh machine), and on one that can never run 32-bit code.
# tools/test.sh runs in a scratch copy of the scripts with stand-ins for the installer, the
# probe and cmake; the stand-in cmake records its calls and stops the run at the native build.
#   choose_build_test.sh <source root>
set -u
src=$1
. "$(dirname "$0")/script_checks.sh"

run_case() {   # name can-run-32-bit(0/1)
    root=$work/$1
    mkdir -p "$root/tools" "$root/cmake" "$root/bin"
    cp "$src/tools/common.sh" "$src/tools/test.sh" "$root/tools/"
    # The installer brings Wine: only from then on can the probe find it.
    cat >"$root/tools/install-deps.sh" <<'STUB'
#!/bin/sh
touch "$(dirname "$0")/../wine-installed"
STUB
    cat >"$root/cmake/wine-probe.sh" <<STUB
#!/bin/sh
[ "$2" = 1 ] && [ -e "\$(dirname "\$0")/../wine-installed" ] && echo wine
exit 0
STUB
    cat >"$root/bin/cmake" <<'STUB'
#!/bin/sh
echo "$*" >>"$CALLS"
case "$*" in *QM_NATIVE=ON*) exit 1 ;; esac
exit 0
STUB
    chmod +x "$root/tools/"*.sh "$root/cmake/wine-probe.sh" "$root/bin/cmake"
    CALLS=$root/calls PATH="$root/bin:$PATH" bash "$root/tools/test.sh" >"$root/out" 2>&1
    configure_calls=$(grep -- "-S " "$root/calls" || true)
}

run_case fresh 1
check 'echo "$configure_calls" | grep -q "mingw-i686.cmake.*QM_BUILD_TESTS=ON"' \
    "fresh machine with 32-bit Wine: the i686 build is built with its tests"
check '! grep -q "mingw-x86_64" "$root/calls"' "fresh machine with 32-bit Wine: no 64-bit fallback build"
check 'grep -q "^== Windows tests will run on the i686 build" "$root/out"' \
    "fresh machine with 32-bit Wine: test.sh says it tests the i686 build"

run_case no32 0
check 'echo "$configure_calls" | grep -q "mingw-i686.cmake.*QM_BUILD_TESTS=OFF"' \
    "no 32-bit code: the i686 programs are still built"
check 'echo "$configure_calls" | grep -q "mingw-x86_64.cmake.*QM_BUILD_TESTS=ON"' \
    "no 32-bit code: the 64-bit fallback build carries the tests"
check 'grep -q "^== Windows tests will run on the x86_64 fallback build" "$root/out"' \
    "no 32-bit code: test.sh says it tests the fallback build"

finish
