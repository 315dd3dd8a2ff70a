#!/usr/bin/env bash
# Builds the release in builds of its own (no tests) and prints where it is:
# tarnlight-VERSION-win32.zip, holding one folder with tarnlight.exe,
# tlcmp.exe, readme.txt and SHA256SUMS; beside it tlcmp_VERSION_ARCH.deb, the
# Debian package of tlcmp and its manual page; and SHA256SUMS of the two.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
deb_build="$root/build/release-deb"
jobs=${TARNLIGHT_JOBS:-$(nproc)}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
    -DTARNLIGHT_TESTS=OFF -DTARNLIGHT_BENCH=OFF >/dev/null
cmake --build "$build" --target release_zip -j "$jobs"

cmake -S "$root" -B "$deb_build" -DCMAKE_BUILD_TYPE=Release -DTARNLIGHT_TESTS=OFF -DTARNLIGHT_BENCH=OFF >/dev/null
cmake --build "$deb_build" --target tlcmp -j "$jobs"
rm -f "$deb_build"/tlcmp_*.deb
(cd "$deb_build" && cpack -G DEB >/dev/null)

zip=$(ls -t "$build"/tarnlight-*-win32.zip | head -n 1)
deb=$(ls "$deb_build"/tlcmp_*.deb)
rm -f "$build"/tlcmp_*.deb
cp "$deb" "$build/"
deb="$build/$(basename "$deb")"
(cd "$build" && sha256sum "$(basename "$zip")" "$(basename "$deb")" >SHA256SUMS)
unzip -l "$zip"
dpkg-deb -c "$deb"
echo "release: $zip"
echo "package: $deb"
echo "sums:    $build/SHA256SUMS"
