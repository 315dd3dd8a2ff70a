#!/usr/bin/env bash
# Builds the native logic and tests (build/native, build/asan), the Windows
# program with its Wine tests (build/win), and the program once more for
# 64-bit Windows (build/win64, not shipped: it keeps the code portable).
# Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${TARNLIGHT_JOBS:-$(nproc)}

bash "$root/scripts/setup.sh"

build() {
    local dir=$1; shift
    cmake -S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$root/build/$dir" -j "$jobs"
}

case "${1:-all}" in
    win)    build win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" ;;
    native) build native ;;
    asan)   build asan -DTARNLIGHT_SANITIZE=ON -DTARNLIGHT_BENCH=OFF ;;
    win64)  build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" -DTARNLIGHT_TESTS=OFF ;;
    all)    build native
            build asan -DTARNLIGHT_SANITIZE=ON -DTARNLIGHT_BENCH=OFF
            build win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"
            build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" -DTARNLIGHT_TESTS=OFF ;;
    *)      echo "usage: build.sh [all|native|asan|win|win64]" >&2; exit 2 ;;
esac
