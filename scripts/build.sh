#!/usr/bin/env bash
# Builds the native logic and tests (build/native, build/asan), the Windows
# program with its Wine tests (build/win), and the same program and tests for
# 64-bit Windows (build/win64: not shipped; it is what runs under Wine on a
# host that runs no 32-bit code). Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${TARNLIGHT_JOBS:-$(nproc)}

bash "$root/scripts/setup.sh"

# The configure output stays visible: it says when a part (such as the Wine
# tests, without GoogleTest sources) is left out.
build() {
    local dir=$1; shift
    echo "== configure build/$dir"
    cmake -S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE=Release "$@"
    cmake --build "$root/build/$dir" -j "$jobs"
}

win()   { build win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"; }
# Tests ON said outright: older build/win64 folders have them cached OFF.
win64() { build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" -DTARNLIGHT_TESTS=ON; }

case "${1:-all}" in
    win)    win ;;
    native) build native ;;
    asan)   build asan -DTARNLIGHT_SANITIZE=ON -DTARNLIGHT_BENCH=OFF ;;
    win64)  win64 ;;
    all)    build native
            build asan -DTARNLIGHT_SANITIZE=ON -DTARNLIGHT_BENCH=OFF
            win
            win64 ;;
    *)      echo "usage: build.sh [all|native|asan|win|win64]" >&2; exit 2 ;;
esac
