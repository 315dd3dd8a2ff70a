#!/usr/bin/env bash
# Builds the release for 32-bit Windows in a build of its own (no tests) and
# prints where it is: tarnlight-VERSION-win32.zip, holding one folder with
# tarnlight.exe, tlcmp.exe, readme.txt and SHA256SUMS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
jobs=${TARNLIGHT_JOBS:-$(nproc)}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
    -DTARNLIGHT_TESTS=OFF -DTARNLIGHT_BENCH=OFF >/dev/null
cmake --build "$build" --target release_zip -j "$jobs"

zip=$(ls -t "$build"/tarnlight-*-win32.zip | head -n 1)
unzip -l "$zip"
echo "release: $zip"
