# Shared by run.sh and test.sh: build folders and the Wine loader for this machine.
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# 32-bit code cannot run on every machine (some sandboxed kernels refuse it). The programs
# are always built for 32-bit Windows and, where 32-bit Wine runs, tested as built (the i686
# build). Where it cannot start, the same sources are also built for 64-bit Windows and run
# under wine64. Ask only after install-deps.sh: before Wine is installed every machine
# looks like one that cannot run 32-bit code.
choose_windows_build() {
    if [ -n "$("$root/cmake/wine-probe.sh")" ]; then
        run_arch=win32
        run_toolchain=mingw-i686
        run_wine=wine
        run_build_text="i686 build (build/win32, the programs users get) under 32-bit Wine"
    else
        run_arch=win64
        run_toolchain=mingw-x86_64
        run_wine=/usr/lib/wine/wine64
        run_build_text="x86_64 fallback build (build/win64) under wine64: this machine cannot execute 32-bit code"
    fi
}

configure_and_build() {   # folder toolchain-or-native [cmake args...]
    dir=$1; kind=$2; shift 2
    if [ "$kind" = native ]; then
        set -- -DQM_NATIVE=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "$@"
    else
        set -- -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$kind.cmake" "$@"
    fi
    cmake -S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE=Release "$@" >"$root/build/$dir.configure.log" 2>&1 \
        || { cat "$root/build/$dir.configure.log"; return 1; }
    targets=""
    [ -z "${BUILD_TARGETS:-}" ] || targets="--target $BUILD_TARGETS"
    # shellcheck disable=SC2086
    cmake --build "$root/build/$dir" -j "$jobs" $targets >"$root/build/$dir.build.log" 2>&1 \
        || { grep -E "error|Error" -A3 "$root/build/$dir.build.log" | head -60; return 1; }
}

# The native programs that measure (the console, the bench engine), optimised and without the
# sanitizers of the test build (build/native), so a figure times the engine, not the checks.
# Shared by the main job and the native benchmark.
build_native_release() {   # targets
    BUILD_TARGETS=$1 configure_and_build native-release native -DQM_SANITIZE=OFF -DQM_BUILD_TESTS=OFF
}
